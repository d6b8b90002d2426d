// The device instance (PDEV) of the rendering driver: one per printer device context, created by
// DrvEnablePDEV and handed to the engine as its DHPDEV. It holds the printer handle, the working device
// mode, the page geometry, the drawing surface, the bands of the page being converted and the rows
// waiting for a raster block.
#pragma once

#include "block_list.h"
#include "driver_devmode.h"
#include "platform.h"

// One converted band of a page: its raster and the next band. Made by DrvNextBand, released with its
// raster by the page output.
struct BAND_NODE {
    BYTE* pRaster;
    BAND_NODE* pNext;
    ULONG cbRaster;
};

#define PRINTER_NAME_CHARS 32

struct PDEV {
    HANDLE hPrinter;        // every printer byte goes through WritePrinter on it
    HDEV hdev;              // the engine's device, known from DrvCompletePDEV
    BLOCK_LIST* pBlockList; // the list this record was allocated from
    LONG cxPage;            // surface width in dots (GDIINFO.ulHorzRes)
    LONG cyPage;            // surface height in dots (GDIINFO.ulVertRes)
    ULONG iBitmapFormat;    // always BMF_24BPP
    HPALETTE hpalDefault;
    HSURF hsurfPage;
    DRIVER_DEVMODE dmWork;
    HMODULE hmodSelf;

    // Band state (the page being captured).
    ULONG cBand;
    ULONG cbBandPixels;
    BAND_NODE* pBandHead;
    BAND_NODE* pBandTail;

    // Row state (the page being sent); pRowBuffer lives only while the page output runs.
    ULONG cBlankRows;
    ULONG cHeldRows;
    BYTE* pRowBuffer;
    size_t cbRowBuffer;

    // Pages started in the current document. Kept per instance, so that two documents rendered at
    // once in one process each count their own pages; DrvResetPDEV carries it to the new instance.
    LONG PageCount;

    // The printer whose log this instance's entry points write to (dmDeviceName of the job).
    WCHAR PrinterName[PRINTER_NAME_CHARS];
};

static_assert(alignof(PDEV) <= BLOCK_PAYLOAD_ALIGNMENT, "the instance lives in a block-list payload");

// Settings of the working device mode that shape the page and the printer stream.
inline SHORT Orientation(const PDEV& pdev) { return pdev.dmWork.dmPublic.dmOrientation; }
inline SHORT PaperWidth(const PDEV& pdev) { return pdev.dmWork.dmPublic.dmPaperWidth; }
inline SHORT PaperLength(const PDEV& pdev) { return pdev.dmWork.dmPublic.dmPaperLength; }
inline SHORT Duplex(const PDEV& pdev) { return pdev.dmWork.dmPublic.dmDuplex; }
inline SHORT Colour(const PDEV& pdev) { return pdev.dmWork.dmPublic.dmColor; }
inline bool PageMode(const PDEV& pdev) { return pdev.dmWork.dmPageModeControl == DRIVER_PAGE_MODE; }
// Only 1 selects standard mode; any other non-zero value sends neither mode command.
inline bool StandardMode(const PDEV& pdev) { return pdev.dmWork.dmPageModeControl == DRIVER_STANDARD_MODE; }
inline SHORT CuttingControl(const PDEV& pdev) { return pdev.dmWork.dmCuttingControl; }
inline bool Landscape(const PDEV& pdev) { return Orientation(pdev) == DMORIENT_LANDSCAPE; }
inline bool SingleSide(const PDEV& pdev) { return Duplex(pdev) == DRIVER_DUPLEX_SINGLE_SIDE; }
inline bool DualSide(const PDEV& pdev) { return Duplex(pdev) == DRIVER_DUPLEX_DUAL_SIDE; }
// A cutting control other than 0 or 1 cuts neither after each page nor always at the end.
inline bool CutAfterEachPage(const PDEV& pdev) { return CuttingControl(pdev) == DRIVER_CUT_AFTER_EACH_PAGE; }
inline bool CutAtEndOfDocument(const PDEV& pdev) { return CuttingControl(pdev) == DRIVER_CUT_AT_END_OF_DOCUMENT; }

// Printer rows of the upright page: the surface height in portrait, its width in landscape.
inline LONG PageRows(const PDEV& pdev) { return Landscape(pdev) ? pdev.cxPage : pdev.cyPage; }

// The device instance a surface is associated with, or none.
inline PDEV* DeviceOf(SURFOBJ* surface) {
    return surface != nullptr ? reinterpret_cast<PDEV*>(surface->dhpdev) : nullptr;
}

// Releases every queued band and its raster; the band list is empty afterwards.
void ReleaseBands(PDEV& pdev);

// Runs the page output for the instance of a surface (the work of DrvSendPage).
BOOL PageOutput(SURFOBJ* surface);
