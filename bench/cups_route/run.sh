#!/usr/bin/env bash
# A whole print of one photo-like 576 x 2000 page, timed against a Linux user's usual CUPS route for a
# thermal label printer: cups-filters' imagetoraster piped into CUPS's rastertolabel, with a PPD that
# ppdc builds from CUPS's sample.drv (its ZPL label printer, 203 dpi, on a 576-dot, 72 mm wide page).
# Whole processes, taken in turn (velt mono, velt two-colour, CUPS route, again), several runs each;
# prints each one's median and quartiles of wall time and of processor time (user and system, of every
# process of the route), and their ratios to the CUPS route's medians. On a machine shared with other
# work the processor time is the steadier figure.
#
#   bench/cups_route/run.sh [--runs N] [--velt LABEL=PATH]...
#
# Without --velt it times build/release/bin/velt. Several --velt options time several builds side by
# side in the same run (--velt before=build-old/bin/velt --velt after=build/release/bin/velt).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
runs=15
velts=()
while [ $# -gt 0 ]; do
    case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --velt) velts+=("$2"); shift 2 ;;
    -h | --help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "run.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
[ ${#velts[@]} -gt 0 ] || velts=("velt=$root/build/release/bin/velt")

# The CUPS route's programs, installed once.
filters=/usr/lib/cups/filter
if [ ! -x "$filters/imagetoraster" ] || [ ! -x "$filters/rastertolabel" ] || ! command -v ppdc >/dev/null ||
    [ ! -f /usr/share/cups/drv/sample.drv ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends cups cups-filters cups-ppdc >/dev/null
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/velt-cups-route.XXXXXX")"
trap 'rm -rf "$work"' EXIT

ppdc -d "$work/ppd" /usr/share/cups/drv/sample.drv 2>/dev/null
export PPD="$work/ppd/zebra.ppd"
[ -f "$PPD" ] || { echo "run.sh: ppdc made no zebra.ppd" >&2; exit 1; }
python3 "$here/make_page.py" "$work/page.png" 576 2000

# 576 x 2000 dots at 203 dpi in points, one image pixel per dot.
cups_options="PageSize=Custom.204.3x709.4 ppi=203 Resolution=203dpi"
cups_route() {
    "$filters/imagetoraster" 1 bench page 1 "$cups_options" "$work/page.png" 2>>"$work/cups.log" |
        "$filters/rastertolabel" 1 bench page 1 "" >"$work/cups.out" 2>>"$work/cups.log"
}

# One velt print of the page; $1 is the label, $2 the program, $3 the colour. (The 250 mm paper's
# printable area is 1820 rows long, and velt says that the page is cut there.)
velt_print() {
    VELT_HOME="$work/home-$1" "$2" print --paper 80x250 --color "$3" --spool "$work/$1-$3.bin" \
        --preview "$work/$1-$3-preview" "$work/page.png" >/dev/null 2>>"$work/velt.log"
}

# Wall and processor microseconds of one command.
measure() {
    local TIMEFORMAT='%3R %3U %3S'
    local timing
    timing=$({ time "$@"; } 2>&1)
    awk '{ printf "%d %d", $1 * 1e6, ($2 + $3) * 1e6 }' <<<"$timing"
}

names=()
commands=()
for entry in "${velts[@]}"; do
    label="${entry%%=*}"
    program="${entry#*=}"
    [ -x "$program" ] || { echo "run.sh: no program $program" >&2; exit 1; }
    for colour in mono 2color; do
        names+=("$label $colour")
        commands+=("velt_print $label $program $colour")
    done
done
names+=("cups route")
commands+=("cups_route")

# Each command once before timing: the first velt command installs the printer.
for command in "${commands[@]}"; do $command; done
[ -s "$work/cups.out" ] || { echo "run.sh: the CUPS route wrote nothing" >&2; exit 1; }

declare -A walls cpus
for ((run = 0; run < runs; ++run)); do
    for i in "${!commands[@]}"; do
        read -r wall cpu <<<"$(measure ${commands[$i]})"
        walls[$i]+="$wall "
        cpus[$i]+="$cpu "
    done
done

# Median and quartiles in seconds of one command's times (microseconds).
stats() {
    tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{ t[NR] = $1 } END {
        printf "%.4f %.4f %.4f", t[int((NR + 1) / 2)] / 1e6, t[int((NR + 3) / 4)] / 1e6, t[int((3 * NR + 3) / 4)] / 1e6 }'
}
cups_index=$((${#commands[@]} - 1))
read -r cups_wall _ <<<"$(stats "${walls[$cups_index]}")"
read -r cups_cpu _ <<<"$(stats "${cpus[$cups_index]}")"
printf '%d runs each, taken in turn; seconds of a whole print\n' "$runs"
printf '%-16s %8s %8s %8s %7s   %8s %8s %8s %7s\n' "" wall q1 q3 x_cups cpu q1 q3 x_cups
for i in "${!commands[@]}"; do
    read -r wall wq1 wq3 <<<"$(stats "${walls[$i]}")"
    read -r cpu cq1 cq3 <<<"$(stats "${cpus[$i]}")"
    printf '%-16s %8s %8s %8s %7.2f   %8s %8s %8s %7.2f\n' "${names[$i]}" "$wall" "$wq1" "$wq3" \
        "$(awk -v m="$wall" -v c="$cups_wall" 'BEGIN { print m / c }')" "$cpu" "$cq1" "$cq3" \
        "$(awk -v m="$cpu" -v c="$cups_cpu" 'BEGIN { print m / c }')"
done
