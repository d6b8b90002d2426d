// Arbitrary bytes as a printer's stored records, read back the way printing and the configuration
// interface read them: the device mode as the spooler hands it out and both libraries merge it, the
// paper list with each of its sizes chosen, and the settings record as both of its readers see it.
// The store holds whatever a damaged disk or another program left; nothing may be read past the
// bytes stored, and what is taken must be a record the driver could have built.
//
// Input: one byte choosing the record (0 device mode, 1 paper list, 2 settings record), then its bytes.
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "custom_paper_list.h"
#include "driver_devmode.h"
#include "host/testing.h"
#include "printer_settings_record.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

std::u16string printerName = u"Fuzz Printer";

void SetUpHost() {
    static bool done = false;
    if (done) return;
    done = true;
    std::string pattern = (std::filesystem::temp_directory_path() / "velt-fuzz-XXXXXX").string();
    Require(mkdtemp(pattern.data()) != nullptr);
    setenv("VELT_HOME", (pattern + "/home").c_str(), 1);
    HostUseTemporaryStore();
    std::u16string driver = u"VELT", port = u"FILE:/dev/null";
    PRINTER_INFO_2W info{};
    info.pPrinterName = printerName.data();
    info.pDriverName = driver.data();
    info.pPortName = port.data();
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    Require(printer != nullptr);
    ClosePrinter(printer);
}

HANDLE OpenAll() {
    PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    Require(OpenPrinterW(printerName.data(), &printer, &all));
    return printer;
}

void StoreValue(const char16_t* name, DWORD type, const uint8_t* data, size_t size) {
    HANDLE printer = OpenAll();
    std::u16string value = name;
    Require(SetPrinterDataW(printer, value.data(), type, const_cast<LPBYTE>(data), static_cast<DWORD>(size)) ==
            ERROR_SUCCESS);
    ClosePrinter(printer);
}

void RequireWorking(const DRIVER_DEVMODE& record) {
    Require(record.dmPublic.dmSize == 220 && record.dmPublic.dmDriverExtra == 16);
    Require(record.dmPrivSignature == PRIV_SIGNATURE);
    Require(record.dmCuttingControl == 0 || record.dmCuttingControl == 1);
    Require(record.dmPublic.dmDeviceName[CCHDEVICENAME - 1] == 0);
}

void ReadDevmode(const uint8_t* data, size_t size) {
    Require(HostDamageStoredDevmode(printerName.c_str(), data, size));
    HANDLE printer = OpenAll();
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed);
    Require(needed != 0 && GetPrinterW(printer, 2, info.data(), needed, &needed));
    ClosePrinter(printer);
    const auto* level2 = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
    if (!level2->pDevMode) return;
    for (const DEVMODE_MERGE_RULES* rules : {&CONFIGURATION_INTERFACE_MERGE_RULES, &RENDERING_DRIVER_MERGE_RULES}) {
        DRIVER_DEVMODE working;
        DevmodeSetDefaults(&working, printerName.c_str());
        DevmodeMerge(&working, level2->pDevMode, *rules);
        RequireWorking(working);
    }
}

void ReadPaperList(const uint8_t* data, size_t size) {
    StoreValue(u"CustomPaperList", REG_BINARY, data, size);
    CUSTOM_PAPER_LIST list = BuiltInCustomPaperList();
    if (!ReadCustomPaperList(printerName.c_str(), &list)) return;
    for (DWORD index = 0; index < USER_PAPER_COUNT; ++index) {
        Require(list.entries[index].name[USER_PAPER_NAME_CHARS - 1] == 0);
        DRIVER_DEVMODE record;
        DevmodeSetDefaults(&record, printerName.c_str());
        if (ChooseUserPaperSize(&record, &list, index)) {
            Require(record.dmUserSize == index);
            RequireWorking(record);
        }
    }
}

void ReadSettings(const uint8_t* data, size_t size) {
    // The record and its size value as two programs may leave them: the size byte says what the
    // record claims, the rest is the record.
    const DWORD claimed = size > 0 ? data[0] * 2u : 0;
    StoreValue(u"PrinterDataSize", REG_DWORD, reinterpret_cast<const uint8_t*>(&claimed), sizeof claimed);
    StoreValue(u"PrinterData", REG_BINARY, size > 0 ? data + 1 : data, size > 0 ? size - 1 : 0);
    HANDLE printer = OpenAll();
    const StoredSettingsRecord stored = ReadSettingsRecord(printer);
    ClosePrinter(printer);
    const PRINTER_SETTINGS_RECORD copy = SettingsRecordWorkingCopy(stored);
    Require(copy.psSize == SETTINGS_RECORD_SIZE);
    SHORT colour = -1;
    if (SettingsRecordColorSetting(stored, &colour)) Require(colour == 0 || colour == 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    SetUpHost();
    switch (data[0] % 3) {
    case 0: ReadDevmode(data + 1, size - 1); break;
    case 1: ReadPaperList(data + 1, size - 1); break;
    default: ReadSettings(data + 1, size - 1); break;
    }
    return 0;
}
