#include "test_driver.h"

#include <cstdio>
#include <cstring>
#include <string>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

TestDriverState state;

struct Pdev {
    HDEV hdev;
    HANDLE printer;
    HSURF surface;
    LONG bandTop;
};

void Log(const char* call) {
    size_t used = std::strlen(state.calls);
    std::snprintf(state.calls + used, sizeof state.calls - used, "%s\n", call);
}

bool Fails(const char* call, bool pageCall = false) {
    if (std::strcmp(state.failCall, call) != 0) return false;
    if (pageCall && state.failOnPage != 0 && state.failOnPage != state.pagesStarted) return false;
    SetLastError(ERROR_GEN_FAILURE);
    return true;
}

void Write(Pdev* pdev, const char* text) {
    DWORD written = 0;
    WritePrinter(pdev->printer, const_cast<char*>(text), static_cast<DWORD>(std::strlen(text)), &written);
}

Pdev* PdevOf(SURFOBJ* surface) { return surface ? reinterpret_cast<Pdev*>(surface->dhpdev) : nullptr; }

} // namespace

EXPORT TestDriverState* GetTestDriverState(void) { return &state; }

EXPORT DHPDEV DrvEnablePDEV(DEVMODEW* devmode, LPWSTR, ULONG, HSURF*, ULONG, ULONG* gdiInfo, ULONG, DEVINFO*, HDEV,
                            LPWSTR deviceName, HANDLE printer) {
    Log("DrvEnablePDEV");
    state.devmodeBytes = 0;
    if (devmode) {
        ULONG bytes = devmode->dmSize + devmode->dmDriverExtra;
        state.devmodeBytes = bytes < sizeof state.devmode ? bytes : sizeof state.devmode;
        std::memcpy(state.devmode, devmode, state.devmodeBytes);
    }
    state.printer = printer;
    std::string name = deviceName ? HostNarrow(deviceName) : "";
    std::snprintf(state.deviceName, sizeof state.deviceName, "%s", name.c_str());
    if (Fails("DrvEnablePDEV")) return nullptr;
    auto* info = reinterpret_cast<GDIINFO*>(gdiInfo);
    info->ulHorzRes = static_cast<ULONG>(state.pageWidth);
    info->ulVertRes = static_cast<ULONG>(state.pageHeight);
    auto* pdev = static_cast<Pdev*>(EngAllocMem(FL_ZERO_MEMORY, sizeof(Pdev), 0));
    if (pdev) pdev->printer = printer;
    return reinterpret_cast<DHPDEV>(pdev);
}

EXPORT void DrvCompletePDEV(DHPDEV dhpdev, HDEV hdev) {
    Log("DrvCompletePDEV");
    reinterpret_cast<Pdev*>(dhpdev)->hdev = hdev;
}

EXPORT void DrvDisablePDEV(DHPDEV dhpdev) {
    Log("DrvDisablePDEV");
    EngFreeMem(dhpdev);
}

EXPORT HSURF DrvEnableSurface(DHPDEV dhpdev) {
    Log("DrvEnableSurface");
    if (Fails("DrvEnableSurface")) return nullptr;
    auto* pdev = reinterpret_cast<Pdev*>(dhpdev);
    pdev->surface = reinterpret_cast<HSURF>(
        EngCreateBitmap({state.pageWidth, state.bandHeight}, 0, BMF_24BPP, BMF_TOPDOWN, nullptr));
    if (!pdev->surface) return nullptr;
    EngMarkBandingSurface(pdev->surface);
    EngAssociateSurface(pdev->surface, pdev->hdev, 0);
    return pdev->surface;
}

EXPORT void DrvDisableSurface(DHPDEV dhpdev) {
    Log("DrvDisableSurface");
    auto* pdev = reinterpret_cast<Pdev*>(dhpdev);
    if (pdev->surface) EngDeleteSurface(pdev->surface);
    pdev->surface = nullptr;
}

EXPORT BOOL DrvStartDoc(SURFOBJ*, LPWSTR, DWORD) {
    Log("DrvStartDoc");
    state.pagesStarted = 0;
    return !Fails("DrvStartDoc");
}

EXPORT BOOL DrvEndDoc(SURFOBJ* surface, FLONG flags) {
    Log(flags & ED_ABORTDOC ? "DrvEndDoc(abort)" : "DrvEndDoc");
    if (Fails("DrvEndDoc")) return FALSE;
    if (Pdev* pdev = PdevOf(surface)) Write(pdev, "E");
    return TRUE;
}

EXPORT BOOL DrvStartPage(SURFOBJ* surface) {
    Log("DrvStartPage");
    ++state.pagesStarted;
    if (Fails("DrvStartPage", true)) return FALSE;
    if (Pdev* pdev = PdevOf(surface)) Write(pdev, "S");
    return TRUE;
}

EXPORT BOOL DrvStartBanding(SURFOBJ* surface, POINTL* origin) {
    Log("DrvStartBanding");
    if (Fails("DrvStartBanding", true)) return FALSE;
    Pdev* pdev = PdevOf(surface);
    if (!pdev) return FALSE;
    pdev->bandTop = 0;
    RECTL all{0, 0, surface->sizlBitmap.cx, surface->sizlBitmap.cy};
    EngEraseSurface(surface, &all, 0xFFFFFF);
    std::memset(state.page, 0, sizeof state.page);
    *origin = {0, 0};
    return TRUE;
}

EXPORT BOOL DrvNextBand(SURFOBJ* surface, POINTL* origin) {
    Log("DrvNextBand");
    if (Fails("DrvNextBand", true)) return FALSE;
    Pdev* pdev = PdevOf(surface);
    if (!pdev) return FALSE;
    char digit[2] = {static_cast<char>('0' + state.pagesStarted % 10), 0};
    Write(pdev, digit);
    // Keep the band's rows as the page's rows.
    for (LONG y = 0; y < surface->sizlBitmap.cy; ++y) {
        LONG pageY = pdev->bandTop + y;
        if (pageY >= state.pageHeight || pageY >= 64) break;
        const BYTE* row = static_cast<const BYTE*>(surface->pvScan0) + y * surface->lDelta;
        for (LONG x = 0; x < surface->sizlBitmap.cx && x < 128; ++x)
            state.page[pageY * 128 + x] =
                row[3 * x] | (row[3 * x + 1] << 8) | (static_cast<ULONG>(row[3 * x + 2]) << 16);
    }
    RECTL all{0, 0, surface->sizlBitmap.cx, surface->sizlBitmap.cy};
    EngEraseSurface(surface, &all, 0xFFFFFF);
    if (state.neverEndsPage) {
        *origin = {0, 0};
        return TRUE;
    }
    pdev->bandTop += state.bandHeight;
    *origin = pdev->bandTop >= state.pageHeight ? POINTL{-1, -1} : POINTL{0, pdev->bandTop};
    return TRUE;
}

EXPORT BOOL DrvCopyBits(SURFOBJ* target, SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* rect, POINTL* from) {
    Log("DrvCopyBits");
    if (Fails("DrvCopyBits", true)) return FALSE;
    return EngCopyBits(target, source, clip, xlate, rect, from);
}

EXPORT BOOL DrvStretchBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                          COLORADJUSTMENT* adjust, POINTL* halftone, RECTL* rect, RECTL* from, POINTL* maskPoint,
                          ULONG mode) {
    Log("DrvStretchBlt");
    if (Fails("DrvStretchBlt", true)) return FALSE;
    return EngStretchBlt(target, source, mask, clip, xlate, adjust, halftone, rect, from, maskPoint, mode);
}

namespace {

// Entry points go into the table through the generic function type.
template <typename F>
PFN Entry(F f) {
    return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(f));
}

} // namespace

EXPORT BOOL DrvEnableDriver(ULONG, ULONG size, DRVENABLEDATA* data) {
    Log("DrvEnableDriver");
    if (Fails("DrvEnableDriver") || size < sizeof(DRVENABLEDATA)) return FALSE;
    static DRVFN table[12];
    ULONG n = 0;
    table[n++] = {INDEX_DrvEnablePDEV, Entry(DrvEnablePDEV)};
    table[n++] = {INDEX_DrvCompletePDEV, Entry(DrvCompletePDEV)};
    table[n++] = {INDEX_DrvDisablePDEV, Entry(DrvDisablePDEV)};
    table[n++] = {INDEX_DrvEnableSurface, Entry(DrvEnableSurface)};
    table[n++] = {INDEX_DrvDisableSurface, Entry(DrvDisableSurface)};
    table[n++] = {INDEX_DrvStartDoc, Entry(DrvStartDoc)};
    table[n++] = {INDEX_DrvEndDoc, Entry(DrvEndDoc)};
    table[n++] = {INDEX_DrvStartPage, Entry(DrvStartPage)};
    if (!state.noStartBanding) table[n++] = {INDEX_DrvStartBanding, Entry(DrvStartBanding)};
    table[n++] = {INDEX_DrvNextBand, Entry(DrvNextBand)};
    if (!state.noCopyBits) table[n++] = {INDEX_DrvCopyBits, Entry(DrvCopyBits)};
    table[n++] = {INDEX_DrvStretchBlt, Entry(DrvStretchBlt)};
    data->iDriverVersion = DDI_DRIVER_VERSION_NT5;
    data->c = n;
    data->pdrvfn = table;
    return TRUE;
}

EXPORT void DrvDisableDriver(void) { Log("DrvDisableDriver"); }
