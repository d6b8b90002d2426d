// Several ports at once: jobs written on all of them from their own threads while each printer's
// status goes in and out of error, the test clock running. Every byte arrives once, in order, on its
// own port, followed by the trailer; and every writer held by an error goes on once it clears.
#include <atomic>
#include <random>

#include "lmon_fixture.h"

namespace {

class ConcurrentPortsTest : public MonitorTest {};

struct LoadCase {
    const char* name;
    int ports;
    size_t bytes;
    size_t piece;
};

class PortLoadTest : public ConcurrentPortsTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(PortLoadTest, EveryByteOnceInOrderOnItsPort) {
    const LoadCase& c = GetParam();
    std::vector<std::u16string> names;
    std::vector<HANDLE> ports;
    std::vector<DWORD> jobs;
    for (int i = 0; i < c.ports; ++i) {
        names.push_back(u"USB" + HostWide(std::to_string(100 + i)));
        ports.push_back(OpenPort(names.back()));
        ASSERT_NE(ports.back(), nullptr);
        jobs.push_back(QueueJob());
    }
    std::vector<std::vector<uint8_t>> data(c.ports);
    for (int i = 0; i < c.ports; ++i) {
        data[i].resize(c.bytes);
        for (size_t k = 0; k < c.bytes; ++k) data[i][k] = static_cast<uint8_t>(i * 31 + k * 7 + (k >> 8));
    }

    std::atomic<int> finished{0};
    std::vector<std::thread> writers;
    for (int i = 0; i < c.ports; ++i) {
        writers.emplace_back([&, i] {
            EXPECT_TRUE(StartDoc(ports[i], jobs[i]));
            for (size_t done = 0; done < c.bytes;) {
                const size_t piece = std::min(c.piece + (done % 5), c.bytes - done);
                DWORD written = 0;
                std::vector<uint8_t> bytes(data[i].begin() + done, data[i].begin() + done + piece);
                EXPECT_TRUE(monitor->pfnWritePort(ports[i], bytes.data(), static_cast<DWORD>(piece), &written));
                done += written;
            }
            EXPECT_TRUE(monitor->pfnEndDocPort(ports[i]));
            ++finished;
        });
    }
    // The printers go in and out of paper while the clock runs; at the end all have paper.
    std::mt19937 random(7);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (int round = 0; finished < c.ports && std::chrono::steady_clock::now() < end; ++round) {
        const bool late = round > 60;
        for (const auto& name : names) {
            const bool error = !late && random() % 3 == 0;
            FakePortMonitor::With(name, [&](FakePortState& p) {
                p.statusReply = {0, 0, 0, static_cast<uint8_t>(error ? 0x20 : 0)};
            });
        }
        HostAdvanceClock(1000);
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    for (auto& writer : writers) writer.join();
    ASSERT_EQ(finished.load(), c.ports);
    for (int i = 0; i < c.ports; ++i)
        EXPECT_EQ(FakePortMonitor::Written(names[i]), Concat(data[i], {0x1B, 0x40})) << HostNarrow(names[i].c_str());
}

INSTANTIATE_TEST_SUITE_P(Loads, PortLoadTest,
                         ::testing::Values(LoadCase{"FourPortsSmallPieces", 4, 3000, 17},
                                           LoadCase{"SixteenPorts", 16, 20000, 512}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConcurrentPortsTest, PortsOpenedAndClosedWhileOthersPrint) {
    const HANDLE printing = OpenPort(u"USB001");
    const DWORD job = QueueJob();
    ASSERT_TRUE(StartDoc(printing, job));
    std::atomic<bool> stop{false};
    std::thread churn([&] {
        for (int i = 0; i < 20 && !stop; ++i) {
            std::u16string name = u"COM" + HostWide(std::to_string(i)), printerName = kPrinter;
            HANDLE port = nullptr;
            MONITOR table = FakePortMonitor::Table();
            if (monitor->pfnOpenPortEx(name.data(), printerName.data(), &port, &table)) {
                EXPECT_TRUE(monitor->pfnClosePort(port));
            }
        }
    });
    std::vector<uint8_t> all;
    for (int i = 0; i < 200; ++i) {
        const std::vector<uint8_t> piece = {static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8)};
        ASSERT_TRUE(Write(printing, piece));
        all = Concat(all, piece);
    }
    stop = true;
    churn.join();
    ASSERT_TRUE(monitor->pfnEndDocPort(printing));
    EXPECT_EQ(FakePortMonitor::Written(u"USB001"), Concat(all, {0x1B, 0x40}));
}

} // namespace
