// Reading VerticalDotCount from the registry.
#include "VerticalDotCount.h"

#include <memory>
#include <type_traits>

namespace {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using RegistryKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

} // namespace

bool ReadVerticalDotCount(DWORD* count) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, TEXT("SOFTWARE\\Calvix"), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return false;
    }
    RegistryKey key(opened);
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key.get(), TEXT("VerticalDotCount"), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS) {
        return false;
    }
    *count = value;
    return true;
}
