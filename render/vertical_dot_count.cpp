// Reading VerticalDotCount from the registry.
#include "vertical_dot_count.h"

#include "platform_owners.h"

bool ReadVerticalDotCount(DWORD* count) {
    const velt::RegistryKey key = velt::OpenRegistryKey(HKEY_LOCAL_MACHINE, TEXT("SOFTWARE\\Calvix"), KEY_READ);
    if (!key) {
        return false;
    }
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key.get(), TEXT("VerticalDotCount"), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    *count = value;
    return true;
}
