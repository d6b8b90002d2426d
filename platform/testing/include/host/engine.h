// The graphics engine as tools and tests use it: engine devices that stand for a printer device
// context, the count of live engine objects, what the engine keeps of a palette or a surface, and
// printing pages of pictures through a printer's rendering driver the way an application's print job
// goes (open the printer, start the job, enable the driver, band every page, end the job so the
// spooler sends it to the port). The five libraries never call these.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <winddi.h>

// The four-byte raster operations of EngBitBlt that the host's engine carries out, by the host's own
// names (the platform's SDK names only the three-byte ones).
#define HOST_ROP4_SRCCOPY 0xCCCC
#define HOST_ROP4_PATCOPY 0xF0F0
#define HOST_ROP4_BLACKNESS 0x0000
#define HOST_ROP4_WHITENESS 0xFFFF
#define HOST_ROP4_NOP 0xAAAA

// A 24-bit picture, rows top to bottom, each pixel three bytes in memory order B, G, R (colour
// value 0x00RRGGBB, as on a 24-bit engine surface); rows are `stride` bytes apart, a multiple of 4.
struct HostPicture {
    LONG width = 0;
    LONG height = 0;
    LONG stride = 0;
    std::vector<BYTE> pixels;

    // A picture of one colour.
    static HostPicture Filled(LONG width, LONG height, ULONG color = 0xFFFFFF);
    ULONG Pixel(LONG x, LONG y) const;
    void SetPixel(LONG x, LONG y, ULONG color);
    void FillRect(LONG left, LONG top, LONG right, LONG bottom, ULONG color); // clipped to the picture
};

extern "C" {

// Engine devices. DrvEnablePDEV receives a device, and the engine records the PDEV that came back
// with HostEngineSetDevicePdev; a surface associated with the device (EngAssociateSurface) then
// carries that PDEV in SURFOBJ.dhpdev. Tests that drive a driver directly do the same.
HDEV HostEngineCreateDevice(void);
BOOL HostEngineSetDevicePdev(HDEV device, DHPDEV pdev);
BOOL HostEngineDeleteDevice(HDEV device);

} // extern "C"

// Engine objects alive now: surfaces, palettes, devices and EngAllocMem blocks.
struct HostEngineCounts {
    long surfaces = 0;
    long palettes = 0;
    long devices = 0;
    long memoryBlocks = 0;
    bool operator==(const HostEngineCounts&) const = default;
};
HostEngineCounts HostEngineLiveObjects();

// What the engine keeps of one palette and one surface, so that a test can see what a driver asked
// for. Each answers false, and leaves `info` alone, for a handle the engine does not know.
struct HostPaletteInfo {
    ULONG mode = 0;                     // PAL_INDEXED, PAL_BITFIELDS, PAL_RGB or PAL_BGR
    ULONG colors = 0;                   // entries of an indexed palette; 0 for the other modes
    FLONG red = 0, green = 0, blue = 0; // the masks as given
};
bool HostEnginePaletteInfo(HPALETTE palette, HostPaletteInfo* info);

struct HostSurfaceInfo {
    bool banding = false; // EngMarkBandingSurface
    FLONG hooks = 0;      // as given to EngAssociateSurface
};
bool HostEngineSurfaceInfo(HSURF surface, HostSurfaceInfo* info);

// Where a picture lands on its page. Page coordinates start at the top-left of the printable area.
enum class HostPlacement {
    TopLeft,  // one picture pixel per printer dot, cropped to the printable area
    FitWidth, // scaled (averaging) to the printable width, keeping its proportions; cropped at the bottom
};

struct HostPrintPage {
    const HostPicture* picture = nullptr;
    HostPlacement placement = HostPlacement::TopLeft;
};

struct HostPrintJob {
    std::u16string printer;
    // The application's device mode (public part and the driver's private part, as its dmSize and
    // dmDriverExtra say); empty for the printer's default device mode.
    std::vector<BYTE> devmode;
    std::u16string document = u"Picture";
    std::vector<HostPrintPage> pages;
    // The rendering driver module; empty for the printer's own (its driver's rendering module).
    std::u16string driverModule;
    // Called after each page has gone through the driver: pages done, pages in the job.
    std::function<void(size_t done, size_t total)> onPage;
};

struct HostPrintResult {
    bool ok = false;
    std::string failedCall; // the call that failed: "OpenPrinterW", "DrvEnablePDEV", "DrvNextBand", ...
    std::string detail;     // what was wrong, when the call's result alone doesn't say
    DWORD error = 0;        // the last-error code after the failed call
    size_t page = 0;        // 1-based page the failure belongs to; 0 for the document
    DWORD jobId = 0;        // the spooler's job, once started
    size_t pagesPrinted = 0;
    SIZEL printableArea{0, 0}; // the page in dots, as the driver reported it (GDIINFO)

    // One line for a person: "DrvStartPage failed on page 2 (error 5)".
    std::string Message() const;
};

// Prints the pages as one job. Everything the engine created is released whatever happens, and a
// job that failed after it was started is aborted rather than sent.
HostPrintResult HostPrintPages(const HostPrintJob& job);
