// The host's side of the comparison with the cross build: what the host build's libraries give, in
// the text form of reference_dump.h. Every resource of the compiled script, read from the host's
// VELTrc through the host's resource functions, and every string through LoadStringW; then the log
// library's files after a session that rotates the current file and one that finds the family over
// its 1 MB limit. scripts/build-windows.sh compares this with what the loading program writes
// under the platform's loader.
//
// Usage: windows_host_reference RES_FILE OUT_FILE   (VELT_MODULE_DIR names the host's module folder)
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "VELTlog.h"
#include "host/resource_format.h"
#include "host/testing.h"
#include "platform.h"
#include "reference_dump.h"

namespace {

std::string IdText(const host::res::ResourceId& id) {
    return id.isOrdinal ? std::to_string(id.ordinal) : "\"" + HostNarrow(id.name.c_str()) + "\"";
}

bool DumpResources(const std::string& resFile, std::vector<std::string>& lines) {
    std::ifstream in(resFile, std::ios::binary);
    const std::vector<BYTE> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto entries = host::res::ParseResourceFile(file);
    WCHAR directory[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    const std::u16string path = std::u16string(directory, length) + u"\\spool\\drivers\\w32x86\\3\\VELTrc.dll";
    HMODULE module = LoadLibraryW(path.c_str());
    if (!entries || module == nullptr) {
        std::fprintf(stderr, "windows_host_reference: cannot read %s or load VELTrc\n", resFile.c_str());
        return false;
    }
    for (const auto& e : *entries) {
        const LPCWSTR type = e.type.isOrdinal ? MAKEINTRESOURCEW(e.type.ordinal) : e.type.name.c_str();
        const LPCWSTR name = e.name.isOrdinal ? MAKEINTRESOURCEW(e.name.ordinal) : e.name.name.c_str();
        HRSRC found = FindResourceW(module, name, type);
        const void* data = found ? LockResource(LoadResource(module, found)) : nullptr;
        const DWORD size = found ? SizeofResource(module, found) : 0;
        lines.push_back(reference::ResourceLine(IdText(e.type), IdText(e.name), e.language, data, data ? size : 0));
        if (!(e.type.isOrdinal && e.type.ordinal == 6 && e.name.isOrdinal && data)) continue;
        for (const auto& s : reference::StringsOfBlock(e.name.ordinal, static_cast<const unsigned char*>(data), size)) {
            WCHAR text[1024] = {};
            const int read = LoadStringW(module, s.id, text, 1024);
            lines.push_back(reference::StringLine(s.id, reinterpret_cast<const uint16_t*>(text), read > 0 ? read : 0));
        }
    }
    FreeLibrary(module);
    return true;
}

bool DumpLog(std::vector<std::string>& lines) {
    HostUseTemporaryStore();
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "velt-host-reference-logs";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);

    std::u16string printerName = u"VELT log reference", driver = u"VELT", port = u"FILE:/dev/null";
    PRINTER_INFO_2W info{};
    info.pPrinterName = printerName.data();
    info.pDriverName = driver.data();
    info.pPortName = port.data();
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (printer == nullptr) return false;

    DRIVER_LOG_SETTINGS settings{};
    settings.dlEnabled = 1;
    settings.dlMaxSizeIndex = LOG_MAX_SIZE_1MB;
    const std::u16string folderPath = HostWide(folder.string());
    std::memcpy(settings.dlFolder, folderPath.data(), folderPath.size() * sizeof(WCHAR));
    WCHAR value[] = DRIVER_LOG_FILE_VALUE;
    if (SetPrinterDataW(printer, value, REG_BINARY, reinterpret_cast<LPBYTE>(&settings), sizeof settings) !=
        ERROR_SUCCESS) {
        return false;
    }

    bool ok = VLK_IsLogFileEnabled(printer) == TRUE;
    HANDLE log = VLK_LogCreateFile(LOG_MODULE_PRINTER_DRIVER, printer);
    ok = ok && log != nullptr;
    for (int i = 0; ok && i < reference::kRecordsOfFirstSession; ++i) {
        ok = VLK_LogWrite(log, reference::LogRecord(i).c_str(), 0) == TRUE;
    }
    ok = ok && VKL_LogFileClose(log) == TRUE;
    for (auto& line : reference::LogFolderLines("1", folder)) lines.push_back(line);

    log = VLK_LogCreateFile(LOG_MODULE_PRINTER_DRIVER, printer);
    ok = ok && log != nullptr && VLK_LogWrite(log, reference::LogRecord(-1).c_str(), 0) == TRUE &&
         VKL_LogFileClose(log) == TRUE;
    for (auto& line : reference::LogFolderLines("2", folder)) lines.push_back(line);

    ClosePrinter(printer);
    std::filesystem::remove_all(folder);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s RES_FILE OUT_FILE\n", argv[0]);
        return 2;
    }
    std::vector<std::string> lines;
    if (!DumpResources(argv[1], lines)) return 1;
    if (!DumpLog(lines)) {
        std::fprintf(stderr, "windows_host_reference: the log steps failed\n");
        return 1;
    }
    return reference::WriteLines(lines, argv[2]) ? 0 : 1;
}
