// Last-error codes for failed Linux file operations, as the platform would answer them.
#pragma once

#include <string>

#include "host/types.h"

namespace host {

DWORD ErrorFromErrno(int error);
// For a path that does not exist: ERROR_FILE_NOT_FOUND when its folder exists, else ERROR_PATH_NOT_FOUND.
DWORD MissingPathError(const std::string& linuxPath);

} // namespace host
