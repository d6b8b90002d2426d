// Engine devices and the live-object count, as tools and tests see them.
#include "eng_objects.h"
#include "host/engine.h"
#include "host/kernel.h"

extern "C" {

HDEV HostEngineCreateDevice(void) { return host::eng::AddDevice(); }

BOOL HostEngineSetDevicePdev(HDEV device, DHPDEV pdev) {
    if (!host::eng::SetDevicePdev(device, pdev)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL HostEngineDeleteDevice(HDEV device) {
    if (!host::eng::RemoveDevice(device)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

} // extern "C"

HostEngineCounts HostEngineLiveObjects() {
    auto live = host::eng::CountLive();
    return {live.surfaces, live.palettes, live.devices, live.memoryBlocks};
}
