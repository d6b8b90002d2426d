// File attributes and times in the platform's terms.
#pragma once

#include <sys/stat.h>

#include "host/kernel.h"

namespace host {

// Folders are FILE_ATTRIBUTE_DIRECTORY; files are FILE_ATTRIBUTE_ARCHIVE, as newly written files are
// on the platform; a file without the owner's write bit is also FILE_ATTRIBUTE_READONLY.
DWORD AttributesOf(const struct stat& st);
// 100-nanosecond intervals since 1601-01-01.
FILETIME FileTimeOf(const struct timespec& time);

} // namespace host
