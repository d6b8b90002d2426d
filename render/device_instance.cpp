// The device instance's life: DrvEnablePDEV builds it (working device mode, page geometry, GDIINFO,
// DEVINFO, palette), DrvCompletePDEV gives it the engine's device, DrvResetPDEV carries the page count
// of a document across a reset, and DrvDisablePDEV releases it.
#include <algorithm>
#include <cstring>
#include <new>

#include "device_instance.h"
#include "device_records.h"
#include "driver_entry_points.h"
#include "driver_log.h"
#include "page_geometry.h"

namespace {

constexpr ULONG kPatternIds = 6; // the pattern numbers the engine is given: 0 to 5

// The printer name of the job's device mode: at most 31 characters and the terminating zero.
void CopyPrinterName(const DEVMODEW* devmode, WCHAR (&name)[PRINTER_NAME_CHARS]) {
    name[0] = 0;
    if (devmode != nullptr) {
        lstrcpynW(name, devmode->dmDeviceName, PRINTER_NAME_CHARS);
    }
}

void BuildWorkingDevmode(PDEV& pdev, const DEVMODEW* incoming) {
    DevmodeSetDefaults(&pdev.dmWork, nullptr);
    // A failed merge leaves the defaults in force.
    DevmodeMerge(&pdev.dmWork, incoming, RENDERING_DRIVER_MERGE_RULES);
    pdev.dmWork.dmPublic.dmPrintQuality = DRIVER_PRINT_QUALITY;
}

// The engine's GDIINFO is filled through a complete local record, so that a short one is never
// written past its end and the fields the driver does not set keep the engine's values.
void AnswerGdiInfo(const PAGE_GEOMETRY& geometry, ULONG size, ULONG* engineRecord) {
    if (engineRecord == nullptr) {
        return;
    }
    GDIINFO info{};
    const size_t bytes = std::min<size_t>(size, sizeof info);
    std::memcpy(&info, engineRecord, bytes);
    FillGdiInfo(geometry, &info);
    std::memcpy(engineRecord, &info, bytes);
}

void AnswerDevInfo(HPALETTE palette, ULONG size, DEVINFO* engineRecord) {
    if (engineRecord == nullptr) {
        return;
    }
    const DEVINFO info = MakeDevInfo(palette);
    std::memcpy(engineRecord, &info, std::min<size_t>(size, sizeof info));
}

} // namespace

DRVAPI_EXPORT DHPDEV APIENTRY DrvEnablePDEV(DEVMODEW* devmode, LPWSTR /*logAddress*/, ULONG patterns,
                                            HSURF* patternSurfaces, ULONG gdiInfoSize, ULONG* gdiInfo,
                                            ULONG devInfoSize, DEVINFO* devInfo, HDEV /*device*/, LPWSTR /*deviceName*/,
                                            HANDLE printer) {
    WCHAR printerName[PRINTER_NAME_CHARS];
    CopyPrinterName(devmode, printerName);
    LogEntry("DrvEnablePDEV", printerName);

    BlockListOwner list(CreateBlockList());
    void* block = list ? AllocateBlock(list.get(), sizeof(PDEV)) : nullptr;
    if (block == nullptr) {
        return nullptr;
    }
    PDEV* pdev = new (block) PDEV{};
    pdev->pBlockList = list.get();
    std::memcpy(pdev->PrinterName, printerName, sizeof printerName);
    pdev->hPrinter = printer;
    BuildWorkingDevmode(*pdev, devmode);

    const PAGE_GEOMETRY geometry =
        ComputePageGeometry(Orientation(*pdev), PaperWidth(*pdev), PaperLength(*pdev), Duplex(*pdev));
    AnswerGdiInfo(geometry, gdiInfoSize, gdiInfo);
    GDIINFO reported{};
    FillGdiInfo(geometry, &reported);
    pdev->cxPage = static_cast<LONG>(reported.ulHorzRes);
    pdev->cyPage = static_cast<LONG>(reported.ulVertRes);

    pdev->hpalDefault = EngCreatePalette(PAL_RGB, 0, nullptr, 0, 0, 0);
    if (pdev->hpalDefault == nullptr) {
        return nullptr; // the block list, and the instance with it, goes
    }
    AnswerDevInfo(pdev->hpalDefault, devInfoSize, devInfo);
    pdev->iBitmapFormat = BMF_24BPP;

    // No pattern surfaces: the engine's entries are cleared and the first six numbered; an array of
    // fewer than six entries gets only the numbers it has room for.
    if (patternSurfaces != nullptr) {
        for (ULONG i = 0; i < patterns; ++i) {
            patternSurfaces[i] = i < kPatternIds ? reinterpret_cast<HSURF>(static_cast<ULONG_PTR>(i)) : nullptr;
        }
    }

    pdev->hmodSelf = LoadLibraryW(TEXT("VELT")); // may fail: the instance works without it
    list.release();
    return reinterpret_cast<DHPDEV>(pdev);
}

DRVAPI_EXPORT void APIENTRY DrvCompletePDEV(DHPDEV dhpdev, HDEV device) {
    PDEV* pdev = reinterpret_cast<PDEV*>(dhpdev);
    LogEntry("DrvCompletePDEV", pdev);
    if (pdev != nullptr) {
        pdev->hdev = device;
    }
}

DRVAPI_EXPORT BOOL APIENTRY DrvResetPDEV(DHPDEV oldPdev, DHPDEV newPdev) {
    PDEV* from = reinterpret_cast<PDEV*>(oldPdev);
    PDEV* to = reinterpret_cast<PDEV*>(newPdev);
    LogEntry("DrvResetPDEV", to);
    // A reset in the middle of a document goes on with the same document: its page count goes along.
    if (from != nullptr && to != nullptr) {
        to->PageCount = from->PageCount;
    }
    return TRUE;
}

DRVAPI_EXPORT void APIENTRY DrvDisablePDEV(DHPDEV dhpdev) {
    PDEV* pdev = reinterpret_cast<PDEV*>(dhpdev);
    LogEntry("DrvDisablePDEV", pdev);
    if (pdev == nullptr) {
        return;
    }
    if (pdev->hpalDefault != nullptr) {
        EngDeletePalette(pdev->hpalDefault);
    }
    if (pdev->hmodSelf != nullptr) {
        FreeLibrary(pdev->hmodSelf); // taken with LoadLibraryW, so given back the same way
    }
    if (pdev->hsurfPage != nullptr) {
        EngDeleteSurface(pdev->hsurfPage); // the engine did not disable the surface first
    }
    ReleaseBands(*pdev);
    FreeBlockList(pdev->pBlockList);
}
