// Stretched copies between surfaces of the same format. HALFTONE averages the block of source
// pixels that falls on each target pixel (a box filter, so a shrunken picture keeps its grey
// levels for the printer's dither); every other mode takes the source pixel nearest to the
// centre of the target pixel. A rectangle with left > right (or top > bottom) mirrors the picture.
#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/internal.h"
#include <winbase.h>
#include "kernel/internal.h"

namespace {

using namespace host::eng;

// Along one axis: the source coordinates [low, high) that fall on each target coordinate.
struct Span {
    LONG low, high;
};

// Target coordinates [from, to) inside the target extent (start, end), source extent (start, end).
std::vector<Span> Spans(LONG targetStart, LONG targetEnd, LONG sourceStart, LONG sourceEnd, LONG from, LONG to,
                        bool average) {
    int64_t tw = static_cast<int64_t>(targetEnd) - targetStart;
    int64_t sw = static_cast<int64_t>(sourceEnd) - sourceStart;
    int64_t tn = tw < 0 ? -tw : tw, sn = sw < 0 ? -sw : sw;
    std::vector<Span> spans;
    spans.reserve(static_cast<size_t>(to - from));
    for (LONG t = from; t < to; ++t) {
        // u counts target pixels from the start of the target extent, in its own direction.
        int64_t u = tw > 0 ? t - static_cast<int64_t>(targetStart) : static_cast<int64_t>(targetStart) - 1 - t;
        int64_t v0, v1;
        if (average) {
            v0 = u * sn / tn;
            v1 = std::max(v0 + 1, (u + 1) * sn / tn);
        } else {
            v0 = (2 * u + 1) * sn / (2 * tn);
            v1 = v0 + 1;
        }
        // v counts source pixels from the start of the source extent, in its own direction.
        if (sw > 0)
            spans.push_back({static_cast<LONG>(sourceStart + v0), static_cast<LONG>(sourceStart + v1)});
        else
            spans.push_back({static_cast<LONG>(sourceStart - v1), static_cast<LONG>(sourceStart - v0)});
    }
    return spans;
}

} // namespace

extern "C" {

BOOL EngStretchBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* /*mask*/, CLIPOBJ* clip, XLATEOBJ* /*xlate*/,
                   COLORADJUSTMENT* /*colorAdjust*/, POINTL* /*halftoneOrigin*/, RECTL* targetRect, RECTL* sourceRect,
                   POINTL* /*maskPoint*/, ULONG mode) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (!UsableSurface(target) || !UsableSurface(source) || !targetRect || !sourceRect) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (target->iBitmapFormat != source->iBitmapFormat || BytesPerPixel(target->iBitmapFormat) == 0) {
            SetLastError(ERROR_NOT_SUPPORTED);
            return FALSE;
        }
        RECTL sourceArea = Ordered(*sourceRect);
        if (IsEmpty(sourceArea) || IsEmpty(Ordered(*targetRect))) return TRUE;
        // The source rectangle must lie on the source: there is nothing to stretch outside it.
        if (!Contains(Bounds(*source), sourceArea)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        RECTL area = Intersect(DrawableArea(*target, clip), Ordered(*targetRect));
        if (IsEmpty(area)) return TRUE;

        size_t bytes = BytesPerPixel(target->iBitmapFormat);
        // Averaging works per byte, which is per colour channel only for 24- and 32-bit pixels.
        bool average = mode == HALFTONE && bytes >= 3;
        auto columns = Spans(targetRect->left, targetRect->right, sourceRect->left, sourceRect->right, area.left,
                             area.right, average);
        auto rows = Spans(targetRect->top, targetRect->bottom, sourceRect->top, sourceRect->bottom, area.top,
                          area.bottom, average);

        // Each target row is built in `line`, then stored in one copy.
        std::vector<BYTE> line(static_cast<size_t>(area.right - area.left) * bytes);
        for (LONG y = area.top; y < area.bottom; ++y) {
            const Span& ys = rows[static_cast<size_t>(y - area.top)];
            for (size_t i = 0; i < columns.size(); ++i) {
                const Span& xs = columns[i];
                BYTE* out = line.data() + i * bytes;
                if (!average) {
                    std::memcpy(out, Row(*source, ys.low) + static_cast<size_t>(xs.low) * bytes, bytes);
                    continue;
                }
                uint64_t sum[4] = {};
                for (LONG sy = ys.low; sy < ys.high; ++sy) {
                    const BYTE* p = Row(*source, sy) + static_cast<size_t>(xs.low) * bytes;
                    for (LONG sx = xs.low; sx < xs.high; ++sx, p += bytes)
                        for (size_t c = 0; c < bytes; ++c) sum[c] += p[c];
                }
                uint64_t count = static_cast<uint64_t>(ys.high - ys.low) * static_cast<uint64_t>(xs.high - xs.low);
                for (size_t c = 0; c < bytes; ++c) out[c] = static_cast<BYTE>((sum[c] + count / 2) / count);
            }
            std::memcpy(Row(*target, y) + static_cast<size_t>(area.left) * bytes, line.data(), line.size());
        }
        return TRUE;
    });
}

} // extern "C"
