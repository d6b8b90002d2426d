// Internal to the host: the graphics engine's objects behind its handles, the pixel geometry of its
// drawing functions, and the pieces of its printing (the driver's entry points, a page in bands).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/engine.h"
#include <winddi.h>

namespace host::eng {

// ---- Objects ------------------------------------------------------------------------------------
// The graphics engine's own objects behind its handles: surfaces, palettes and devices.
// Each kind has its own table, so a palette handle given to a surface function is simply not
// found; handle values are never reused, so a stale handle can't reach a newer object.

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

// ---- Pixels -------------------------------------------------------------------------------------
// Pixel geometry and rectangle arithmetic shared by the engine's drawing functions.
// A pixel of a 24-bit surface holds the three low bytes of its colour value, least significant
// first: colour 0x00RRGGBB lies in memory as B, G, R.

// Bits per pixel of a bitmap format; 0 for a format the engine doesn't know.
ULONG BitsPerPixel(ULONG format);
// Bytes per pixel of the byte-aligned formats (8, 16, 24, 32 bits); 0 for the others.
ULONG BytesPerPixel(ULONG format);
// Scan-line bytes of an engine-allocated bitmap: whole pixels rounded up to a multiple of 4.
uint64_t AlignedRowBytes(ULONG format, LONG width);

// A surface the drawing functions can work on: pixels present, a known format, a positive size.
bool UsableSurface(const SURFOBJ* surface);
inline BYTE* Row(const SURFOBJ& surface, LONG y) {
    return static_cast<BYTE*>(surface.pvScan0) + static_cast<intptr_t>(y) * surface.lDelta;
}

RECTL Bounds(const SURFOBJ& surface);
RECTL Intersect(const RECTL& a, const RECTL& b);
inline bool IsEmpty(const RECTL& r) { return r.left >= r.right || r.top >= r.bottom; }
inline bool Contains(const RECTL& outer, const RECTL& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}
// The rectangle with left <= right and top <= bottom.
RECTL Ordered(const RECTL& r);
// Where drawing on the target may land: its bounds, narrowed by the clip's bounds unless the clip
// is trivial. A complex clip is taken as its bounding rectangle (the host has no region lists).
RECTL DrawableArea(const SURFOBJ& target, const CLIPOBJ* clip);

// Fills a rectangle that already lies inside the surface with one colour index.
void FillRect(const SURFOBJ& surface, const RECTL& area, ULONG color);
// The colour value of every bit set in a pixel of the format (0xFFFFFF for 24 bits).
ULONG AllOnes(ULONG format);

// ---- The rendering driver -----------------------------------------------------------------------
// The rendering driver as the engine's printing sees it: the entry points it found in the driver's
// function table (DrvEnableDriver) and among its exports.

struct DriverFunctions {
    PFN_DrvEnablePDEV enablePdev = nullptr;
    PFN_DrvCompletePDEV completePdev = nullptr;
    PFN_DrvDisablePDEV disablePdev = nullptr;
    PFN_DrvEnableSurface enableSurface = nullptr;
    PFN_DrvDisableSurface disableSurface = nullptr;
    PFN_DrvStartDoc startDoc = nullptr;
    PFN_DrvEndDoc endDoc = nullptr;
    PFN_DrvStartPage startPage = nullptr;
    PFN_DrvStartBanding startBanding = nullptr;
    PFN_DrvNextBand nextBand = nullptr;
    // Optional: without them the engine draws on the surface itself.
    PFN_DrvCopyBits copyBits = nullptr;
    PFN_DrvStretchBlt stretchBlt = nullptr;
};

// Takes the entries of the table; false, naming the first one missing, when the table lacks an
// entry that printing needs.
bool TakeDriverFunctions(const DRVENABLEDATA& data, DriverFunctions* functions, std::string* missing);

// ---- Pages in bands -----------------------------------------------------------------------------
// One page of a print job on its way through the driver's bands: the picture as an engine bitmap,
// and drawing it into the band at the origin the driver reported.

// A picture wrapped (not copied) as a locked 24-bit engine bitmap; released with the object.
class PictureSurface {
public:
    explicit PictureSurface(const HostPicture& picture);
    ~PictureSurface();
    PictureSurface(const PictureSurface&) = delete;
    PictureSurface& operator=(const PictureSurface&) = delete;
    SURFOBJ* Get() const { return obj_; } // null when the bitmap could not be made

private:
    HSURF handle_ = nullptr;
    SURFOBJ* obj_ = nullptr;
};

// Draws the picture into the band whose top-left corner lies at `origin` on a page of `page` dots,
// through the driver's DrvCopyBits or DrvStretchBlt (the engine's own when the driver has none).
// On failure names the call.
bool DrawBand(const DriverFunctions& driver, SURFOBJ* band, SIZEL page, HostPlacement placement, SURFOBJ* picture,
              POINTL origin, const char** failedCall);

// The most bands the engine asks for on one page: twice as many as it takes to tile the page with
// the band. A driver that wants more never reports the end of the page.
size_t BandLimit(SIZEL page, SIZEL band);

} // namespace host::eng
