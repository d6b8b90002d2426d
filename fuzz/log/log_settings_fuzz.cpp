// Arbitrary "DriverLogFile" values (0 to 2000 bytes) through the calls every logging module makes:
// VLK_IsLogFileEnabled, VLK_LogCreateFile, VLK_LogWrite, VKL_LogFileClose.
//
// Input: one control byte (bits 0-1 the module, 3 being outside the interface; bit 2 the time stamp
// switch; bit 3 a current file one line short of full, so that writes rotate), then the value. The
// value's folder field always starts with this run's "logs" folder; the fuzzer's characters after it
// become letters (or stay 0), so no path can leave the temporary folder.
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "VELTlog.h"
#include "host/testing.h"
#include "log_testing.h"

namespace {

constexpr size_t kMaxValueSize = 2000;
constexpr size_t kFolderBegin = 6; // byte offset of dlFolder
constexpr size_t kFolderEnd = 526; // and of the reserved bytes after it

class FuzzHost {
public:
    FuzzHost() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velt-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) abort();
        root_ = pattern;
        setenv("VELT_HOME", (root_ / "home").c_str(), 1);
        std::filesystem::create_directory(Logs());
        HostUseTemporaryStore();
        const SYSTEMTIME now{2024, 3, 2, 5, 10, 30, 0, 0};
        HostSetLocalTime(&now);

        std::u16string name = u"Fuzz Printer", driver = u"VELT", port = u"FILE:/dev/null";
        PRINTER_INFO_2W info{};
        info.pPrinterName = name.data();
        info.pDriverName = driver.data();
        info.pPortName = port.data();
        HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
        if (added == nullptr) abort();
        ClosePrinter(added);
        PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (!OpenPrinterW(name.data(), &printer_, &defaults)) abort();
    }
    ~FuzzHost() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    std::filesystem::path Logs() const { return root_ / "logs"; }
    HANDLE Printer() const { return printer_; }

    void EmptyLogs() const {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(Logs(), ignored)) {
            std::filesystem::remove_all(entry.path(), ignored);
        }
    }

private:
    std::filesystem::path root_;
    HANDLE printer_ = nullptr;
};

FuzzHost& Host() {
    static FuzzHost host;
    return host;
}

// Puts a character into the folder field as far as the value holds it: a value that ends inside a
// character keeps only its low byte (the library reads the missing byte as 0).
void PutFolderChar(std::vector<uint8_t>& value, size_t index, char16_t c) {
    const size_t at = kFolderBegin + 2 * index;
    value[at] = static_cast<uint8_t>(c & 0xFF);
    if (at + 1 < std::min(value.size(), kFolderEnd)) value[at + 1] = static_cast<uint8_t>(c >> 8);
}

void ConfineFolder(std::vector<uint8_t>& value, const std::u16string& prefix) {
    if (value.size() <= kFolderBegin) return; // no folder: logging is off
    const size_t end = std::min(value.size(), kFolderEnd);
    const size_t chars = (end - kFolderBegin + 1) / 2;
    if (chars < prefix.size()) {
        std::fill(value.begin() + kFolderBegin, value.begin() + end, 0); // too short for the prefix: empty
        return;
    }
    for (size_t i = 0; i < prefix.size(); ++i) PutFolderChar(value, i, prefix[i]);
    for (size_t i = prefix.size(); i < chars; ++i) {
        const size_t at = kFolderBegin + 2 * i;
        const char16_t c = static_cast<char16_t>(value[at] | (at + 1 < end ? value[at + 1] << 8 : 0));
        PutFolderChar(value, i, c == 0 ? u'\0' : static_cast<char16_t>(u'a' + c % 26));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const FuzzHost& host = Host();
    const uint8_t control = data[0];
    const auto module = static_cast<LOG_MODULE>(control & 3);
    const DWORD timeStamp = control & 4;
    std::vector<uint8_t> value(data + 1, data + 1 + std::min(size - 1, kMaxValueSize));
    ConfineFolder(value, HostWide(host.Logs().string()));

    velt::log::ResetLogLibraryForTests();
    WCHAR name[] = DRIVER_LOG_FILE_VALUE;
    if (SetPrinterDataW(host.Printer(), name, REG_BINARY, value.data(), static_cast<DWORD>(value.size())) !=
        ERROR_SUCCESS) {
        abort();
    }
    if (control & 8) {
        const char* current = module == LOG_MODULE_PRINTER_UI         ? "VELTUI.log"
                              : module == LOG_MODULE_LANGUAGE_MONITOR ? "VELTLMON.log"
                                                                      : "VELTPD.log";
        const std::filesystem::path path = host.Logs() / current;
        std::ofstream(path).close();
        std::filesystem::resize_file(path, 1048576 - 26); // sparse: cheap to make
    }

    VLK_IsLogFileEnabled(host.Printer());
    HANDLE file = VLK_LogCreateFile(module, host.Printer());
    if (file != nullptr) {
        VLK_LogWrite(file, "Entering the function DrvStartPage", timeStamp);
        VLK_LogWrite(file, "", timeStamp);
        VKL_LogFileClose(file);
    }
    host.EmptyLogs();
    return 0;
}
