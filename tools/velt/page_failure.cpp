#include "page_failure.h"

#include "installation.h"

namespace velt {

std::string PageFailureCause() {
    const std::string where =
        "; it must be 1 to " + std::to_string(MAX_VERTICAL_DOT_COUNT) + " (HKLM\\SOFTWARE\\Calvix)";
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, CALVIX_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "VerticalDotCount is missing" + where;
    DWORD value = 0, type = 0, size = sizeof value;
    const LONG read = RegQueryValueExW(key, VERTICAL_DOT_COUNT, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS) return "VerticalDotCount is missing" + where;
    if (value == 0 || value > MAX_VERTICAL_DOT_COUNT) return "VerticalDotCount is " + std::to_string(value) + where;
    return {};
}

} // namespace velt
