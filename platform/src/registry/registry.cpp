// The registry under HKEY_LOCAL_MACHINE, kept in the store. Key paths are backslash-separated and
// compared without regard to case; a key handle carries the access it was opened with.
#include <winreg.h>

#include <cstring>

#include "kernel/internal.h"
#include "store/internal.h"

namespace {

class RegistryKey : public host::HostObject {
public:
    RegistryKey(std::u16string path, REGSAM access)
        : HostObject(host::HandleKind::RegistryKey), path(std::move(path)), fold(host::FoldCase(this->path)),
          access(access) {}
    const std::u16string path; // "" is HKEY_LOCAL_MACHINE itself
    const std::u16string fold;
    const REGSAM access;
};

bool IsRoot(HKEY key) { return key == HKEY_LOCAL_MACHINE; }

// The key a handle stands for, or null (the root stands for itself with every right).
std::shared_ptr<RegistryKey> KeyOf(HKEY key) {
    if (IsRoot(key)) return std::make_shared<RegistryKey>(u"", KEY_ALL_ACCESS);
    return host::FindHandleOf<RegistryKey>(reinterpret_cast<HANDLE>(key), host::HandleKind::RegistryKey);
}

// Lock held.
bool KeyExists(const std::u16string& fold) {
    if (fold.empty()) return true;
    host::Statement s("SELECT 1 FROM registry_keys WHERE path_fold = ?");
    s.Bind(1, fold);
    return s.Step();
}

// The path below parent, elements separated by single backslashes.
std::u16string JoinPath(const std::u16string& parent, LPCWSTR subKey) {
    std::u16string path = parent;
    std::u16string element;
    auto flush = [&] {
        if (element.empty()) return;
        if (!path.empty()) path += u'\\';
        path += element;
        element.clear();
    };
    for (char16_t c : host::View(subKey)) {
        if (c == u'\\')
            flush();
        else
            element.push_back(c);
    }
    flush();
    return path;
}

// Keys with the given folded path as prefix followed by a backslash lie between "prefix\" and "prefix]".
bool HasSubkeys(const std::u16string& fold) {
    host::Statement s(fold.empty() ? "SELECT 1 FROM registry_keys LIMIT 1"
                                   : "SELECT 1 FROM registry_keys WHERE path_fold > ? AND path_fold < ? LIMIT 1");
    if (!fold.empty()) s.Bind(1, fold + u"\\").Bind(2, fold + u"]");
    return s.Step();
}

HKEY NewHandle(std::u16string path, REGSAM access) {
    return reinterpret_cast<HKEY>(host::AddHandle(std::make_shared<RegistryKey>(std::move(path), access)));
}

} // namespace

extern "C" {

LONG RegCreateKeyExW(HKEY parent, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM access, LPSECURITY_ATTRIBUTES,
                     PHKEY result, LPDWORD disposition) {
    return host::GuardedCode([&]() -> LONG {
        if (!result) return ERROR_INVALID_PARAMETER;
        *result = nullptr;
        auto base = KeyOf(parent);
        if (!base) return ERROR_INVALID_HANDLE;
        const std::u16string path = JoinPath(base->path, subKey);
        std::lock_guard guard(host::StoreLock());
        if (!KeyExists(base->fold)) return ERROR_KEY_DELETED;
        const std::u16string fold = host::FoldCase(path);
        const bool existed = KeyExists(fold);
        if (!existed) {
            // Creation is checked against the key's own security, not the parent handle's access, so
            // a handle opened for reading may create subkeys; the host's keys allow it to everyone.
            // Every missing key on the way is created with it, in one transaction.
            host::Transaction transaction;
            for (size_t at = base->path.size() + 1; at <= path.size(); ++at) {
                if (at != path.size() && path[at] != u'\\') continue;
                host::Statement s("INSERT OR IGNORE INTO registry_keys(path_fold, path) VALUES(?, ?)");
                s.Bind(1, host::FoldCase(path.substr(0, at))).Bind(2, path.substr(0, at)).Run();
            }
            transaction.Commit();
        }
        *result = NewHandle(path, access);
        if (disposition) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
        return ERROR_SUCCESS;
    });
}

LONG RegOpenKeyExW(HKEY parent, LPCWSTR subKey, DWORD, REGSAM access, PHKEY result) {
    return host::GuardedCode([&]() -> LONG {
        if (!result) return ERROR_INVALID_PARAMETER;
        *result = nullptr;
        auto base = KeyOf(parent);
        if (!base) return ERROR_INVALID_HANDLE;
        const std::u16string path = JoinPath(base->path, subKey);
        std::lock_guard guard(host::StoreLock());
        if (!KeyExists(host::FoldCase(path))) return KeyExists(base->fold) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
        *result = NewHandle(path, access);
        return ERROR_SUCCESS;
    });
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD cbData) {
    return host::GuardedCode([&]() -> LONG {
        if (reserved || (data && !cbData)) return ERROR_INVALID_PARAMETER;
        auto k = KeyOf(key);
        if (!k) return ERROR_INVALID_HANDLE;
        if (!(k->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
        std::lock_guard guard(host::StoreLock());
        if (!KeyExists(k->fold)) return ERROR_KEY_DELETED;
        host::Statement s("SELECT type, data FROM registry_values WHERE key_fold = ? AND name_fold = ?");
        s.Bind(1, k->fold).Bind(2, host::FoldCase(host::View(name)));
        if (!s.Step()) return ERROR_FILE_NOT_FOUND;
        const auto bytes = s.Blob(1);
        if (type) *type = static_cast<DWORD>(s.Int(0));
        if (!cbData) return ERROR_SUCCESS;
        const auto size = static_cast<DWORD>(bytes.size());
        const DWORD room = *cbData;
        *cbData = size;
        if (!data) return ERROR_SUCCESS; // a size query
        if (room < size) return ERROR_MORE_DATA;
        if (size) std::memcpy(data, bytes.data(), size);
        return ERROR_SUCCESS;
    });
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD cbData) {
    return host::GuardedCode([&]() -> LONG {
        if (reserved || (cbData && !data)) return ERROR_INVALID_PARAMETER;
        auto k = KeyOf(key);
        if (!k) return ERROR_INVALID_HANDLE;
        if (!(k->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
        std::lock_guard guard(host::StoreLock());
        if (!KeyExists(k->fold)) return ERROR_KEY_DELETED;
        const std::u16string_view n = host::View(name);
        host::Statement s("INSERT OR REPLACE INTO registry_values(key_fold, name_fold, name, type, data) "
                          "VALUES(?, ?, ?, ?, ?)");
        s.Bind(1, k->fold).Bind(2, host::FoldCase(n)).Bind(3, n).Bind(4, type).BindBlob(5, data, cbData).Run();
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name) {
    return host::GuardedCode([&]() -> LONG {
        auto k = KeyOf(key);
        if (!k) return ERROR_INVALID_HANDLE;
        if (!(k->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
        std::lock_guard guard(host::StoreLock());
        if (!KeyExists(k->fold)) return ERROR_KEY_DELETED;
        host::Statement s("DELETE FROM registry_values WHERE key_fold = ? AND name_fold = ?");
        s.Bind(1, k->fold).Bind(2, host::FoldCase(host::View(name))).Run();
        return host::ChangedRows() ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LONG RegDeleteKeyW(HKEY parent, LPCWSTR subKey) {
    return host::GuardedCode([&]() -> LONG {
        auto base = KeyOf(parent);
        if (!base) return ERROR_INVALID_HANDLE;
        const std::u16string path = JoinPath(base->path, subKey);
        if (path.size() == base->path.size()) return ERROR_ACCESS_DENIED; // no key named below the parent
        const std::u16string fold = host::FoldCase(path);
        std::lock_guard guard(host::StoreLock());
        if (!KeyExists(fold)) return ERROR_FILE_NOT_FOUND;
        if (HasSubkeys(fold)) return ERROR_ACCESS_DENIED;
        host::Transaction transaction;
        host::Statement(("DELETE FROM registry_values WHERE key_fold = ?")).Bind(1, fold).Run();
        host::Statement(("DELETE FROM registry_keys WHERE path_fold = ?")).Bind(1, fold).Run();
        transaction.Commit();
        return ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY key) {
    return host::GuardedCode([&]() -> LONG {
        if (IsRoot(key)) return ERROR_SUCCESS;
        return host::RemoveHandle(reinterpret_cast<HANDLE>(key), host::HandleKind::RegistryKey) ? ERROR_SUCCESS
                                                                                                : ERROR_INVALID_HANDLE;
    });
}

} // extern "C"
