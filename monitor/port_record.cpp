// Port and job records: allocation, release, and finding a record by its handle or its port name.
#include "port_record.h"

#include <new>

#include "monitor_state.h"

namespace lmon {

PortRecord* NewPortRecord() {
    void* block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(PortRecord));
    return block != nullptr ? new (block) PortRecord{} : nullptr;
}

void DeletePortRecord(PortRecord* port) {
    if (port == nullptr) {
        return;
    }
    port->signature = 0;
    port->~PortRecord();
    HeapFree(GetProcessHeap(), 0, port);
}

JobRecord* NewJobRecord(LPCWSTR printerName) {
    const int chars = lstrlenW(printerName) + 1;
    const size_t bytes = offsetof(JobRecord, inlineName) + static_cast<size_t>(chars) * sizeof(WCHAR);
    auto* job = static_cast<JobRecord*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
    if (job == nullptr) {
        return nullptr;
    }
    job->printerName = job->inlineName;
    lstrcpynW(job->inlineName, printerName, chars);
    return job;
}

void FreeJobRecord(JobRecord* job) {
    if (job == nullptr) {
        return;
    }
    if (job->printer != nullptr) {
        // A closed handle must not go on being used for the log lines.
        HANDLE expected = job->printer;
        Monitor().logPrinter.compare_exchange_strong(expected, nullptr);
        ClosePrinter(job->printer);
    }
    HeapFree(GetProcessHeap(), 0, job);
}

void FreeJobRecords(JobRecord* list) {
    while (list != nullptr) {
        JobRecord* next = list->next;
        FreeJobRecord(list);
        list = next;
    }
}

PortRecord* FindPortByHandle(HANDLE handle) {
    if (handle == nullptr) {
        return nullptr;
    }
    MonitorLock lock;
    for (PortRecord* port = Monitor().ports; port != nullptr; port = port->next) {
        if (port == handle) {
            return port->signature == PORT_RECORD_SIGNATURE ? port : nullptr;
        }
    }
    return nullptr;
}

PortRecord* FindPortByName(LPCWSTR name) {
    if (name == nullptr || name[0] == 0) {
        return nullptr;
    }
    MonitorLock lock;
    for (PortRecord* port = Monitor().ports; port != nullptr; port = port->next) {
        if (port->portName != nullptr && lstrcmpiW(port->portName, name) == 0) {
            return port;
        }
    }
    return nullptr;
}

PortCall::PortCall(HANDLE handle) {
    MonitorLock lock;
    PortRecord* port = FindPortByHandle(handle);
    if (port != nullptr && !port->closing.load()) {
        port->activeCalls.fetch_add(1);
        port_ = port;
    }
}

PortCall::~PortCall() {
    if (port_ != nullptr) {
        port_->activeCalls.fetch_sub(1);
    }
}

} // namespace lmon
