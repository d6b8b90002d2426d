// The host's reader of shared object sections, where LoadLibraryW finds a module's resources; tests
// read a built module's sections with it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <windef.h>

namespace host {

// The bytes of the named section of an ELF file; empty when the file cannot be read, is not a
// well-formed 64-bit little-endian ELF file, or has no such section.
std::vector<BYTE> ReadElfSection(const std::string& file, std::string_view name);

} // namespace host
