// Compiled with the rendering driver's variant of the device mode header.
#include "RenderMerge.h"

BOOL MergeAsRenderingDriver(DRIVER_DEVMODE* working, const DEVMODEW* incoming)
{
    return DevmodeMerge(working, incoming);
}
