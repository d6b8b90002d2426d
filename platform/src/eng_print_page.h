// One page of a print job on its way through the driver's bands: the picture as an engine bitmap,
// and drawing it into the band at the origin the driver reported.
#pragma once

#include "eng_print_driver.h"
#include "host/engine.h"

namespace host::eng {

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
