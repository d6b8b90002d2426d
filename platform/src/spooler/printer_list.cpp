// EnumPrintersW: the spooler's local printers, level 4.
#include "kernel/internal.h"
#include "platform.h"
#include "spooler/internal.h"
#include "store/internal.h"

extern "C" BOOL EnumPrintersW(DWORD, LPWSTR, DWORD level, LPBYTE printers, DWORD size, LPDWORD needed,
                              LPDWORD returned) {
    return host::Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (needed) *needed = 0;
        if (returned) *returned = 0;
        if (level != 4) {
            SetLastError(ERROR_INVALID_LEVEL);
            return FALSE;
        }
        if (!needed || !returned) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        std::vector<std::pair<std::u16string, DWORD>> found;
        {
            std::lock_guard guard(host::StoreLock());
            host::Statement s("SELECT name, attributes FROM printers ORDER BY name_fold");
            while (s.Step()) found.emplace_back(s.Text(0), static_cast<DWORD>(s.Int(1)));
        }
        host::InfoPacker packer(sizeof(PRINTER_INFO_4W) * found.size());
        std::vector<size_t> names;
        for (const auto& [name, attributes] : found) names.push_back(packer.AddString(name));
        *needed = static_cast<DWORD>(packer.Needed());
        if (found.empty()) return TRUE;
        if (!printers || size < packer.Needed()) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        packer.CopyInto(printers);
        for (size_t i = 0; i < found.size(); ++i) {
            auto* info = reinterpret_cast<PRINTER_INFO_4W*>(printers) + i;
            *info = PRINTER_INFO_4W{host::InfoPacker::At<WCHAR>(printers, names[i]), nullptr, found[i].second};
        }
        *returned = static_cast<DWORD>(found.size());
        return TRUE;
    });
}
