// Shared pieces of the spooler tests: printing a document in one go, and a port backend that
// records every call it gets.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "host_fixture.h"

// Starts a document, writes each chunk on its own page, ends it. Returns the job id (0 on failure).
inline DWORD PrintDocument(HANDLE printer, const std::u16string& name, const std::vector<std::string>& pages) {
    std::u16string document = name;
    DOC_INFO_1W info{document.data(), nullptr, nullptr};
    const DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
    if (!job) return 0;
    for (const auto& page : pages) {
        DWORD written = 0;
        if (!StartPagePrinter(printer) ||
            !WritePrinter(printer, const_cast<char*>(page.data()), static_cast<DWORD>(page.size()), &written) ||
            written != page.size() || !EndPagePrinter(printer))
            return 0;
    }
    return EndDocPrinter(printer) ? job : 0;
}

inline std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A port backend for "REC:" ports. It takes at most takePerWrite bytes per WritePort.
struct RecordingBackend {
    static RecordingBackend& Get() {
        static RecordingBackend backend;
        return backend;
    }
    std::mutex lock;
    std::vector<std::string> calls;
    std::string bytes;
    DWORD takePerWrite = 0xFFFFFFFF;
    // Runs inside WritePort once, before taking bytes (to act while a job is on its way).
    void (*duringWrite)() = nullptr;

    void Reset() {
        std::lock_guard guard(lock);
        calls.clear();
        bytes.clear();
        takePerWrite = 0xFFFFFFFF;
        duringWrite = nullptr;
    }
    void Call(std::string text) {
        std::lock_guard guard(lock);
        calls.push_back(std::move(text));
    }

    static BOOL WINAPI OpenPort(LPWSTR name, PHANDLE handle) {
        Get().Call("OpenPort " + HostNarrow(name));
        *handle = reinterpret_cast<HANDLE>(0x5150);
        return TRUE;
    }
    static BOOL WINAPI StartDocPort(HANDLE, LPWSTR printer, DWORD jobId, DWORD level, LPBYTE info) {
        const auto* doc = reinterpret_cast<DOC_INFO_1W*>(info);
        Get().Call("StartDocPort " + HostNarrow(printer) + " job " + std::to_string(jobId) + " level " +
                   std::to_string(level) + " " + HostNarrow(doc->pDocName));
        return TRUE;
    }
    static BOOL WINAPI WritePort(HANDLE, LPBYTE data, DWORD size, LPDWORD written) {
        RecordingBackend& b = Get();
        if (auto hook = std::exchange(b.duringWrite, nullptr)) hook();
        std::lock_guard guard(b.lock);
        const DWORD take = std::min(size, b.takePerWrite);
        b.bytes.append(reinterpret_cast<const char*>(data), take);
        *written = take;
        return TRUE;
    }
    static BOOL WINAPI EndDocPort(HANDLE) {
        Get().Call("EndDocPort");
        return TRUE;
    }
    static BOOL WINAPI ClosePort(HANDLE) {
        Get().Call("ClosePort");
        return TRUE;
    }
    static BOOL WINAPI GetPrinterDataFromPort(HANDLE, DWORD control, LPWSTR, LPWSTR, DWORD, LPWSTR out, DWORD outSize,
                                              LPDWORD returned) {
        if (control != IOCTL_USBPRINT_VENDOR_GET_COMMAND || outSize < 1) return FALSE;
        reinterpret_cast<BYTE*>(out)[0] = 0x12;
        *returned = 1;
        return TRUE;
    }
    static const MONITOR* Table() {
        static const MONITOR table = {
            nullptr, OpenPort, nullptr, StartDocPort,           WritePort, nullptr, EndDocPort, ClosePort, nullptr,
            nullptr, nullptr,  nullptr, GetPrinterDataFromPort, nullptr,   nullptr, nullptr,    nullptr};
        return &table;
    }
};

class SpoolerTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        RecordingBackend::Get().Reset();
        ASSERT_TRUE(HostRegisterPortBackend(u"REC:", RecordingBackend::Table()));
    }
    void TearDown() override {
        HostRegisterPortBackend(u"REC:", nullptr);
        HostTest::TearDown();
    }
    static HostJobRecord OnlyJob(const std::u16string& printer) {
        const auto jobs = HostJobs(printer.c_str());
        EXPECT_EQ(jobs.size(), 1u);
        return jobs.empty() ? HostJobRecord{} : jobs.front();
    }
};
