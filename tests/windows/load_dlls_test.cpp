// The cross-built driver libraries, loaded by the platform's own loader (Wine in CI): each DLL loads
// from the driver folder, exports exactly its committed names, VELTrc.dll's every resource reads back
// through the platform's resource functions with the bytes of the compiled resource script, and the
// log library's exports answer their failure paths as on the host and write a record through a
// printer whose settings switch logging on.
//
// It also writes what VELTrc.dll and VELTlog.dll give in the text form of reference_dump.h, which
// scripts/build-windows.sh compares with the host build's (windows_host_reference).
//
// Usage: load_dlls_test.exe DRIVER_DIR EXPORTS_DIR RES_FILE OUT_FILE [NAME...]
//   DRIVER_DIR   folder of VELT.dll, VELTui.dll, VELTlmon.dll, VELTlog.dll, VELTrc.dll
//   EXPORTS_DIR  folder of the committed export lists (NAME.txt, one name a line)
//   RES_FILE     the compiled resource script (VELTrc.res), the bytes the host library embeds
//   OUT_FILE     where the text form goes
//   NAME...      the libraries to check (default: all five)
// Prints one line per failed check and ends with "N passed, N failed, N skipped".
#ifndef UNICODE
#define UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "reference_dump.h"

namespace {

std::vector<std::string> g_reference; // the lines of the text form

int g_passed = 0;
int g_failed = 0;
int g_skipped = 0;

void Check(bool ok, const std::string& what) {
    if (ok) {
        ++g_passed;
    } else {
        ++g_failed;
        std::printf("FAILED: %s\n", what.c_str());
    }
}

void Skip(const std::string& what) {
    ++g_skipped;
    std::printf("skipped: %s\n", what.c_str());
}

std::wstring Widen(const std::string& s) {
    return std::wstring(s.begin(), s.end()); // paths and names here are ASCII
}

std::string Narrow(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// The names of a loaded module's export directory, in the directory's (ascending) order.
std::vector<std::string> ExportedNames(HMODULE module) {
    auto* base = reinterpret_cast<const unsigned char*>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (entry.VirtualAddress == 0 || entry.Size == 0) return names;
    auto* dir = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    auto* nameRvas = reinterpret_cast<const DWORD*>(base + dir->AddressOfNames);
    for (DWORD i = 0; i < dir->NumberOfNames; ++i) {
        names.emplace_back(reinterpret_cast<const char*>(base + nameRvas[i]));
    }
    return names;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string out;
    for (const auto& n : names) out += (out.empty() ? "" : " ") + n;
    return out;
}

// Debug output, caught as the platform delivers it to a debugger: OutputDebugString raises an exception
// that carries the text, which a vectored handler sees before the system's own handler swallows it.
constexpr DWORD kDebugPrint = 0x40010006;     // DBG_PRINTEXCEPTION_C: length, 8-bit text
constexpr DWORD kDebugPrintWide = 0x4001000A; // DBG_PRINTEXCEPTION_WIDE_C: length, wide text
std::vector<std::string> g_debugOutput;

LONG CALLBACK CatchDebugOutput(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* r = info->ExceptionRecord;
    if (r->ExceptionCode == kDebugPrint && r->NumberParameters >= 2) {
        g_debugOutput.emplace_back(reinterpret_cast<const char*>(r->ExceptionInformation[1]));
    } else if (r->ExceptionCode == kDebugPrintWide && r->NumberParameters >= 2) {
        g_debugOutput.push_back(Narrow(reinterpret_cast<const wchar_t*>(r->ExceptionInformation[1])));
    } else {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    return EXCEPTION_CONTINUE_EXECUTION;
}

bool SaidOnDebugOutput(const std::string& text) {
    return std::find(g_debugOutput.begin(), g_debugOutput.end(), text) != g_debugOutput.end();
}

// Loads NAME.dll as the spooler does. The rendering driver imports the engine functions (Eng...),
// which Wine's gdi32 does not export: Wine binds them to stubs and loads the DLL all the same, while a
// loader that refuses it gets the DLL mapped without binding its imports, which still shows its
// export table. Either way, of the rendering driver only what calls no engine function runs here
// (its entry point and DrvQueryDriverInfo); DrvEnableDriver would call EngComputeGlyphSet.
HMODULE LoadDriverLibrary(const std::string& dir, const std::string& name) {
    const std::wstring path = Widen(dir + "\\" + name + ".dll");
    HMODULE module = LoadLibraryW(path.c_str());
    const DWORD error = module ? 0 : GetLastError();
    if (module && name == "VELT") {
        // The runtime calls the driver's own entry point, which says so on the debugger.
        Check(SaidOnDebugOutput("INSIDE PROCESS ATTACH"), "VELT.dll's entry point runs on process attach");
    }
    if (module || name != "VELT" || error != ERROR_PROC_NOT_FOUND) {
        Check(module != nullptr, name + ".dll loads (error " + std::to_string(error) + ")");
        return module;
    }
    Skip(name + ".dll loads with its imports bound: this platform lacks engine functions it imports");
    module = LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    Check(module != nullptr, name + ".dll maps without binding its imports");
    return module;
}

void CheckExports(HMODULE module, const std::string& name, const std::string& exportsDir) {
    std::vector<std::string> expected = ReadLines(exportsDir + "\\" + name + ".txt");
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> actual = ExportedNames(module);
    Check(actual == expected,
          name + ".dll exports exactly its list: wanted [" + Joined(expected) + "], found [" + Joined(actual) + "]");
    for (const auto& e : expected) {
        Check(GetProcAddress(module, e.c_str()) != nullptr, name + ".dll: GetProcAddress(" + e + ")");
    }
}

// One resource of a compiled resource script: type and name (a number, or a string), language, bytes.
struct ScriptResource {
    bool typeIsId;
    WORD typeId;
    std::wstring typeName;
    bool nameIsId;
    WORD nameId;
    std::wstring name;
    WORD language;
    std::vector<unsigned char> data;
};

// Reads an id-or-string field of a resource header at `at`; returns the offset after it.
size_t ReadIdOrName(const std::vector<unsigned char>& res, size_t at, bool& isId, WORD& id, std::wstring& name) {
    auto word = [&](size_t o) { return static_cast<WORD>(res[o] | (res[o + 1] << 8)); };
    if (word(at) == 0xFFFF) {
        isId = true;
        id = word(at + 2);
        return at + 4;
    }
    isId = false;
    for (; word(at) != 0; at += 2) name += static_cast<wchar_t>(word(at));
    return at + 2;
}

std::vector<ScriptResource> ReadScript(const std::vector<unsigned char>& res) {
    std::vector<ScriptResource> out;
    auto dword = [&](size_t o) {
        return static_cast<DWORD>(res[o] | (res[o + 1] << 8) | (res[o + 2] << 16) |
                                  (static_cast<DWORD>(res[o + 3]) << 24));
    };
    size_t at = 0;
    while (at + 32 <= res.size()) {
        const DWORD dataSize = dword(at);
        const DWORD headerSize = dword(at + 4);
        ScriptResource r{};
        size_t o = ReadIdOrName(res, at + 8, r.typeIsId, r.typeId, r.typeName);
        o = ReadIdOrName(res, o, r.nameIsId, r.nameId, r.name);
        o = (o + 3) & ~size_t{3};
        r.language = static_cast<WORD>(res[o + 6] | (res[o + 7] << 8)); // after DataVersion, MemoryFlags
        if (at + headerSize + dataSize > res.size()) break;
        r.data.assign(res.begin() + at + headerSize, res.begin() + at + headerSize + dataSize);
        if (!(r.typeIsId && r.typeId == 0)) out.push_back(std::move(r)); // the empty first entry
        at = (at + headerSize + dataSize + 3) & ~size_t{3};
    }
    return out;
}

std::string Describe(const ScriptResource& r) {
    std::string type = r.typeIsId ? std::to_string(r.typeId) : Narrow(r.typeName);
    std::string name = r.nameIsId ? std::to_string(r.nameId) : Narrow(r.name);
    return "resource type " + type + " name " + name;
}

// Every resource of the script, found by the platform's resource functions, has the script's bytes;
// every string of the string table reads back with LoadStringW.
void CheckResources(HMODULE module, const std::string& resFile) {
    const std::vector<ScriptResource> script = ReadScript(ReadBytes(resFile));
    Check(!script.empty(), "the resource script " + resFile + " holds resources");
    for (const ScriptResource& r : script) {
        LPCWSTR type = r.typeIsId ? MAKEINTRESOURCEW(r.typeId) : r.typeName.c_str();
        LPCWSTR name = r.nameIsId ? MAKEINTRESOURCEW(r.nameId) : r.name.c_str();
        HRSRC found = FindResourceExW(module, type, name, r.language);
        Check(found != nullptr, Describe(r) + " is found");
        if (!found) continue;
        const DWORD size = SizeofResource(module, found);
        const void* bytes = LockResource(LoadResource(module, found));
        Check(size == r.data.size() && bytes && std::memcmp(bytes, r.data.data(), size) == 0,
              Describe(r) + " has the script's " + std::to_string(r.data.size()) + " bytes (found " +
                  std::to_string(size) + ")");

        if (!(r.typeIsId && r.typeId == 6 && r.nameIsId)) continue;
        // A string block: 16 counted strings, ids (block - 1) * 16 onwards.
        size_t o = 0;
        for (UINT i = 0; i < 16 && o + 2 <= r.data.size(); ++i) {
            const size_t count = r.data[o] | (r.data[o + 1] << 8);
            std::wstring text;
            for (size_t c = 0; c < count; ++c) {
                text += static_cast<wchar_t>(r.data[o + 2 + 2 * c] | (r.data[o + 3 + 2 * c] << 8));
            }
            o += 2 + 2 * count;
            if (count == 0) continue;
            const UINT id = (r.nameId - 1u) * 16u + i;
            wchar_t buffer[1024] = {};
            const int length = LoadStringW(module, id, buffer, static_cast<int>(std::size(buffer)));
            Check(length == static_cast<int>(count) && text == buffer, "string " + std::to_string(id) + " reads \"" +
                                                                           Narrow(text) + "\" (found \"" +
                                                                           Narrow(buffer) + "\")");
        }
    }
}

// Every resource of the module as the platform's own enumeration finds it, and every string of its
// string table through LoadStringW, into the text form.
std::string IdText(LPCWSTR id) {
    return IS_INTRESOURCE(id) ? std::to_string(reinterpret_cast<ULONG_PTR>(id)) : "\"" + Narrow(id) + "\"";
}

BOOL CALLBACK AddLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR) {
    HRSRC found = FindResourceExW(module, type, name, language);
    const void* data = found ? LockResource(LoadResource(module, found)) : nullptr;
    const DWORD size = found && data ? SizeofResource(module, found) : 0;
    g_reference.push_back(reference::ResourceLine(IdText(type), IdText(name), language, data, size));
    if (IS_INTRESOURCE(type) && reinterpret_cast<ULONG_PTR>(type) == 6 && IS_INTRESOURCE(name) && data) {
        const auto block = static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name));
        for (const auto& s : reference::StringsOfBlock(block, static_cast<const unsigned char*>(data), size)) {
            wchar_t text[1024] = {};
            const int read = LoadStringW(module, s.id, text, 1024);
            g_reference.push_back(
                reference::StringLine(s.id, reinterpret_cast<const uint16_t*>(text), read > 0 ? read : 0));
        }
    }
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR) {
    return EnumResourceLanguagesW(module, type, name, AddLanguage, 0);
}

BOOL CALLBACK AddType(HMODULE module, LPWSTR type, LONG_PTR) { return EnumResourceNamesW(module, type, AddName, 0); }

void AddResources(HMODULE module) {
    Check(EnumResourceTypesW(module, AddType, 0) != FALSE, "VELTrc.dll: its resources are enumerated");
}

// The rendering driver's self-description, which needs no engine: a user-mode driver, and FALSE
// (with the size still reported) for any other question or a buffer too small.
void CheckDriverInfo(HMODULE module) {
    using QueryDriverInfo = BOOL(APIENTRY*)(DWORD, PVOID, DWORD, PDWORD);
    auto query =
        reinterpret_cast<QueryDriverInfo>(reinterpret_cast<void*>(GetProcAddress(module, "DrvQueryDriverInfo")));
    if (!query) return; // reported by the export check
    const struct {
        DWORD mode;
        DWORD size;
        bool withBuffer;
        BOOL result;
        DWORD needed;
        DWORD value;
    } cases[] = {
        {1, 4, true, TRUE, 4, 1}, // DRVQUERY_USERMODE
        {1, 8, true, TRUE, 4, 1},
        {1, 3, true, FALSE, 4, 0xAAAAAAAA},
        {1, 4, false, FALSE, 4, 0xAAAAAAAA},
        {2, 4, true, FALSE, 0xAAAAAAAA, 0xAAAAAAAA},
    };
    for (const auto& c : cases) {
        DWORD value = 0xAAAAAAAA;
        DWORD needed = 0xAAAAAAAA;
        const BOOL result = query(c.mode, c.withBuffer ? &value : nullptr, c.size, &needed);
        Check(result == c.result && needed == c.needed && value == c.value,
              "VELT.dll: DrvQueryDriverInfo(mode " + std::to_string(c.mode) + ", " + std::to_string(c.size) +
                  (c.withBuffer ? " bytes" : " bytes, no buffer") + ") answers " + std::to_string(c.result));
    }
}

// The log exports' answers when there is no printer and no file, as the host's library gives them.
void CheckLogFailurePaths(HMODULE module) {
    using IsEnabled = BOOL(WINAPI*)(HANDLE);
    using CreateLog = HANDLE(WINAPI*)(DWORD, HANDLE);
    using Write = BOOL(WINAPI*)(HANDLE, const char*, DWORD);
    using Close = BOOL(WINAPI*)(HANDLE);
    using DeleteAll = BOOL(WINAPI*)(DWORD);
    auto isEnabled =
        reinterpret_cast<IsEnabled>(reinterpret_cast<void*>(GetProcAddress(module, "VLK_IsLogFileEnabled")));
    auto create = reinterpret_cast<CreateLog>(reinterpret_cast<void*>(GetProcAddress(module, "VLK_LogCreateFile")));
    auto write = reinterpret_cast<Write>(reinterpret_cast<void*>(GetProcAddress(module, "VLK_LogWrite")));
    auto close = reinterpret_cast<Close>(reinterpret_cast<void*>(GetProcAddress(module, "VKL_LogFileClose")));
    auto deleteAll =
        reinterpret_cast<DeleteAll>(reinterpret_cast<void*>(GetProcAddress(module, "VKL_LogDeleteAllFiles")));
    if (!isEnabled || !create || !write || !close || !deleteAll) {
        Check(false, "VELTlog.dll: every export is found before it is called");
        return;
    }
    const struct {
        const char* what;
        BOOL actual;
        BOOL expected;
    } answers[] = {
        {"VLK_IsLogFileEnabled without a printer", isEnabled(nullptr), FALSE},
        {"VLK_LogCreateFile without a printer gives no handle", create(0, nullptr) != nullptr, FALSE},
        {"VLK_LogWrite without a file", write(nullptr, "text", 1), FALSE},
        {"VLK_LogWrite without a text", write(reinterpret_cast<HANDLE>(1), nullptr, 1), FALSE},
        {"VKL_LogFileClose without a file", close(nullptr), FALSE},
        {"VKL_LogDeleteAllFiles", deleteAll(0), TRUE},
    };
    for (const auto& a : answers) {
        Check(a.actual == a.expected, std::string("VELTlog.dll: ") + a.what + " answers " + std::to_string(a.expected));
    }
}

// A printer of the rendering driver whose "DriverLogFile" value switches logging on into `folder`:
// the log library reads its settings through the spooler, as it does under the real one. Null when
// this platform's spooler cannot set one up.
HANDLE SetUpLoggingPrinter(const std::string& driverDir, const std::wstring& folder) {
    const std::wstring dir = Widen(driverDir);
    const std::wstring driverPath = dir + L"\\VELT.dll";
    const std::wstring dataPath = dir + L"\\VELTrc.dll";
    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<LPWSTR>(L"VELT load test");
    driver.pEnvironment = const_cast<LPWSTR>(L"Windows NT x86");
    driver.pDriverPath = const_cast<LPWSTR>(driverPath.c_str());
    driver.pDataFile = const_cast<LPWSTR>(dataPath.c_str());
    driver.pConfigFile = const_cast<LPWSTR>(dataPath.c_str());
    if (!AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&driver))) return nullptr;

    PRINTER_INFO_2W info{};
    info.pPrinterName = const_cast<LPWSTR>(L"VELT load test");
    info.pPortName = const_cast<LPWSTR>(L"LPT1:");
    info.pDriverName = driver.pName;
    info.pPrintProcessor = const_cast<LPWSTR>(L"winprint");
    info.pDatatype = const_cast<LPWSTR>(L"RAW");
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (!printer) return nullptr;

    // DRIVER_LOG_SETTINGS: enabled, the 1 MB limit, the folder; 528 bytes.
    BYTE settings[528] = {};
    settings[0] = 1;
    for (size_t i = 0; i < folder.size() && i < 259; ++i) {
        settings[6 + 2 * i] = static_cast<BYTE>(folder[i] & 0xFF);
        settings[7 + 2 * i] = static_cast<BYTE>(folder[i] >> 8);
    }
    if (SetPrinterDataW(printer, const_cast<LPWSTR>(L"DriverLogFile"), REG_BINARY, settings, sizeof settings) !=
        ERROR_SUCCESS) {
        DeletePrinter(printer);
        ClosePrinter(printer);
        return nullptr;
    }
    return printer;
}

std::string ReadWholeFile(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

// One message through the calling order every caller uses, into the rendering driver's file.
void CheckLogWrite(HMODULE module, const std::string& driverDir) {
    using IsEnabled = BOOL(WINAPI*)(HANDLE);
    using CreateLog = HANDLE(WINAPI*)(DWORD, HANDLE);
    using Write = BOOL(WINAPI*)(HANDLE, const char*, DWORD);
    using Close = BOOL(WINAPI*)(HANDLE);
    auto isEnabled =
        reinterpret_cast<IsEnabled>(reinterpret_cast<void*>(GetProcAddress(module, "VLK_IsLogFileEnabled")));
    auto create = reinterpret_cast<CreateLog>(reinterpret_cast<void*>(GetProcAddress(module, "VLK_LogCreateFile")));
    auto write = reinterpret_cast<Write>(reinterpret_cast<void*>(GetProcAddress(module, "VLK_LogWrite")));
    auto close = reinterpret_cast<Close>(reinterpret_cast<void*>(GetProcAddress(module, "VKL_LogFileClose")));
    if (!isEnabled || !create || !write || !close) return; // reported by the export check

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"VELTlog-load-test";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring file = folder + L"\\VELTPD.log";
    DeleteFileW(file.c_str());

    HANDLE printer = SetUpLoggingPrinter(driverDir, folder);
    if (!printer) {
        Skip("VELTlog.dll writes through a printer: this platform's spooler could not set one up (error " +
             std::to_string(GetLastError()) + ")");
        return;
    }
    Check(isEnabled(printer) == TRUE, "VELTlog.dll: VLK_IsLogFileEnabled with logging switched on");
    HANDLE log = create(0, printer);
    Check(log != nullptr, "VELTlog.dll: VLK_LogCreateFile opens the rendering driver's file");
    if (log) {
        Check(write(log, "Entering DrvEnableDriver", 0) == TRUE, "VELTlog.dll: VLK_LogWrite");
        Check(close(log) == TRUE, "VELTlog.dll: VKL_LogFileClose");
        const std::string bytes = ReadWholeFile(file);
        const std::string line = "Entering DrvEnableDriver\r\n";
        Check(bytes.size() > line.size() && bytes.compare(bytes.size() - line.size(), line.size(), line) == 0,
              "VELTlog.dll: the file ends with the record without a time stamp (" + std::to_string(bytes.size()) +
                  " bytes)");
    }
    DeleteFileW(file.c_str());

    // The steps of the host's reference, with a 1 MB limit: a session that fills and rotates the
    // current file, then one record that finds the family over its limit.
    BYTE settings[528] = {};
    settings[0] = 1;
    settings[4] = 0; // LOG_MAX_SIZE_1MB
    for (size_t i = 0; i < folder.size() && i < 259; ++i) {
        settings[6 + 2 * i] = static_cast<BYTE>(folder[i] & 0xFF);
        settings[7 + 2 * i] = static_cast<BYTE>(folder[i] >> 8);
    }
    Check(SetPrinterDataW(printer, const_cast<LPWSTR>(L"DriverLogFile"), REG_BINARY, settings, sizeof settings) ==
              ERROR_SUCCESS,
          "VELTlog.dll: the 1 MB limit is set");
    const std::filesystem::path folderPath(folder);
    bool ok = (log = create(0, printer)) != nullptr;
    for (int i = 0; ok && i < reference::kRecordsOfFirstSession; ++i) {
        ok = write(log, reference::LogRecord(i).c_str(), 0) == TRUE;
    }
    ok = ok && close(log) == TRUE;
    for (auto& line : reference::LogFolderLines("1", folderPath)) g_reference.push_back(line);
    ok = ok && (log = create(0, printer)) != nullptr && write(log, reference::LogRecord(-1).c_str(), 0) == TRUE &&
         close(log) == TRUE;
    for (auto& line : reference::LogFolderLines("2", folderPath)) g_reference.push_back(line);
    Check(ok, "VELTlog.dll: every write of the reference steps succeeds");
    std::error_code ignored;
    std::filesystem::remove_all(folderPath, ignored);

    DeletePrinter(printer);
    ClosePrinter(printer);
    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::printf("usage: %s DRIVER_DIR EXPORTS_DIR RES_FILE OUT_FILE [NAME...]\n", argv[0]);
        return 2;
    }
    const std::string driverDir = argv[1];
    const std::string exportsDir = argv[2];
    const std::string resFile = argv[3];
    const std::string outFile = argv[4];
    std::vector<std::string> names(argv + 5, argv + argc);
    if (names.empty()) names = {"VELTlog", "VELTrc", "VELT", "VELTui", "VELTlmon"};

    AddVectoredExceptionHandler(1, CatchDebugOutput);
    for (const std::string& name : names) {
        HMODULE module = LoadDriverLibrary(driverDir, name);
        if (!module) continue;
        CheckExports(module, name, exportsDir);
        if (name == "VELTrc") {
            CheckResources(module, resFile);
            AddResources(module);
        }
        if (name == "VELTlog") {
            CheckLogFailurePaths(module);
            CheckLogWrite(module, driverDir);
        }
        if (name == "VELT") CheckDriverInfo(module);
    }
    Check(reference::WriteLines(g_reference, outFile), "the text form is written to " + outFile);
    std::printf("%d passed, %d failed, %d skipped\n", g_passed, g_failed, g_skipped);
    return g_failed == 0 ? 0 : 1;
}
