// The rendering driver as the engine's printing sees it: the entry points it found in the driver's
// function table (DrvEnableDriver) and among its exports.
#pragma once

#include <string>

#include "host/winddi.h"

namespace host::eng {

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

} // namespace host::eng
