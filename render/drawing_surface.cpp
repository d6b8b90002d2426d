// The drawing surface of a device instance: one 24-bit top-down banding bitmap of the printable page,
// white when made.
#include "band_capture.h"
#include "device_instance.h"
#include "driver_entry_points.h"
#include "driver_log.h"
#include "page_geometry.h"

namespace {

struct LockedSurface {
    SURFOBJ* surface;
    explicit LockedSurface(HSURF handle) : surface(EngLockSurface(handle)) {}
    ~LockedSurface() {
        if (surface != nullptr) {
            EngUnlockSurface(surface);
        }
    }
    LockedSurface(const LockedSurface&) = delete;
    LockedSurface& operator=(const LockedSurface&) = delete;
};

} // namespace

DRVAPI_EXPORT HSURF APIENTRY DrvEnableSurface(DHPDEV dhpdev) {
    PDEV* pdev = reinterpret_cast<PDEV*>(dhpdev);
    LogEntry("DrvEnableSurface", pdev);
    if (pdev == nullptr) {
        return nullptr;
    }
    // Too short a page has no surface; too large a one is refused before any memory is asked for.
    if (!SurfaceSizeAcceptable(pdev->cxPage, pdev->cyPage)) {
        return nullptr;
    }
    if (pdev->hsurfPage != nullptr) {
        EngDeleteSurface(pdev->hsurfPage); // enabled twice: the earlier surface is not left behind
        pdev->hsurfPage = nullptr;
    }
    const SIZEL size{pdev->cxPage, pdev->cyPage};
    pdev->hsurfPage =
        reinterpret_cast<HSURF>(EngCreateBitmap(size, pdev->cxPage, BMF_24BPP, BMF_TOPDOWN | BMF_NOZEROINIT, nullptr));
    if (pdev->hsurfPage == nullptr) {
        return nullptr;
    }
    if (!EngMarkBandingSurface(pdev->hsurfPage)) {
        return nullptr;
    }
    EngAssociateSurface(pdev->hsurfPage, pdev->hdev, 0);

    LockedSurface locked(pdev->hsurfPage);
    if (locked.surface != nullptr) {
        EraseToWhite(locked.surface, pdev->cxPage, pdev->cyPage);
    }
    return pdev->hsurfPage;
}

DRVAPI_EXPORT void APIENTRY DrvDisableSurface(DHPDEV dhpdev) {
    PDEV* pdev = reinterpret_cast<PDEV*>(dhpdev);
    LogEntry("DrvDisableSurface", pdev);
    if (pdev != nullptr && pdev->hsurfPage != nullptr) {
        EngDeleteSurface(pdev->hsurfPage);
        pdev->hsurfPage = nullptr;
    }
}
