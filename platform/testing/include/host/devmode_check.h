// The check the host makes wherever a device mode enters from outside (a job's record, a printer's
// default, a caller's input), before any driver sees it.
#pragma once

#include <cstddef>

#include <windef.h>

extern "C" {

// TRUE when the bytes given hold the record's fields through dmDriverExtra, its dmSize reaches at least
// that far, and dmSize + dmDriverExtra does not exceed the bytes given. A record's own size fields are
// never trusted beyond the bytes actually given.
BOOL HostIsValidDevmode(const void* record, size_t bytesGiven);

} // extern "C"
