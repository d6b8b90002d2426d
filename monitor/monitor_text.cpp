// Loading VELTrc and its texts.
#include "monitor_text.h"

#include "monitor_state.h"

namespace lmon {

namespace {

constexpr SHORT kMostUses = 0x7FFF;

HMODULE LoadResourceLibrary() {
    WCHAR path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    LPCWSTR tail = TEXT("\\spool\\drivers\\w32x86\\3\\VELTrc.dll");
    if (length == 0 || length + lstrlenW(tail) >= MAX_PATH) {
        return nullptr;
    }
    lstrcatW(path, tail);
    return LoadLibraryW(path);
}

} // namespace

void AcquireMonitorResources() {
    MonitorState& m = Monitor();
    MonitorLock lock;
    if (m.resources == nullptr) {
        m.resources = LoadResourceLibrary();
        if (m.resources == nullptr) {
            return;
        }
    }
    if (m.resourceUses < kMostUses) { // a 16-bit count never wraps to negative
        ++m.resourceUses;
    }
}

void ReleaseMonitorResources() {
    MonitorState& m = Monitor();
    MonitorLock lock;
    if (m.resourceUses <= 0) {
        return;
    }
    if (--m.resourceUses == 0 && m.resources != nullptr) {
        FreeLibrary(m.resources);
        m.resources = nullptr;
    }
}

LPCWSTR LoadMonitorText(UINT id) {
    MonitorState& m = Monitor();
    if (LoadStringW(m.resources, id, m.text, MONITOR_TEXT_CHARS) <= 0) {
        m.text[0] = 0;
    }
    return m.text;
}

void AppendMonitorText(UINT id, WCHAR* out, int chars) {
    MonitorLock lock;
    LPCWSTR text = LoadMonitorText(id);
    const int used = lstrlenW(out);
    if (used < chars - 1) {
        lstrcpynW(out + used, text, chars - used);
    }
}

SHORT MonitorResourceUses() {
    MonitorLock lock;
    return Monitor().resourceUses;
}

BOOL MonitorResourcesLoaded() {
    MonitorLock lock;
    return Monitor().resources != nullptr ? TRUE : FALSE;
}

} // namespace lmon
