// Palettes: the engine keeps what the driver describes and hands back a handle.
#include <new>

#include "engine/internal.h"
#include <winbase.h>
#include "kernel/internal.h"

extern "C" {

HPALETTE EngCreatePalette(ULONG mode, ULONG colors, ULONG* colorTable, FLONG red, FLONG green, FLONG blue) {
    return host::Guarded<HPALETTE>(nullptr, [&]() -> HPALETTE {
        using namespace host::eng;
        // An indexed palette needs its colours; bit fields need their masks; RGB and BGR need nothing.
        bool valid = (mode == PAL_INDEXED && colors > 0 && colors <= 65536) ||
                     (mode == PAL_BITFIELDS && (red | green | blue) != 0) || mode == PAL_RGB || mode == PAL_BGR;
        if (!valid) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        if (host::AllocationFault().Hit()) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        auto palette = std::unique_ptr<Palette>(new (std::nothrow) Palette);
        if (!palette) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        palette->mode = mode;
        palette->red = red;
        palette->green = green;
        palette->blue = blue;
        if (mode == PAL_INDEXED) {
            // Without a table the colours start black, as the platform leaves them.
            palette->colors.assign(colors, 0);
            if (colorTable) palette->colors.assign(colorTable, colorTable + colors);
        }
        return AddPalette(std::move(palette));
    });
}

BOOL EngDeletePalette(HPALETTE palette) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (!host::eng::RemovePalette(palette)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        return TRUE;
    });
}

} // extern "C"
