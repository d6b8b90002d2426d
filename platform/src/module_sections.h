// Internal to the host: reading one section of a shared object file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/types.h"

namespace host {

// The bytes of the named section of an ELF file; empty when the file cannot be read, is not a
// well-formed 64-bit little-endian ELF file, or has no such section.
std::vector<BYTE> ReadElfSection(const std::string& file, std::string_view name);

} // namespace host
