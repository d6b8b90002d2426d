// Solid lines, one pixel wide, from the first point up to but not including the last, as the
// platform draws them. Only the pixels inside the drawable area are visited, so a line with far-off
// end points costs no more than its visible part.
#include <algorithm>
#include <cstdlib>

#include "engine/internal.h"
#include <winbase.h>
#include "kernel/internal.h"

namespace {

using namespace host::eng;

int64_t FloorDiv(int64_t a, int64_t b) { // b > 0
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The steps t in [0, n) whose major coordinate start + t * step lies in [low, high).
void VisibleSteps(int64_t start, int64_t step, int64_t low, int64_t high, int64_t n, int64_t* first, int64_t* last) {
    int64_t a = step > 0 ? low - start : start - high + 1;
    int64_t b = step > 0 ? high - start : start - low + 1;
    *first = std::max<int64_t>(a, 0);
    *last = std::min<int64_t>(b, n);
}

void DrawLine(const SURFOBJ& surface, const RECTL& area, int64_t x1, int64_t y1, int64_t x2, int64_t y2, ULONG color) {
    int64_t dx = x2 - x1, dy = y2 - y1;
    bool xMajor = std::abs(dx) >= std::abs(dy);
    int64_t n = xMajor ? std::abs(dx) : std::abs(dy);
    if (n == 0 || IsEmpty(area)) return;
    int64_t majorStart = xMajor ? x1 : y1, minorStart = xMajor ? y1 : x1;
    int64_t majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1, minorDelta = xMajor ? dy : dx;
    int64_t first, last;
    VisibleSteps(majorStart, majorStep, xMajor ? area.left : area.top, xMajor ? area.right : area.bottom, n, &first,
                 &last);
    for (int64_t t = first; t < last; ++t) {
        int64_t major = majorStart + t * majorStep;
        int64_t minor = minorStart + FloorDiv(2 * t * minorDelta + n, 2 * n); // rounded to the nearest pixel
        int64_t x = xMajor ? major : minor, y = xMajor ? minor : major;
        if (y < area.top || y >= area.bottom || x < area.left || x >= area.right) continue;
        RECTL dot{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + 1), static_cast<LONG>(y + 1)};
        FillRect(surface, dot, color);
    }
}

} // namespace

extern "C" {

BOOL EngLineTo(SURFOBJ* surface, CLIPOBJ* clip, BRUSHOBJ* brush, LONG x1, LONG y1, LONG x2, LONG y2, RECTL* /*bounds*/,
               MIX mix) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (!UsableSurface(surface)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        ULONG color;
        switch (mix & 0xFF) {
        case R2_NOP: return TRUE;
        case R2_BLACK: color = 0; break;
        case R2_WHITE: color = AllOnes(surface->iBitmapFormat); break;
        case R2_COPYPEN:
            if (!brush) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
            if (brush->iSolidColor == 0xFFFFFFFF) { // a pattern brush
                SetLastError(ERROR_NOT_SUPPORTED);
                return FALSE;
            }
            color = brush->iSolidColor;
            break;
        default: SetLastError(ERROR_NOT_SUPPORTED); return FALSE;
        }
        DrawLine(*surface, DrawableArea(*surface, clip), x1, y1, x2, y2, color);
        return TRUE;
    });
}

} // extern "C"
