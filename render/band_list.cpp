// The band list of a page: nodes and their rasters come from the process heap.
#include "device_instance.h"

void ReleaseBands(PDEV& pdev) {
    for (BAND_NODE* band = pdev.pBandHead; band != nullptr;) {
        BAND_NODE* next = band->pNext;
        if (band->pRaster != nullptr) {
            HeapFree(GetProcessHeap(), 0, band->pRaster);
        }
        HeapFree(GetProcessHeap(), 0, band);
        band = next;
    }
    pdev.pBandHead = nullptr;
    pdev.pBandTail = nullptr;
}
