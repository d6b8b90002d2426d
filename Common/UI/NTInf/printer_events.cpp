// DrvPrinterEvent and DrvUpgradePrinter: the spooler tells the configuration interface that a printer
// was set up, deleted or its cached connection refreshed, and that a newer driver was installed.
#include "settings_normalize.h"
#include "ui_entry_points.h"
#include "ui_services.h"

namespace {

typedef HANDLE(WINAPI* REVERT_TO_PRINTER_SELF)(void);
typedef BOOL(WINAPI* IMPERSONATE_PRINTER_CLIENT)(HANDLE token);

const WCHAR kPrintersKey[] = TEXT("SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\");
const WCHAR kSpooler[] = TEXT("spoolss.dll");

struct LibraryKind {
    using Handle = HMODULE;
    static Handle None() noexcept { return nullptr; }
    static bool Holds(Handle module) noexcept { return module != nullptr; }
    static void Close(Handle module) noexcept { FreeLibrary(module); }
};
using Library = velt::UniqueHandle<LibraryKind>;

void InitializePrinter(LPWSTR printerName) {
    const velt::PrinterHandle printer = velt::OpenPrinterFor(printerName, PRINTER_ALL_ACCESS);
    if (printer) {
        NormalizeSettingsRecord(printer.get());
    }
}

// The printer's key under the spooler's printers key; the outcome is not reported.
void DeletePrinterKey(LPCWSTR printerName) {
    WCHAR key[sizeof(kPrintersKey) / sizeof(WCHAR) + CURRENT_PRINTER_NAME_CHARS];
    const int prefix = lstrlenW(kPrintersKey);
    // A name that leaves nothing to delete below the printers key, or that would not fit, deletes nothing.
    if (printerName == nullptr || printerName[0] == 0 || lstrlenW(printerName) >= CURRENT_PRINTER_NAME_CHARS) {
        return;
    }
    lstrcpyW(key, kPrintersKey);
    lstrcpynW(key + prefix, printerName, CURRENT_PRINTER_NAME_CHARS);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, key);
}

BOOL RefreshCache(LPWSTR printerName) {
    const Library spooler(LoadLibraryW(kSpooler));
    if (!spooler) {
        return FALSE;
    }
    const auto revert = reinterpret_cast<REVERT_TO_PRINTER_SELF>(
        reinterpret_cast<void (*)()>(GetProcAddress(spooler.get(), "RevertToPrinterSelf")));
    const auto impersonate = reinterpret_cast<IMPERSONATE_PRINTER_CLIENT>(
        reinterpret_cast<void (*)()>(GetProcAddress(spooler.get(), "ImpersonatePrinterClient")));
    if (revert == nullptr || impersonate == nullptr) {
        return FALSE;
    }
    HANDLE token = revert();
    HANDLE printer = nullptr;
    if (printerName != nullptr && OpenPrinterW(printerName, &printer, nullptr)) {
        ClosePrinter(printer);
    }
    if (token != nullptr) {
        impersonate(token);
    }
    return TRUE;
}

BOOL PrinterEvent(LPWSTR printerName, INT event) {
    WriteUiLogFor(printerName, "Entering DrvPrinterEvent");
    switch (event) {
    case PRINTER_EVENT_INITIALIZE: InitializePrinter(printerName); return TRUE;
    case PRINTER_EVENT_DELETE: DeletePrinterKey(printerName); return TRUE;
    case PRINTER_EVENT_CACHE_REFRESH: return RefreshCache(printerName);
    default: return TRUE;
    }
}

BOOL UpgradePrinter(DWORD level, LPBYTE upgradeInfo) {
    const auto* info = reinterpret_cast<const DRIVER_UPGRADE_INFO_1*>(upgradeInfo);
    velt::PrinterHandle printer;
    if (level == 1 && info != nullptr && info->pPrinterName != nullptr && info->pPrinterName[0] != 0) {
        printer = velt::OpenPrinterFor(info->pPrinterName, PRINTER_ALL_ACCESS);
    }
    if (!printer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WriteUiLog(" Entering DrvUpgradePrinter", printer.get());
    EnterCriticalSection(UiLock());
    const BOOL normalized = NormalizeSettingsRecord(printer.get());
    LeaveCriticalSection(UiLock());
    return normalized;
}

} // namespace

UIAPI_EXPORT BOOL APIENTRY DrvPrinterEvent(LPWSTR pPrinterName, INT DriverEvent, DWORD /*Flags*/, LPARAM /*lParam*/) {
    return PrinterEvent(pPrinterName, DriverEvent);
}

UIAPI_EXPORT BOOL APIENTRY DrvUpgradePrinter(DWORD Level, LPBYTE pDriverUpgradeInfo) {
    return UpgradePrinter(Level, pDriverUpgradeInfo);
}
