// How platform paths land on the Linux file system.
//  - Backslashes and slashes both separate path elements.
//  - A drive path "X:\a\b" maps to $VELT_HOME/drives/x/a/b; its elements match existing files and
//    folders without regard to case, as on the platform ("C:\LOGS" finds .../drives/c/Logs).
//  - A path that starts with '/' is a Linux path and is used as it is (backslashes become slashes).
//  - A path that starts with one backslash is on drive C:; "\\server\share\..." maps to
//    $VELT_HOME/unc/server/share/...; any other path is relative to the current folder.
// $VELT_HOME defaults to $XDG_DATA_HOME/velt, else ~/.local/share/velt.
#pragma once

#include <string>

// The host's home folder (Linux path, no trailing slash).
std::string HostHomeFolder();
// The Linux path that a platform path maps to.
std::string HostLinuxPath(const char16_t* platformPath);
