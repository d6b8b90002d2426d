// Many ports at once: 32 printers, each on its own USB port attached to its own virtual printer, all
// printing through a language monitor at the same time while the printers' status errors come and go.
// Every byte must arrive once, in order, on the right port: each job's port.bin holds the job's bytes
// (and the monitor's trailer, if it adds one), and each port's record holds its jobs one after another.
#include <atomic>
#include <random>
#include <thread>

#include "host_fixture.h"
#include "port_backend.h"
#include "virtual_port.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kPorts = 32;
constexpr int kJobsPerPort = 3;

// The monitors the road is tried with; a module the build does not have is skipped.
struct Road {
    const char16_t* module;
    Bytes trailer; // what the monitor adds at the end of each job
};

void PrintTo(const Road& road, std::ostream* out) { *out << HostNarrow(road.module); }

class PortLoadTest : public HostTest, public ::testing::WithParamInterface<Road> {
protected:
    static std::u16string Name(const char16_t* stem, int i) {
        return stem + HostWide(std::to_string(100 + i).substr(1));
    }
    static bool Loadable(const char16_t* module) {
        HMODULE loaded = LoadLibraryW(module);
        if (!loaded) return false;
        FreeLibrary(loaded);
        return true;
    }
};

Bytes JobBytes(int port, int job) {
    std::mt19937 random(static_cast<unsigned>(port * 1000 + job));
    Bytes bytes(6000 + static_cast<size_t>(random() % 20000));
    // Printable bytes only: commands the printer does not know, so that it skips them cheaply.
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(0x20 + random() % 0x5F);
    return bytes;
}

TEST_P(PortLoadTest, ThirtyTwoPortsPrintAtOnceAndEveryByteArrivesOnceInOrderOnItsPort) {
    const Road road = GetParam();
    if (!Loadable(road.module)) GTEST_SKIP() << HostNarrow(road.module) << " is not in this build";
    std::u16string monitor = u"Load Monitor", module = road.module, environment = u"Windows NT x86";
    MONITOR_INFO_2W monitorInfo{monitor.data(), environment.data(), module.data()};
    ASSERT_TRUE(AddMonitorW(nullptr, 2, reinterpret_cast<LPBYTE>(&monitorInfo)));
    std::u16string driver = u"Load Driver", path = u"VELT.dll";
    DRIVER_INFO_3W driverInfo{};
    driverInfo.pName = driver.data();
    driverInfo.pDriverPath = path.data();
    driverInfo.pMonitorName = monitor.data();
    ASSERT_TRUE(AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&driverInfo)));

    std::vector<std::shared_ptr<vprinter::VirtualPort>> printers;
    std::vector<HANDLE> handles;
    for (int i = 0; i < kPorts; ++i) {
        const auto folder = Folder() / "vprinter" / HostNarrow(Name(u"USB", i).c_str());
        ASSERT_TRUE(vprinter::AttachVirtualPrinter(Name(u"USB", i), folder));
        printers.push_back(vprinter::VirtualPortOf(folder));
        HANDLE printer = AddTestPrinter(Name(u"Load ", i), driver, Name(u"USB", i));
        ASSERT_NE(printer, nullptr);
        handles.push_back(printer);
    }

    std::atomic<int> printing{kPorts};
    std::vector<std::vector<DWORD>> ids(kPorts);
    std::vector<std::thread> threads;
    for (int i = 0; i < kPorts; ++i)
        threads.emplace_back([&, i] {
            for (int j = 0; j < kJobsPerPort; ++j) {
                const Bytes data = JobBytes(i, j);
                std::u16string document = u"load";
                DOC_INFO_1W info{document.data(), nullptr, nullptr};
                const DWORD id = StartDocPrinterW(handles[i], 1, reinterpret_cast<LPBYTE>(&info));
                DWORD written = 0;
                // Written in two pieces, as a driver writes its commands.
                const DWORD half = static_cast<DWORD>(data.size() / 2);
                const bool ok = id && WritePrinter(handles[i], const_cast<uint8_t*>(data.data()), half, &written) &&
                                WritePrinter(handles[i], const_cast<uint8_t*>(data.data()) + half,
                                             static_cast<DWORD>(data.size()) - half, &written) &&
                                EndDocPrinter(handles[i]);
                ids[i].push_back(ok ? id : 0);
            }
            --printing;
        });
    // Paper runs out and comes back on the printers while they print; the monitor's waits run on the
    // test clock, which moves on here.
    std::mt19937 random(7);
    while (printing.load() > 0) {
        for (int flips = 0; flips < 4; ++flips) {
            auto& port = printers[random() % kPorts];
            vprinter::PrinterState state = port->State();
            state.paperOut = !state.paperOut;
            port->SetState(state);
        }
        HostAdvanceClock(1000);
        for (auto& port : printers) {
            if (random() % 3 != 0) continue;
            vprinter::PrinterState state = port->State();
            state.paperOut = false;
            port->SetState(state);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    for (std::thread& t : threads) t.join();

    std::set<DWORD> seen;
    for (int i = 0; i < kPorts; ++i) {
        SCOPED_TRACE(HostNarrow(Name(u"USB", i).c_str()));
        Bytes all;
        for (int j = 0; j < kJobsPerPort; ++j) {
            ASSERT_NE(ids[i][j], 0u);
            EXPECT_TRUE(seen.insert(ids[i][j]).second) << "job id " << ids[i][j] << " given twice";
            // The job's bytes, then the monitor's trailer; a job the monitor started before the port's
            // status worker had first run gets no trailer, as the monitor does.
            const Bytes data = JobBytes(i, j);
            Bytes expected = data;
            expected.insert(expected.end(), road.trailer.begin(), road.trailer.end());
            const auto portBin = printers[i]->Folder() / ("job-" + std::to_string(ids[i][j])) / "port.bin";
            const Bytes got = ReadBytes(portBin);
            EXPECT_TRUE(got == expected || (j == 0 && got == data)) << portBin;
            all.insert(all.end(), got.begin(), got.end());
        }
        EXPECT_EQ(HostPortBytes(Name(u"USB", i).c_str()), all);
    }
    for (HANDLE printer : handles) ClosePrinter(printer);
}

INSTANTIATE_TEST_SUITE_P(Monitors, PortLoadTest,
                         ::testing::Values(Road{u"TestLanguageMonitor.dll", {}}, Road{u"VELTlmon.dll", {0x1B, 0x40}}),
                         [](const auto& info) { return info.index == 0 ? "PassThrough" : "VELTlmon"; });

} // namespace
