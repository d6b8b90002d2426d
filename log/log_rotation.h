// Rotation of a family's current file: zero fill to the full size, then a move to a time-stamped name.
#pragma once

#include "log_family.h"

namespace velt::log {

// Fills the open file with zero bytes up to exactly kFullFileSize; a file at or above that size is left
// as it is. Fails when the fill buffer can't be allocated or written.
bool FillToFullSize(HANDLE file);

// Copies the current file to its rotated name for the local time now (replacing a file of that name),
// then deletes the current file. A current file that no longer exists leaves nothing to rotate.
bool RotateCurrentFile(const LogFamily& family);

} // namespace velt::log
