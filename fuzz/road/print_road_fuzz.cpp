// The whole printing road on arbitrary job settings, VerticalDotCount and small pictures: the engine
// prints the pages through an instrumented copy of the rendering driver (VELTfuzz), and the virtual
// printer decodes what reached the spooler. A job either fails, naming the call that failed, or gives
// a stream that the printer takes without an error.
//
// Input: a settings byte (bit 0 landscape, 1 58 mm paper, 2 dual side, 3 two-colour, 4 standard mode,
// 5 cut at the end, 6-7 pages less one), two bytes of paper length, VerticalDotCount (253 stands for
// 1000), the picture's width and height less one (each at most 63), then its pixels, a byte each.
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "driver_devmode.h"
#include "host/engine.h"
#include "host/testing.h"
#include "virtual_printer.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

std::u16string printerName = u"Fuzz Road";

// A fresh store for each input, so that no job of an earlier input is kept.
void FreshHost(DWORD verticalDotCount) {
    static const bool folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "velt-fuzz-XXXXXX").string();
        Require(mkdtemp(pattern.data()) != nullptr);
        setenv("VELT_HOME", (pattern + "/home").c_str(), 1);
        // Held for the whole run: the engine frees the driver after each job, and the coverage
        // counters of an unloaded module would vanish under libFuzzer.
        Require(LoadLibraryW(u"VELTfuzz") != nullptr);
        return true;
    }();
    (void)folder;
    HostUseTemporaryStore();
    HKEY key = nullptr;
    Require(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Calvix", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) == ERROR_SUCCESS);
    RegSetValueExW(key, u"VerticalDotCount", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&verticalDotCount),
                   sizeof verticalDotCount);
    RegCloseKey(key);
    std::u16string driver = u"VELT", port = u"FILE:/dev/null";
    PRINTER_INFO_2W info{};
    info.pPrinterName = printerName.data();
    info.pDriverName = driver.data();
    info.pPortName = port.data();
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    Require(printer != nullptr);
    ClosePrinter(printer);
    HostKeepJobData(TRUE);
}

ULONG Colour(uint8_t byte) {
    switch (byte & 3) {
    case 0: return 0xFFFFFF;
    case 1: return 0x000000;
    case 2: return 0xFF0000;
    default: return static_cast<ULONG>(byte) * 0x010101u;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 6) return 0;
    const uint8_t settings = data[0];
    const SHORT length = static_cast<SHORT>(100 + (data[1] | data[2] << 8) % 500); // 10 mm to 60 mm
    const DWORD dotCount = data[3] == 253 ? 1000 : data[3];
    HostPicture picture = HostPicture::Filled((data[4] & 63) + 1, (data[5] & 63) + 1);
    size_t at = 6;
    for (LONG y = 0; y < picture.height; ++y)
        for (LONG x = 0; x < picture.width; ++x) picture.SetPixel(x, y, Colour(at < size ? data[at++] : 0));

    FreshHost(dotCount);
    DRIVER_DEVMODE devmode;
    DevmodeSetDefaults(&devmode, printerName.c_str());
    DEVMODEW& pub = devmode.dmPublic;
    pub.dmOrientation = (settings & 0x01) ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    pub.dmPaperWidth = (settings & 0x02) ? 580 : 800;
    pub.dmPaperLength = length;
    pub.dmDuplex = (settings & 0x04) ? DMDUP_VERTICAL : DMDUP_SIMPLEX;
    pub.dmColor = (settings & 0x08) ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
    pub.dmFields |= DM_ORIENTATION | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_DUPLEX | DM_COLOR;
    devmode.dmPageModeControl = (settings & 0x10) ? 1 : 0;
    devmode.dmCuttingControl = (settings & 0x20) ? 1 : 0;

    HostPrintJob job;
    job.printer = printerName;
    job.driverModule = u"VELTfuzz";
    const BYTE* record = reinterpret_cast<const BYTE*>(&devmode);
    job.devmode.assign(record, record + sizeof devmode);
    for (int page = 0; page <= settings >> 6; ++page) job.pages.push_back({&picture, HostPlacement::TopLeft});
    const HostPrintResult result = HostPrintPages(job);
    if (!result.ok) {
        Require(!result.failedCall.empty());
        return 0;
    }
    std::vector<uint8_t> bytes;
    Require(HostJobData(printerName.c_str(), result.jobId, &bytes));
    vprinter::PrinterState state;
    state.paperWidth = (settings & 0x02) ? vprinter::PaperWidth::Mm58 : vprinter::PaperWidth::Mm80;
    vprinter::VirtualPrinter printer(state);
    printer.Feed(bytes);
    const vprinter::JobResult decoded = printer.Finish();
    Require(!bytes.empty());
    Require(decoded.errors.empty());
    return 0;
}
