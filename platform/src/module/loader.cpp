// Module loading: LoadLibraryW, FreeLibrary, GetProcAddress, GetModuleFileNameW. Each module file is
// loaded once and counted; its entry point "DllEntryPoint" hears DLL_PROCESS_ATTACH on the first load
// and DLL_PROCESS_DETACH on the last free. A module handle is the address of the host's record of the
// module; handles are only compared, never followed, until found in the table.
#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>

#include "kernel/internal.h"
#include "module/internal.h"
#include "platform.h"

namespace host {

namespace {

using EntryPoint = BOOL (*)(HINSTANCE, DWORD, LPVOID);

constexpr char ENTRY_POINT_NAME[] = "DllEntryPoint";
constexpr char RESOURCE_SECTION[] = ".rsrc";

struct LibraryCloser {
    void operator()(void* library) const { dlclose(library); }
};
using Library = std::unique_ptr<void, LibraryCloser>;

struct LoadedModule {
    std::string file; // canonical Linux path: two spellings of one module share one record
    std::u16string platformPath;
    Library library;
    unsigned references = 0;
    std::optional<ResourceImage> resources;
};

// The loader lock is recursive: an entry point may load or free other modules, as on the platform.
// The table is never destroyed, so modules stay mapped until the process ends.
struct ModuleTable {
    std::recursive_mutex lock;
    std::vector<std::unique_ptr<LoadedModule>> modules;
};

ModuleTable& Table() {
    static ModuleTable* table = new ModuleTable;
    return *table;
}

HMODULE HandleOf(const LoadedModule& module) { return reinterpret_cast<HMODULE>(const_cast<LoadedModule*>(&module)); }

LoadedModule* FindByHandle(HMODULE handle) {
    for (const auto& module : Table().modules) {
        if (HandleOf(*module) == handle) {
            return module.get();
        }
    }
    return nullptr;
}

LoadedModule* FindByFile(const std::string& file) {
    for (const auto& module : Table().modules) {
        if (module->file == file) {
            return module.get();
        }
    }
    return nullptr;
}

void Forget(const LoadedModule* gone) {
    auto& modules = Table().modules;
    std::erase_if(modules, [gone](const auto& module) { return module.get() == gone; });
}

// A symbol defined by the library itself: dlsym also searches the libraries it depends on, which the
// platform's GetProcAddress never does.
void* OwnSymbol(void* library, const char* name) {
    void* symbol = dlsym(library, name);
    link_map* map = nullptr;
    Dl_info where{};
    if (symbol == nullptr || dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr ||
        dladdr(symbol, &where) == 0 || where.dli_fname == nullptr || map->l_name == nullptr) {
        return nullptr;
    }
    return std::strcmp(where.dli_fname, map->l_name) == 0 ? symbol : nullptr;
}

EntryPoint EntryPointOf(const LoadedModule& module) {
    return reinterpret_cast<EntryPoint>(OwnSymbol(module.library.get(), ENTRY_POINT_NAME));
}

// The resource section, when the module has one and it reads as a resource file.
std::optional<ResourceImage> ReadResources(const std::string& file) {
    std::vector<BYTE> bytes = ReadElfSection(file, RESOURCE_SECTION);
    if (bytes.empty()) {
        return std::nullopt;
    }
    std::optional<std::vector<res::ResourceEntry>> entries = res::ParseResourceFile(bytes);
    if (!entries) {
        return std::nullopt;
    }
    return ResourceImage{std::move(bytes), std::move(*entries)};
}

HMODULE Load(LPCWSTR path) {
    const std::optional<ModuleLocation> location = LocateModule(path);
    if (!location) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    std::error_code error;
    std::string file = std::filesystem::weakly_canonical(location->linuxPath, error).string();
    if (error) {
        file = location->linuxPath;
    }
    std::lock_guard guard(Table().lock);
    if (LoadedModule* loaded = FindByFile(file)) {
        ++loaded->references;
        return HandleOf(*loaded);
    }
    Library library(dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!library) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    auto record = std::make_unique<LoadedModule>();
    record->file = file;
    record->platformPath = location->platformPath;
    record->library = std::move(library);
    record->references = 1;
    record->resources = ReadResources(file);
    LoadedModule& module = *record;
    Table().modules.push_back(std::move(record));

    // The record is in the table first, so the entry point can ask for its own file name.
    const HMODULE handle = HandleOf(module);
    if (EntryPoint entry = EntryPointOf(module); entry != nullptr && !entry(handle, DLL_PROCESS_ATTACH, nullptr)) {
        entry(handle, DLL_PROCESS_DETACH, nullptr);
        Forget(&module);
        SetLastError(ERROR_DLL_INIT_FAILED);
        return nullptr;
    }
    return handle;
}

BOOL Free(HMODULE handle) {
    std::lock_guard guard(Table().lock);
    LoadedModule* module = FindByHandle(handle);
    if (module == nullptr || module->references == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (--module->references == 0) {
        if (EntryPoint entry = EntryPointOf(*module)) {
            entry(handle, DLL_PROCESS_DETACH, nullptr);
        }
        Forget(module);
    }
    return TRUE;
}

} // namespace

const ResourceImage* FindModuleResources(HMODULE handle) {
    std::lock_guard guard(Table().lock);
    const LoadedModule* module = FindByHandle(handle);
    return module != nullptr && module->resources ? &*module->resources : nullptr;
}

} // namespace host

extern "C" HMODULE LoadLibraryW(LPCWSTR path) {
    if (path == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return host::Guarded<HMODULE>(nullptr, [&] { return host::Load(path); });
}

extern "C" BOOL FreeLibrary(HMODULE module) {
    return host::Guarded<BOOL>(FALSE, [&] { return host::Free(module); });
}

extern "C" FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    // Exports are looked up by name only; ordinals have no meaning for the host's modules.
    if (name == nullptr || IS_INTRESOURCE(name)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return host::Guarded<FARPROC>(nullptr, [&]() -> FARPROC {
        std::lock_guard guard(host::Table().lock);
        const host::LoadedModule* loaded = host::FindByHandle(module);
        if (loaded == nullptr) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        void* symbol = host::OwnSymbol(loaded->library.get(), name);
        if (symbol == nullptr) {
            SetLastError(ERROR_PROC_NOT_FOUND);
            return nullptr;
        }
        return reinterpret_cast<FARPROC>(symbol);
    });
}

// A short buffer receives as much of the path as fits and a terminator; the answer is then the buffer
// size with ERROR_INSUFFICIENT_BUFFER, so the caller never reads an unterminated path.
extern "C" DWORD GetModuleFileNameW(HMODULE module, LPWSTR path, DWORD size) {
    if (path == nullptr && size != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return host::Guarded<DWORD>(0, [&]() -> DWORD {
        std::u16string name;
        if (module == nullptr) {
            // The process that hosts the drivers is the spooler.
            name = host::SystemDirectory() + u"\\spoolsv.exe";
        } else {
            std::lock_guard guard(host::Table().lock);
            const host::LoadedModule* loaded = host::FindByHandle(module);
            if (loaded == nullptr) {
                SetLastError(ERROR_MOD_NOT_FOUND);
                return 0;
            }
            name = loaded->platformPath;
        }
        if (size == 0) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        if (name.size() < size) {
            name.copy(path, name.size());
            path[name.size()] = u'\0';
            return static_cast<DWORD>(name.size());
        }
        name.copy(path, size - 1);
        path[size - 1] = u'\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    });
}
