// velt print killed at any moment (SIGKILL, as by the out-of-memory killer or a power cut of the
// process) leaves every file under its final name whole: the spool file is absent or the job's every
// byte, and every picture is a complete PNG.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "host_fixture.h"
#include "png_picture.h"

namespace {

namespace fs = std::filesystem;

class KilledPrint : public HostTest {
protected:
    // Starts velt print of the sample receipt in its own process; the child's id.
    pid_t StartPrint(const fs::path& home, const fs::path& spool, const fs::path& preview) {
        const pid_t child = fork();
        if (child == 0) {
            setenv("VELT_HOME", home.c_str(), 1);
            const std::string receipt = std::string(VELT_SOURCE_DIR) + "/examples/receipt.png";
            execl(VELT_BINARY, "velt", "print", receipt.c_str(), "--spool", spool.c_str(), "--preview", preview.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        return child;
    }
    static int Wait(pid_t child) {
        int status = 0;
        waitpid(child, &status, 0);
        return status;
    }
};

TEST_F(KilledPrint, EveryFileUnderItsFinalNameIsWhole) {
    const fs::path home = Folder() / "home", spool = Folder() / "job.bin", preview = Folder() / "preview";
    const int finished = Wait(StartPrint(home, spool, preview));
    ASSERT_TRUE(WIFEXITED(finished) && WEXITSTATUS(finished) == 0);
    const std::vector<uint8_t> whole = ReadBytes(spool);
    ASSERT_FALSE(whole.empty());
    const auto started = std::chrono::steady_clock::now();
    Wait(StartPrint(home, spool, preview));
    const auto run = std::chrono::steady_clock::now() - started;

    std::mt19937 random(20261209);
    std::uniform_int_distribution<long> at(0, std::chrono::duration_cast<std::chrono::microseconds>(run).count());
    for (int attempt = 0; attempt < 50; ++attempt) {
        SCOPED_TRACE(attempt);
        const pid_t child = StartPrint(home, spool, preview);
        std::this_thread::sleep_for(std::chrono::microseconds(at(random)));
        kill(child, SIGKILL);
        Wait(child);
        if (fs::exists(spool)) {
            EXPECT_EQ(ReadBytes(spool), whole);
        }
        for (const fs::path& folder : {preview, home}) {
            if (!fs::exists(folder)) continue;
            for (const auto& entry : fs::recursive_directory_iterator(folder)) {
                if (entry.path().extension() != ".png") continue;
                HostPicture picture;
                std::string error;
                EXPECT_TRUE(picture::LoadPng(entry.path().string(), &picture, &error)) << error;
            }
        }
    }
    // A run after all that prints as ever.
    const int last = Wait(StartPrint(home, spool, preview));
    EXPECT_TRUE(WIFEXITED(last) && WEXITSTATUS(last) == 0);
    EXPECT_EQ(ReadBytes(spool), whole);
}

} // namespace
