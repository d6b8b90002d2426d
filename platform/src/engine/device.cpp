// Engine devices, the live-object count and what the engine keeps of a palette or a surface, as
// tools and tests see them.
#include "engine/internal.h"
#include "host/engine.h"
#include <winbase.h>
#include "kernel/internal.h"

extern "C" {

HDEV HostEngineCreateDevice(void) {
    return host::Guarded<HDEV>(nullptr, [] { return host::eng::AddDevice(); });
}

BOOL HostEngineSetDevicePdev(HDEV device, DHPDEV pdev) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (!host::eng::SetDevicePdev(device, pdev)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        return TRUE;
    });
}

BOOL HostEngineDeleteDevice(HDEV device) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (!host::eng::RemoveDevice(device)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        return TRUE;
    });
}

} // extern "C"

HostEngineCounts HostEngineLiveObjects() {
    auto live = host::eng::CountLive();
    return {live.surfaces, live.palettes, live.devices, live.memoryBlocks};
}

bool HostEnginePaletteInfo(HPALETTE palette, HostPaletteInfo* info) {
    host::eng::Palette found;
    if (!info || !host::eng::CopyPalette(palette, &found)) return false;
    *info = {found.mode, static_cast<ULONG>(found.colors.size()), found.red, found.green, found.blue};
    return true;
}

bool HostEngineSurfaceInfo(HSURF surface, HostSurfaceInfo* info) {
    if (!info) return false;
    return host::eng::WithSurface(surface, [&](host::eng::Surface& s) { *info = {s.banding, s.hooks}; });
}
