// A rendering driver for the engine's printing tests: it records every call the engine makes,
// keeps the page as its bands showed it, and fails or misbehaves where a test tells it to.
// The test reaches its state through the exported TestDriverState().
#pragma once

#include "host/testing.h"
#include "platform.h"

struct TestDriverState {
    // What the test asks for.
    LONG pageWidth;      // GDIINFO ulHorzRes
    LONG pageHeight;     // GDIINFO ulVertRes
    LONG bandHeight;     // the surface's height; bands go down the page
    char failCall[32];   // the entry point that fails ("DrvStartPage", ...)
    int failOnPage;      // for page calls: the page that fails (0: every page)
    bool neverEndsPage;  // DrvNextBand never reports (-1, -1)
    bool noCopyBits;     // the function table leaves DrvCopyBits out
    bool noStartBanding; // the function table leaves DrvStartBanding out

    // What the driver saw.
    char calls[4096]; // entry points in call order, one per line
    int pagesStarted;
    BYTE devmode[256]; // the device mode DrvEnablePDEV received (dmSize + dmDriverExtra bytes)
    ULONG devmodeBytes;
    HANDLE printer;       // the printer handle DrvEnablePDEV received
    char deviceName[64];  // DrvEnablePDEV's device name, narrowed
    ULONG page[128 * 64]; // the last page as the bands showed it, pageWidth x pageHeight (at most 128 x 64)
};

extern "C" TestDriverState* GetTestDriverState(void);
typedef TestDriverState* (*PFN_GetTestDriverState)(void);

// The bytes the driver writes to the printer: "S" at each page start, the page number's digit at
// each band, "E" at the end of the document.
