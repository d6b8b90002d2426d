// The file names and header line of each log module's family.
#pragma once

#include "VELTlog.h"

namespace velt::log {

struct LogModuleNames {
    const char* currentName;   // "\VELTPD.log": the file being written
    const char* familyPattern; // "\VELTPD*.log": every file of the family, the current one included
    const char* rotatedPrefix; // "\VELTPD": followed by the rotation time and ".log"
    const char* rotatedSample; // a rotated name of the usual length, to check that the folder leaves room
    const char* headerLine;    // written with its terminating zero byte
    DWORD headerAllowance;     // header bytes counted in the fullness test (the version line is not)
};

// The names of a module, or null for a value outside the interface.
const LogModuleNames* NamesOfModule(LOG_MODULE module);

} // namespace velt::log
