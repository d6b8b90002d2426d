// Internal to the host: the resources of the modules that LoadLibraryW holds.
#pragma once

#include <vector>

#include "host/resource_format.h"
#include "host/types.h"

namespace host {

// A module's resource section (the bytes of a .res file) and its index.
struct ResourceImage {
    std::vector<BYTE> bytes;
    std::vector<res::ResourceEntry> entries;
};

// The resources of a loaded module; null for a handle that names no loaded module or a module without
// a (well-formed) resource section. The image stays valid until the module's last FreeLibrary.
const ResourceImage* FindModuleResources(HMODULE module);

} // namespace host
