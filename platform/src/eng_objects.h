// The graphics engine's own objects behind its handles: surfaces, palettes and devices.
// Each kind has its own table, so a palette handle given to a surface function is simply not
// found; handle values are never reused, so a stale handle can't reach a newer object.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "host/winddi.h"

namespace host::eng {

struct Surface {
    SURFOBJ obj{};                 // what EngLockSurface hands out; its address never moves
    std::unique_ptr<BYTE[]> owned; // the pixels when the engine allocated them
    bool banding = false;
    FLONG hooks = 0;
    unsigned locks = 0;
    bool deletePending = false; // deleted while locked: goes when the last lock is released
};

struct Palette {
    ULONG mode = 0;
    std::vector<ULONG> colors;
    FLONG red = 0, green = 0, blue = 0;
};

// An engine device: what the engine knows of one printer device context. The PDEV is the value
// DrvEnablePDEV returned for it; surfaces associated with the device carry it in SURFOBJ.dhpdev.
struct Device {
    DHPDEV pdev = nullptr;
};

HSURF AddSurface(std::unique_ptr<Surface> surface);
std::mutex& SurfaceTableMutex();
// Takes the surface out of the table (the caller holds SurfaceTableMutex()); it dies with the pointer.
std::unique_ptr<Surface> RemoveSurfaceLocked(HSURF handle);
// The caller holds SurfaceTableMutex(). A surface deleted while locked is found only by the unlock.
Surface* FindSurfaceLocked(HSURF handle, bool includeDeleted = false);

// Runs `use` on the surface under the table's lock; false when the handle is unknown.
template <typename F>
bool WithSurface(HSURF handle, F&& use) {
    std::lock_guard lock(SurfaceTableMutex());
    Surface* surface = FindSurfaceLocked(handle);
    if (!surface) return false;
    use(*surface);
    return true;
}

HPALETTE AddPalette(std::unique_ptr<Palette> palette);
bool RemovePalette(HPALETTE handle);
// A copy of the palette behind the handle; false when the handle is unknown.
bool CopyPalette(HPALETTE handle, Palette* copy);

HDEV AddDevice();
bool SetDevicePdev(HDEV device, DHPDEV pdev);
bool FindDevicePdev(HDEV device, DHPDEV* pdev);
bool RemoveDevice(HDEV device);

struct LiveCounts {
    long surfaces, palettes, devices, memoryBlocks;
};
LiveCounts CountLive();
void CountMemoryBlock(long delta);

} // namespace host::eng
