// Band capture: the engine renders the whole page into the surface as one band; the band's pixels are
// stood upright (a landscape page), dithered into printer dots and queued as the page's raster, and the
// surface is erased for the next page before the page goes out.
#pragma once

#include "device_instance.h"

// The colour of a fresh page: the surface is erased to it before the first band and after each page.
constexpr ULONG WHITE_RGB = 0xFFFFFF;

// Band origins: the page's one band starts at the top left; (-1, -1) tells the engine there is no other.
constexpr POINTL FIRST_BAND_ORIGIN = {0, 0};
constexpr POINTL NO_FURTHER_BAND = {-1, -1};

void EraseToWhite(SURFOBJ* surface, LONG cx, LONG cy);

// Starts the bands of a page: none counted yet, and the instance's page (the whole surface when the
// surface has no instance) erased to white.
void StartPageBands(SURFOBJ* surface, PDEV* pdev);

// Whether the surface's pixels hold the instance's page: a 24-bit top-down buffer of cyPage rows of
// at least cxPage pixels each.
bool SurfaceHoldsPage(const SURFOBJ& surface, const PDEV& pdev);

// Counts the band and queues its raster; false when memory is refused or the band yields no dots.
bool CaptureBand(PDEV& pdev, const SURFOBJ& surface);

// The page is captured: the surface is erased for the next page and the page output runs; false when
// the page output failed.
bool SendCapturedPage(SURFOBJ* surface, const PDEV& pdev);
