// The band loop's entry points: each logs its line, checks its arguments and hands the work to the band
// capture (band_capture.h).
#include "band_capture.h"
#include "device_instance.h"
#include "driver_entry_points.h"
#include "driver_log.h"

DRVAPI_EXPORT BOOL APIENTRY DrvStartBanding(SURFOBJ* surface, POINTL* origin) {
    PDEV* pdev = DeviceOf(surface);
    LogEntry("DrvStartBanding", pdev);
    if (surface == nullptr || origin == nullptr) {
        return FALSE;
    }
    StartPageBands(surface, pdev);
    *origin = FIRST_BAND_ORIGIN;
    return TRUE;
}

// The whole page is one band: its capture ends the banding and sends the page.
DRVAPI_EXPORT BOOL APIENTRY DrvNextBand(SURFOBJ* surface, POINTL* origin) {
    PDEV* pdev = DeviceOf(surface);
    LogEntry("DrvNextBand", pdev);
    if (pdev == nullptr || origin == nullptr || !SurfaceHoldsPage(*surface, *pdev)) {
        return FALSE;
    }
    if (!CaptureBand(*pdev, *surface)) {
        return FALSE;
    }
    *origin = NO_FURTHER_BAND;
    // A page that did not reach the spooler whole fails, so the engine fails the job.
    return SendCapturedPage(surface, *pdev) ? TRUE : FALSE;
}
