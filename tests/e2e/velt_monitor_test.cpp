// velt on the monitor's road: the virtual printer's state set and shown, the printer's status, and
// velt print run as a process of its own, cancelled by Ctrl-C in the middle of a raster and, with
// the language monitor, waiting while the paper is out until another command puts it back.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "host_fixture.h"
#include "installation.h"
#include "subcommands.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

class VeltMonitorRoad : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        home_ = (Folder() / "home").string();
        // velt opens the store in $VELT_HOME; the test's temporary store is left alone.
        setenv("VELT_HOME", home_.c_str(), 1);
    }
    void TearDown() override {
        HostUseTemporaryStore();
        HostTest::TearDown();
    }
    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), "velt");
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        out_.str({});
        err_.str({});
        return velt::RunVelt(static_cast<int>(argv.size()), argv.data(), out_, err_);
    }
    static bool MonitorInBuild() {
        HMODULE module = LoadLibraryW(u"VELTlmon.dll");
        if (!module) return false;
        FreeLibrary(module);
        return true;
    }
    fs::path PrinterFolder() const { return fs::path(home_) / "vprinter" / "USB001"; }

    std::string home_;
    std::ostringstream out_, err_;
};

// velt print as a child process, its error output read as it comes.
class Child {
public:
    explicit Child(std::vector<std::string> args) {
        int pipeFds[2];
        EXPECT_EQ(pipe(pipeFds), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        args.insert(args.begin(), VELT_BINARY);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&pid_, VELT_BINARY, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeFds[1]);
        fd_ = pipeFds[0];
        fcntl(fd_, F_SETFL, O_NONBLOCK);
    }
    ~Child() {
        if (pid_ > 0 && !waited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(fd_);
    }
    // The error output so far.
    const std::string& Err() {
        char buffer[4096];
        ssize_t n;
        while ((n = read(fd_, buffer, sizeof buffer)) > 0) err_.append(buffer, static_cast<size_t>(n));
        return err_;
    }
    void Signal(int signal) { kill(pid_, signal); }
    // The exit code, or -1 when the child is still running after the time given.
    int Wait(std::chrono::milliseconds limit) {
        const auto end = Clock::now() + limit;
        int status = 0;
        while (Clock::now() < end) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                waited_ = true;
                Err();
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

private:
    pid_t pid_ = 0;
    int fd_ = -1;
    bool waited_ = false;
    std::string err_;
};

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

TEST_F(VeltMonitorRoad, VirtualPrinterSetAndShowTakeExactlyThePrintersKeys) {
    struct Case {
        std::vector<std::string> args;
        int exit;
        std::string out; // text the output contains
        std::string err; // the whole error output
    };
    const Case cases[] = {
        {{"virtual-printer", "show"}, velt::EXIT_OK, "paper=ok\ndoor=closed\ncutter=ok\nhead-temp=ok\n", ""},
        {{"virtual-printer", "set", "paper=out", "width=58", "speed=5"}, velt::EXIT_OK, "paper=out\n", ""},
        {{"virtual-printer", "show", "--port", "USB001"}, velt::EXIT_OK, "width=58\npaper-colors=2\nknife=on\n", ""},
        {{"virtual-printer", "set", "door=ajar"},
         velt::EXIT_USAGE,
         "",
         "velt virtual-printer: door takes closed or open, not 'ajar'\n"},
        {{"virtual-printer", "set", "paper"}, velt::EXIT_USAGE, "", "velt virtual-printer: 'paper' is not KEY=VALUE\n"},
        {{"virtual-printer", "set"}, velt::EXIT_USAGE, "", "velt virtual-printer: set needs KEY=VALUE\n"},
        {{"virtual-printer", "print"}, velt::EXIT_USAGE, "", "velt virtual-printer: takes show or set, not 'print'\n"},
        {{"virtual-printer", "show", "--port", "USB009"}, velt::EXIT_OK, "virtual printer on USB009", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1] + (c.args.size() > 2 ? " " + c.args[2] : ""));
        EXPECT_EQ(Run(c.args), c.exit) << err_.str();
        EXPECT_NE(out_.str().find(c.out), std::string::npos) << out_.str();
        EXPECT_EQ(err_.str(), c.err);
    }
    ASSERT_EQ(Run({"virtual-printer", "show", "--json"}), velt::EXIT_OK);
    const auto json = nlohmann::json::parse(out_.str());
    EXPECT_EQ(json["paper"], "out");
    EXPECT_EQ(json["speed"], "5");
    EXPECT_EQ(json["port"], "USB001");
    EXPECT_EQ(json.size(), 15u); // port, folder and the 13 keys
    EXPECT_TRUE(fs::exists(PrinterFolder() / "state.json"));
}

TEST_F(VeltMonitorRoad, StatusShowsTheWordItsMeaningAndTheQueue) {
    ASSERT_EQ(Run({"status"}), velt::EXIT_OK) << err_.str();
    EXPECT_NE(out_.str().find("printer \"VELT K9x\" on USB001\nstatus 0x00000000: ready\nno jobs queued\n"),
              std::string::npos)
        << out_.str();
    ASSERT_EQ(Run({"status", "--json"}), velt::EXIT_OK) << err_.str();
    const auto json = nlohmann::json::parse(out_.str());
    EXPECT_EQ(json["printer"], "VELT K9x");
    EXPECT_EQ(json["port"], "USB001");
    EXPECT_EQ(json["status"], 0);
    EXPECT_TRUE(json["jobs"].is_array());
    EXPECT_EQ(Run({"status", "--printer", "Nobody"}), velt::EXIT_FILE_ERROR);
    EXPECT_EQ(err_.str().rfind("velt status: there is no printer \"Nobody\"", 0), 0u) << err_.str();
}

TEST_F(VeltMonitorRoad, InstallNamesTheMonitorWhenTheBuildHasIt) {
    ASSERT_EQ(Run({"install"}), velt::EXIT_OK) << err_.str();
    const std::string expected = MonitorInBuild() ? "language monitor VELTlmon\n"
                                                  : "no language monitor in this build: jobs go straight to the port\n";
    EXPECT_NE(out_.str().find(expected), std::string::npos) << out_.str();
    EXPECT_NE(out_.str().find("virtual printer: " + PrinterFolder().string() + "\n"), std::string::npos);
}

// Ctrl-C in the middle of a raster: velt says the job was cancelled and exits with 130; the printer
// got part of the job, and through the language monitor the fill block and ESC @ after it.
TEST_F(VeltMonitorRoad, CtrlCInTheMiddleOfARasterCancelsTheJob) {
    ASSERT_EQ(Run({"install"}), velt::EXIT_OK) << err_.str();
    ASSERT_EQ(Run({"virtual-printer", "set", "speed=40"}), velt::EXIT_OK);
    const std::string receipt = std::string(VELT_SOURCE_DIR) + "/examples/receipt.png";
    Child child({"print", receipt});
    const fs::path portBin = PrinterFolder() / "job-1" / "port.bin";
    ASSERT_TRUE(
        WaitFor([&] { return fs::exists(portBin) && fs::file_size(portBin) > 2000; }, std::chrono::milliseconds(10000)))
        << child.Err();
    child.Signal(SIGINT);
    ASSERT_EQ(child.Wait(std::chrono::milliseconds(10000)), velt::EXIT_CANCELLED) << child.Err();
    EXPECT_NE(child.Err().find("velt print: job 1 on \"VELT K9x\" cancelled\n"), std::string::npos) << child.Err();
    const Bytes bytes = ReadBytes(portBin);
    ASSERT_GT(bytes.size(), 2u);
    const Bytes end(bytes.end() - 2, bytes.end());
    if (MonitorInBuild()) {
        // VerticalDotCount 24, mono: 24 x 80 + 1 zero bytes, then ESC @.
        ASSERT_GT(bytes.size(), 24u * 80 + 3);
        EXPECT_EQ(end, (Bytes{0x1B, 0x40}));
        EXPECT_TRUE(std::all_of(bytes.end() - 2 - (24 * 80 + 1), bytes.end() - 2, [](uint8_t b) { return b == 0; }));
    } else {
        EXPECT_LT(bytes.size(), 1020u * 80); // the rest of the job never went
    }
}

TEST_F(VeltMonitorRoad, WithThePaperOutPrintWaitsSaysWhyAndGoesOnWhenThePaperIsBack) {
    if (!MonitorInBuild()) GTEST_SKIP() << "VELTlmon is not in this build: nothing holds the job";
    ASSERT_EQ(Run({"install"}), velt::EXIT_OK) << err_.str();
    ASSERT_EQ(Run({"virtual-printer", "set", "paper=out"}), velt::EXIT_OK);
    const std::string receipt = std::string(VELT_SOURCE_DIR) + "/examples/receipt.png";
    Child child({"print", receipt});
    ASSERT_TRUE(WaitFor(
        [&] { return child.Err().find("VELT K9x: -Out of Paper, waiting (Ctrl-C cancels)\n") != std::string::npos; },
        std::chrono::milliseconds(60000))) // a child of a ThreadSanitizer build under a loaded machine is slow
        << child.Err();
    EXPECT_EQ(child.Wait(std::chrono::milliseconds(200)), -1); // still waiting
    ASSERT_EQ(Run({"virtual-printer", "set", "paper=ok"}), velt::EXIT_OK);
    EXPECT_EQ(child.Wait(std::chrono::milliseconds(60000)), velt::EXIT_OK) << child.Err();
    const Bytes bytes = ReadBytes(PrinterFolder() / "job-1" / "port.bin");
    ASSERT_GT(bytes.size(), 2u);
    EXPECT_EQ(Bytes(bytes.end() - 2, bytes.end()), (Bytes{0x1B, 0x40}));
}

} // namespace
