#!/usr/bin/env bash
# Runs every fuzz target for SECONDS each (default 600), one after the other, growing its corpus in
# fuzz/corpus/<target>/ from the committed seeds, and prints each target's executions, speed and
# coverage. A finding stops the script with the target's output and the crashing input's name.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELT_FUZZ=ON \
    -DVELT_TESTS=OFF -DVELT_BENCH=OFF >/dev/null
cmake --build build/fuzz -j "$(nproc)"
# Each target's command as its short CTest run gives it: the program, its options and its seeds.
ctest --test-dir build/fuzz -L fuzz --show-only=json-v1 | python3 -c '
import json, sys
for test in json.load(sys.stdin)["tests"]:
    command = test["command"]
    env = ""
    for p in test.get("properties", []):
        if p["name"] == "ENVIRONMENT":
            env = " ".join(p["value"])
    print(test["name"], env, command[0], command[-1], " ".join(a for a in command[1:-2] if not a.startswith("-max_total_time")), sep="\t")
' | while IFS=$'\t' read -r name env program seeds options; do
    corpus=fuzz/corpus/$name
    mkdir -p "$corpus" "build/fuzz/findings/$name"
    echo "== $name ($seconds s)"
    log=build/fuzz/findings/$name/log.txt
    # shellcheck disable=SC2086
    if ! env $env "$program" $options -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="build/fuzz/findings/$name/" "$corpus" "$seeds" >"$log" 2>&1; then
        tail -40 "$log"
        echo "fuzz: $name found a fault; see build/fuzz/findings/$name/" >&2
        exit 1
    fi
    grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true
    grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec' "$log" || true
done
