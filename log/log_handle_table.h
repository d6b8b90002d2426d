// What a caller's file handle stands for once VLK_LogWrite has replaced its file.
//
// A write that rotates the file closes the caller's handle and goes on through a handle of its own to the
// new current file, while the caller keeps its old handle value for further writes and VKL_LogFileClose.
// After that close the host may give the same value to another object, so the old value is never passed
// to CloseHandle again: the table maps it to the replacement (or to none while the replacement is still
// being opened, or when that failed), and writes and the close go to the replacement.
#pragma once

#include "platform.h"

namespace velt::log {

// The open file behind a caller's handle: the handle itself, its replacement, or null when the file was
// closed and nothing replaced it.
HANDLE ResolveCallerHandle(HANDLE caller);

// Closes the file behind the caller's handle and marks the handle retired. False, with nothing closed,
// when the table has no room for the handle and can't grow.
bool RetireCallerHandle(HANDLE caller);

// Hands a newly opened file to a retired caller's handle; the table owns it from now on.
void SetReplacement(HANDLE caller, HANDLE replacement);

// True while `value` is a retired caller's handle awaiting its close: a new handle of that value would be
// taken for the old one.
bool IsRetiredCallerHandle(HANDLE value);

// Closes whatever the caller's handle stands for and forgets it. True if a file was closed or the
// handle's file had been closed on its behalf.
bool CloseCallerHandle(HANDLE caller);

// Closes every replacement and empties the table.
void ClearHandleTable();

} // namespace velt::log
