// Internal to the host: where the platform's module paths lead on Linux, and the resources of the
// modules that LoadLibraryW holds.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/elf_sections.h"
#include "host/resource_format.h"
#include <windef.h>

namespace host {

// ---- Module paths -------------------------------------------------------------------------------

// "C:\WINDOWS\system32", and the printer driver folder below it ("...\spool\drivers\w32x86\3\").
std::u16string SystemDirectory();
std::u16string DriverDirectory();

struct ModuleLocation {
    std::u16string platformPath; // the full platform path the module is known by
    std::string linuxPath;       // the shared object that plays it
};

// A bare module name ("VELT", "VELTrc.dll") or a file in the system or driver folder maps to NAME.so in
// the host's module folder: $VELT_MODULE_DIR, else the folder of the platform library itself. Names
// match without regard to case, as on the platform. Answers nullopt when there is no such module.
std::optional<ModuleLocation> LocateModule(std::u16string_view platformPath);

// ---- Loaded modules' resources ------------------------------------------------------------------

// A module's resource section (the bytes of a .res file) and its index.
struct ResourceImage {
    std::vector<BYTE> bytes;
    std::vector<res::ResourceEntry> entries;
};

// The resources of a loaded module; null for a handle that names no loaded module or a module without
// a (well-formed) resource section. The image stays valid until the module's last FreeLibrary.
const ResourceImage* FindModuleResources(HMODULE module);

} // namespace host
