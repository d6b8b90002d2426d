// What the language monitor's tests share: the monitor's table from InitializePrintMonitor over the
// fake port monitor, a printer with its settings record, jobs in the spooler's queue, VerticalDotCount,
// and a way to run the port's status worker pass by pass on the test clock.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "fake_port_monitor.h"
#include "host_fixture.h"
#include "monitor_state.h"
#include "platform.h"
#include "port_record.h"
#include "printer_settings_record.h"

extern "C" LPMONITOREX WINAPI InitializePrintMonitor(LPWSTR pRegistryRoot);

inline const std::u16string kPrinter = u"VELT K9x";
inline const std::u16string kMonitorRoot = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\VELT Monitor";

class MonitorTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        FakePortMonitor::Reset();
        lmon::ResetMonitorState();
        std::u16string root = kMonitorRoot;
        LPMONITOREX table = InitializePrintMonitor(root.data());
        ASSERT_NE(table, nullptr);
        monitor = &table->Monitor;
        printer = AddTestPrinter(kPrinter, u"VELT", u"USB001");
        ASSERT_NE(printer, nullptr);
    }

    void TearDown() override {
        for (HANDLE port : openPorts) monitor->pfnClosePort(port);
        openPorts.clear();
        for (HANDLE each : jobPrinters) AbortPrinter(each), ClosePrinter(each);
        ClosePrinter(printer);
        HostTest::TearDown();
    }

    // ---- Set-up of the printer and the machine ----

    void StoreColorSetting(SHORT colorSetting) {
        PRINTER_SETTINGS_RECORD record = DefaultSettingsRecord();
        record.psColorSetting = colorSetting;
        ASSERT_TRUE(WriteSettingsRecord(printer, &record));
    }
    static void StoreCalvixValue(const std::u16string& name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Calvix", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static void StoreVerticalDotCount(DWORD rows) { StoreCalvixValue(u"VerticalDotCount", REG_DWORD, &rows, 4); }

    // ---- Jobs ----

    // A job in the printer's queue, still being spooled (through a printer handle of its own: one
    // document at a time per handle).
    DWORD QueueJob(const std::u16string& document = u"receipt") {
        std::u16string doc = document, name = kPrinter;
        DOC_INFO_1W info{doc.data(), nullptr, nullptr};
        PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
        HANDLE spooling = nullptr;
        EXPECT_TRUE(OpenPrinterW(name.data(), &spooling, &defaults));
        jobPrinters.push_back(spooling);
        const DWORD id = StartDocPrinterW(spooling, 1, reinterpret_cast<LPBYTE>(&info));
        EXPECT_NE(id, 0u);
        return id;
    }
    void CancelJob(DWORD id) { ASSERT_TRUE(SetJobW(printer, id, 0, nullptr, JOB_CONTROL_DELETE)); }
    HostJobRecord Job(DWORD id) {
        for (const auto& job : HostJobs(kPrinter.c_str()))
            if (job.id == id) return job;
        return {};
    }
    DWORD PrinterStatus() {
        PRINTER_INFO_6 info{};
        DWORD needed = 0;
        EXPECT_TRUE(GetPrinterW(printer, 6, reinterpret_cast<LPBYTE>(&info), sizeof info, &needed));
        return info.dwStatus;
    }

    // ---- Ports through the monitor ----

    // Opens a port through the monitor and waits until its worker has made its first poll and waits.
    HANDLE OpenPort(const std::u16string& name = u"USB001") {
        std::u16string port = name, printerName = kPrinter;
        HANDLE handle = nullptr;
        EXPECT_TRUE(monitor->pfnOpenPortEx(port.data(), printerName.data(), &handle,
                                           const_cast<MONITOR*>(&FakePortMonitor::Table())));
        if (!handle) return nullptr;
        openPorts.push_back(handle);
        WaitUntil([&] { return Record(handle)->workerWaiting.load() != 0; });
        return handle;
    }
    void Close(HANDLE port) {
        EXPECT_TRUE(monitor->pfnClosePort(port));
        std::erase(openPorts, port);
    }
    static lmon::PortRecord* Record(HANDLE port) { return static_cast<lmon::PortRecord*>(port); }

    BOOL StartDoc(HANDLE port, DWORD jobId, const std::u16string& printerName = kPrinter) {
        std::u16string name = printerName, doc = u"receipt";
        DOC_INFO_1W info{doc.data(), nullptr, nullptr};
        return monitor->pfnStartDocPort(port, name.data(), jobId, 1, reinterpret_cast<LPBYTE>(&info));
    }
    BOOL Write(HANDLE port, std::vector<uint8_t> bytes, DWORD* written = nullptr) {
        DWORD taken = 0;
        const BOOL done = monitor->pfnWritePort(port, bytes.data(), static_cast<DWORD>(bytes.size()), &taken);
        if (written) *written = taken;
        return done;
    }

    // The job ids of the port's records, newest first, and their flags.
    static std::vector<DWORD> HeldJobs(HANDLE port) {
        lmon::MonitorLock lock;
        std::vector<DWORD> ids;
        for (auto* job = Record(port)->jobs; job; job = job->next) ids.push_back(job->jobId);
        return ids;
    }
    static DWORD NewestJobFlags(HANDLE port) {
        lmon::MonitorLock lock;
        return Record(port)->jobs ? Record(port)->jobs->flags : 0;
    }

    // ---- The worker on the test clock ----

    // Waits (in real time, at most two seconds) until `done` holds.
    static bool WaitUntil(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return true;
    }

    // Lets the worker's wait run out on the test clock and waits for the pass to end.
    static void RunWorkerPass(HANDLE port) {
        lmon::PortRecord* record = Record(port);
        const DWORD before = record->workerPasses.load();
        ASSERT_TRUE(WaitUntil([&] {
            if (record->workerPasses.load() != before) return true;
            if (record->workerWaiting.load()) {
                // A worker that was woken a moment ago may not have left its wait yet: give it its turn.
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                if (record->workerPasses.load() != before || !record->workerWaiting.load()) return false;
                const LONG left = static_cast<LONG>(record->workerWaitEnd.load() - GetTickCount());
                HostAdvanceClock(left > 0 ? static_cast<DWORD>(left) : 100);
            }
            return false;
        })) << "the worker did not finish a pass";
        ASSERT_TRUE(WaitUntil([&] { return record->workerWaiting.load() != 0; }));
    }

    // Runs passes until `done` holds (at most `passes` of them); whether it came to hold.
    static bool RunWorkerUntil(HANDLE port, const std::function<bool()>& done, int passes = 100) {
        for (int i = 0; i < passes && !done(); ++i) {
            RunWorkerPass(port);
            if (::testing::Test::HasFatalFailure()) return false;
        }
        return done();
    }

    MONITOR* monitor = nullptr;
    HANDLE printer = nullptr;
    std::vector<HANDLE> openPorts;
    std::vector<HANDLE> jobPrinters;
};

// Bytes from a list of values.
inline std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> bytes;
    for (int v : values) bytes.push_back(static_cast<uint8_t>(v));
    return bytes;
}

inline std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
