// The driver's first contact with the engine: what it is (DrvQueryDriverInfo), its function table and
// glyph set (DrvEnableDriver), and its end (DrvDisableDriver).
#include <atomic>

#include "driver_entry_points.h"
#include "driver_log.h"

// Weak: null where the engine library exports no EngFreeMem (see the glyph set below).
extern "C" __attribute__((weak)) void APIENTRY EngFreeMem(PVOID block);

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

// The engine version the driver is written for, which it asks of the engine and reports as its own:
// 0x00020000 on every build (the SDK's name for the version has another value).
constexpr ULONG kEngineVersion = 0x00020000;

// The glyph set of the ANSI code page, which nothing reads, is held from DrvEnableDriver to
// DrvDisableDriver. The engine's documented release for it is EngFreeMem, which the kernel-mode engine
// and the host's engine export but the platform's user-mode engine library does not: the driver
// refers to it weakly, so that where the engine has none the reference is null. There DrvDisableDriver
// keeps the set and the next DrvEnableDriver takes it again instead of computing another, so that the
// driver never holds more than one set while it is loaded.
std::atomic<FD_GLYPHSET*> g_glyphSet{nullptr};

bool HoldGlyphSet() {
    if (g_glyphSet.load(std::memory_order_acquire) != nullptr) {
        return true;
    }
    FD_GLYPHSET* set = EngComputeGlyphSet(0, 0, 256);
    if (set == nullptr) {
        return false;
    }
    // Two enablings at once: the set of the first is held, the second gives its own back.
    FD_GLYPHSET* none = nullptr;
    if (!g_glyphSet.compare_exchange_strong(none, set, std::memory_order_acq_rel) && EngFreeMem != nullptr) {
        EngFreeMem(set);
    }
    return true;
}

void ReleaseGlyphSet() {
    if (EngFreeMem != nullptr) {
        if (FD_GLYPHSET* set = g_glyphSet.exchange(nullptr)) {
            EngFreeMem(set);
        }
    }
}

} // namespace

DRVAPI_EXPORT BOOL APIENTRY DrvQueryDriverInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) {
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

DRVAPI_EXPORT BOOL APIENTRY DrvEnableDriver(ULONG engineVersion, ULONG size, DRVENABLEDATA* data) {
    LogEntry("DrvEnableDriver", static_cast<const WCHAR*>(nullptr));
    if (engineVersion < kEngineVersion || size < kMinimumEnableDataSize || data == nullptr) {
        return FALSE;
    }
    data->iDriverVersion = kEngineVersion;
    data->c = sizeof kFunctionTable / sizeof kFunctionTable[0];
    data->pdrvfn = const_cast<DRVFN*>(kFunctionTable);

    return HoldGlyphSet() ? TRUE : FALSE;
}

DRVAPI_EXPORT void APIENTRY DrvDisableDriver(void) {
    LogEntry("DrvDisableDriver", static_cast<const WCHAR*>(nullptr));
    ReleaseGlyphSet();
}
