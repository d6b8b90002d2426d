// The driver's first contact with the engine: what it is (DrvQueryDriverInfo), its function table and
// glyph set (DrvEnableDriver), and their release (DrvDisableDriver).
#include <atomic>

#include "driver_entry_points.h"
#include "driver_log.h"

namespace {

// A table entry: the engine casts it back to the entry point's own type before calling it. The detour
// through void (*)() says that the change of type is meant.
template <typename Function>
PFN Entry(Function* function) {
    return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(function));
}

// The entry points the engine calls through the table, in the table's order.
const DRVFN kFunctionTable[] = {
    {INDEX_DrvEnablePDEV, Entry(DrvEnablePDEV)},
    {INDEX_DrvResetPDEV, Entry(DrvResetPDEV)},
    {INDEX_DrvCompletePDEV, Entry(DrvCompletePDEV)},
    {INDEX_DrvDisablePDEV, Entry(DrvDisablePDEV)},
    {INDEX_DrvEnableSurface, Entry(DrvEnableSurface)},
    {INDEX_DrvDisableSurface, Entry(DrvDisableSurface)},
    {INDEX_DrvTextOut, Entry(DrvTextOut)},
    {INDEX_DrvGetGlyphMode, Entry(DrvGetGlyphMode)},
    {INDEX_DrvSendPage, Entry(DrvSendPage)},
    {INDEX_DrvStartPage, Entry(DrvStartPage)},
    {INDEX_DrvStartDoc, Entry(DrvStartDoc)},
    {INDEX_DrvEndDoc, Entry(DrvEndDoc)},
    {INDEX_DrvBitBlt, Entry(DrvBitBlt)},
    {INDEX_DrvStretchBlt, Entry(DrvStretchBlt)},
    {INDEX_DrvCopyBits, Entry(DrvCopyBits)},
    {INDEX_DrvLineTo, Entry(DrvLineTo)},
    {INDEX_DrvStrokePath, Entry(DrvStrokePath)},
    {INDEX_DrvFillPath, Entry(DrvFillPath)},
    {INDEX_DrvStrokeAndFillPath, Entry(DrvStrokeAndFillPath)},
    {INDEX_DrvStartBanding, Entry(DrvStartBanding)},
    {INDEX_DrvNextBand, Entry(DrvNextBand)},
};
static_assert(sizeof kFunctionTable / sizeof kFunctionTable[0] == 21);

// iDriverVersion, c and the table pointer: 12 bytes where pointers are 32 bits. A record too short for
// the whole pointer is refused rather than written past its end.
constexpr ULONG kMinimumEnableDataSize = sizeof(DRVENABLEDATA);
static_assert(sizeof(void*) != 4 || kMinimumEnableDataSize == 12);

// Nothing reads the glyph set; it is held from DrvEnableDriver to DrvDisableDriver. Exchanged
// atomically, so that enabling the driver again releases the set it replaces.
std::atomic<FD_GLYPHSET*> g_glyphSet{nullptr};

void ReleaseGlyphSet(FD_GLYPHSET* set) {
    if (set != nullptr) {
        EngFreeMem(set);
    }
}

} // namespace

DRVAPI_EXPORT BOOL DrvQueryDriverInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) {
    if (mode != DRVQUERY_USERMODE) {
        return FALSE;
    }
    if (needed != nullptr) {
        *needed = sizeof(DWORD);
    }
    if (buffer == nullptr || size < sizeof(DWORD)) {
        return FALSE;
    }
    *static_cast<DWORD*>(buffer) = 1; // a user-mode driver
    return TRUE;
}

DRVAPI_EXPORT BOOL DrvEnableDriver(ULONG engineVersion, ULONG size, DRVENABLEDATA* data) {
    LogEntry("DrvEnableDriver", static_cast<const WCHAR*>(nullptr));
    if (engineVersion < DDI_DRIVER_VERSION_NT5 || size < kMinimumEnableDataSize || data == nullptr) {
        return FALSE;
    }
    data->iDriverVersion = DDI_DRIVER_VERSION_NT5;
    data->c = sizeof kFunctionTable / sizeof kFunctionTable[0];
    data->pdrvfn = const_cast<DRVFN*>(kFunctionTable);

    FD_GLYPHSET* set = EngComputeGlyphSet(0, 0, 256);
    if (set == nullptr) {
        return FALSE;
    }
    ReleaseGlyphSet(g_glyphSet.exchange(set));
    return TRUE;
}

DRVAPI_EXPORT void DrvDisableDriver(void) {
    LogEntry("DrvDisableDriver", static_cast<const WCHAR*>(nullptr));
    ReleaseGlyphSet(g_glyphSet.exchange(nullptr));
}
