#include "portmon/internal.h"

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "host/testing.h"
#include "kernel/internal.h"

namespace host {

namespace {

struct PortRecords {
    std::mutex lock;
    std::map<std::u16string, std::vector<uint8_t>> bytes; // by folded port name
    std::set<std::u16string> stalled;
};

PortRecords& Records() {
    static auto* records = new PortRecords;
    return *records;
}

} // namespace

void RecordPortBytes(std::u16string_view port, const BYTE* data, size_t size) {
    PortRecords& r = Records();
    std::lock_guard guard(r.lock);
    auto& kept = r.bytes[FoldCase(port)];
    kept.insert(kept.end(), data, data + size);
}

bool PortStalled(std::u16string_view port) {
    PortRecords& r = Records();
    std::lock_guard guard(r.lock);
    return r.stalled.count(FoldCase(port)) != 0;
}

void ResetPortRecords() {
    PortRecords& r = Records();
    std::lock_guard guard(r.lock);
    r.bytes.clear();
    r.stalled.clear();
}

} // namespace host

std::vector<uint8_t> HostPortBytes(const char16_t* portName) {
    host::PortRecords& r = host::Records();
    std::lock_guard guard(r.lock);
    auto it = r.bytes.find(host::FoldCase(host::View(portName)));
    return it == r.bytes.end() ? std::vector<uint8_t>() : it->second;
}

extern "C" {

void HostClearPortBytes(void) {
    host::Guarded([&] {
        host::PortRecords& r = host::Records();
        std::lock_guard guard(r.lock);
        r.bytes.clear();
    });
}

void HostStallPort(LPCWSTR portName, BOOL stalled) {
    host::Guarded([&] {
        host::PortRecords& r = host::Records();
        std::lock_guard guard(r.lock);
        if (stalled)
            r.stalled.insert(host::FoldCase(host::View(portName)));
        else
            r.stalled.erase(host::FoldCase(host::View(portName)));
    });
}

} // extern "C"
