// Platform module paths and the system directory. The host keeps every driver module as NAME.so in one
// folder; the platform's folders for modules (the system folder and the printer driver folder) and bare
// module names all lead there.
#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "kernel/internal.h"
#include "module/internal.h"
#include "platform.h"

namespace host {

constexpr char16_t SYSTEM_DIRECTORY[] = u"C:\\WINDOWS\\system32";

namespace {

constexpr char16_t DRIVER_SUBDIRECTORY[] = u"\\spool\\drivers\\w32x86\\3\\";
constexpr std::u16string_view DLL_EXTENSION = u".dll";

// Module file names hold no separators, wildcards or control characters.
bool IsFileName(std::u16string_view name) {
    constexpr std::u16string_view forbidden = u"<>:\"/\\|?*";
    return !name.empty() && std::ranges::none_of(name, [&forbidden](char16_t c) {
        return c < 0x20 || forbidden.find(c) != std::u16string_view::npos;
    });
}

std::filesystem::path ModuleFolder() {
    if (const char* folder = std::getenv("VELT_MODULE_DIR"); folder != nullptr && *folder != '\0') {
        return folder;
    }
    Dl_info self{};
    if (dladdr(reinterpret_cast<void*>(&GetSystemDirectoryW), &self) != 0 && self.dli_fname != nullptr) {
        return std::filesystem::path(self.dli_fname).parent_path();
    }
    return {};
}

// The shared object for a module, found as on the platform without regard to case.
std::optional<std::string> FindModuleFile(std::u16string_view fileName) {
    const std::filesystem::path folder = ModuleFolder();
    std::error_code error;
    const std::filesystem::path exact = folder / ToUtf8(fileName);
    if (std::filesystem::is_regular_file(exact, error)) {
        return exact.string();
    }
    std::optional<std::string> found;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string candidate = it->path().filename().string();
        if (EqualNoCase(FromUtf8(candidate), fileName) && (!found || candidate < *found)) {
            found = candidate;
        }
    }
    if (!found) {
        return std::nullopt;
    }
    return (folder / *found).string();
}

} // namespace

std::u16string SystemDirectory() { return SYSTEM_DIRECTORY; }

std::u16string DriverDirectory() { return SystemDirectory() + DRIVER_SUBDIRECTORY; }

std::optional<ModuleLocation> LocateModule(std::u16string_view platformPath) {
    std::u16string path(platformPath);
    std::ranges::replace(path, u'/', u'\\');
    const size_t split = path.rfind(u'\\');
    const std::u16string folder = split == std::u16string::npos ? std::u16string() : path.substr(0, split + 1);
    std::u16string file = split == std::u16string::npos ? path : path.substr(split + 1);
    if (!folder.empty() && !EqualNoCase(folder, DriverDirectory()) && !EqualNoCase(folder, SystemDirectory() + u"\\")) {
        return std::nullopt;
    }
    if (file.empty()) {
        return std::nullopt;
    }
    // A name without an extension means a ".dll", as LoadLibraryW takes it.
    if (file.find(u'.') == std::u16string::npos) {
        file += DLL_EXTENSION;
    }
    std::u16string_view base = file;
    if (base.size() > DLL_EXTENSION.size() &&
        EqualNoCase(base.substr(base.size() - DLL_EXTENSION.size()), DLL_EXTENSION)) {
        base.remove_suffix(DLL_EXTENSION.size());
    }
    if (!IsFileName(base)) {
        return std::nullopt;
    }
    const std::optional<std::string> linuxPath = FindModuleFile(std::u16string(base) + u".so");
    if (!linuxPath) {
        return std::nullopt;
    }
    // A module is known by the path it was asked for; a bare name stands for the driver folder.
    const std::u16string knownFolder =
        folder.empty() ? DriverDirectory() : std::u16string(platformPath.substr(0, split + 1));
    return ModuleLocation{knownFolder + file, *linuxPath};
}

} // namespace host

// Answers the length copied, or the size needed (terminator included) when the buffer is too small.
extern "C" UINT GetSystemDirectoryW(LPWSTR buffer, UINT size) {
    const std::u16string_view directory = host::SYSTEM_DIRECTORY;
    const auto length = static_cast<UINT>(directory.size());
    if (buffer == nullptr || size <= length) {
        return length + 1;
    }
    directory.copy(buffer, length);
    buffer[length] = u'\0';
    return length;
}
