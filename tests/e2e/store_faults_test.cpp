// The host's store under faults: a statement failing at any point of an installation, for each cause,
// leaves the store consistent, names the cause and the state folder, and the next run completes the
// installation; and first installations running at once all succeed with one printer.
#include <filesystem>
#include <sstream>
#include <thread>

#include "host_fixture.h"
#include "installation.h"
#include "subcommands.h"

namespace {

namespace fs = std::filesystem;

class StoreFaults : public HostTest {
protected:
    int Run(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        out_.str({});
        err_.str({});
        return velt::RunVelt(static_cast<int>(argv.size()), argv.data(), out_, err_);
    }
    // A fresh state folder: a new persistent store on the next command.
    void FreshHome(const std::string& name) { setenv("VELT_HOME", (Folder() / name).c_str(), 1); }

    // The installation is whole: the key with VerticalDotCount 24, the printer with its paper list.
    static bool InstallationIsWhole() {
        HKEY key = nullptr;
        DWORD value = 0, size = sizeof value, type = 0;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Calvix", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        const LONG read =
            RegQueryValueExW(key, u"VerticalDotCount", nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
        RegCloseKey(key);
        if (read != ERROR_SUCCESS || value != 24) return false;
        std::u16string name = velt::PRINTER_NAME, list = u"CustomPaperList";
        HANDLE printer = nullptr;
        if (!OpenPrinterW(name.data(), &printer, nullptr)) return false;
        DWORD needed = 0;
        const DWORD result = GetPrinterDataW(printer, list.data(), &type, nullptr, 0, &needed);
        ClosePrinter(printer);
        return (result == ERROR_MORE_DATA || result == ERROR_SUCCESS) && needed == 260;
    }

    std::ostringstream out_, err_;
};

TEST_F(StoreFaults, AFailedStatementAnywhereInAnInstallationIsNamedAndRepaired) {
    struct Cause {
        DWORD fault;
        const char* words;
    };
    const Cause causes[] = {
        {HOST_STORE_FULL, "the disk is full in the state folder "},
        {HOST_STORE_IOERR, "the store could not be written in the state folder "},
        {HOST_STORE_CORRUPT, "the store is damaged in the state folder "},
        {HOST_STORE_READONLY, "the state folder cannot be written in the state folder "},
        {HOST_STORE_BUSY, nullptr}, // retried: never reported
    };
    int home = 0;
    unsigned statements = 0; // of a whole installation: where the faults stopped failing it
    for (const Cause& cause : causes) {
        int failed = 0, passedInARow = 0;
        for (unsigned nth = 1; nth <= (statements ? statements : 200); ++nth) {
            SCOPED_TRACE(testing::Message() << "fault " << cause.fault << " at statement " << nth);
            FreshHome("home-" + std::to_string(++home));
            HostFailStoreStatement(nth, cause.fault);
            const int rc = Run({"velt", "install"});
            HostFailStoreStatement(0, 0);
            // A few reads fall back when they fail (and say nothing); five faults in a row that fail
            // nothing lie past the installation's last statement.
            passedInARow = rc == velt::EXIT_OK ? passedInARow + 1 : 0;
            if (passedInARow == 5 && cause.words) {
                statements = nth;
                break;
            }
            if (rc != velt::EXIT_OK) {
                ++failed;
                EXPECT_EQ(rc, velt::EXIT_SYSTEM_ERROR);
                ASSERT_NE(cause.words, nullptr) << err_.str();
                EXPECT_NE(err_.str().find(cause.words), std::string::npos) << err_.str();
                EXPECT_NE(err_.str().find("home-" + std::to_string(home)), std::string::npos) << err_.str();
            }
            ASSERT_EQ(Run({"velt", "install"}), velt::EXIT_OK) << err_.str();
            EXPECT_TRUE(InstallationIsWhole());
        }
        if (cause.words) {
            EXPECT_GT(failed, 10) << "the sweep never reached the installation's statements";
        }
    }
}

// A printer left without its paper list (a run killed between the two) is completed by the next run.
TEST_F(StoreFaults, HalfAnInstallationIsCompleted) {
    ASSERT_EQ(Run({"velt", "install"}), velt::EXIT_OK) << err_.str();
    std::u16string name = velt::PRINTER_NAME, list = u"CustomPaperList";
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
    ASSERT_TRUE(OpenPrinterW(name.data(), &printer, &all));
    ASSERT_EQ(DeletePrinterDataW(printer, list.data()), static_cast<DWORD>(ERROR_SUCCESS));
    ClosePrinter(printer);
    ASSERT_FALSE(InstallationIsWhole());
    ASSERT_EQ(Run({"velt", "install"}), velt::EXIT_OK) << err_.str();
    EXPECT_TRUE(InstallationIsWhole());
}

// Eight first installations at once into one fresh state folder: every one succeeds, one printer.
TEST_F(StoreFaults, ConcurrentFirstInstallationsAllSucceed) {
    const fs::path home = Folder() / "shared";
    for (int round = 0; round < 5; ++round) {
        fs::remove_all(home);
        std::vector<pid_t> children;
        for (int i = 0; i < 8; ++i) {
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                setenv("VELT_HOME", home.c_str(), 1);
                std::ostringstream out, err;
                char velt[] = "velt", install[] = "install";
                char* argv[] = {velt, install};
                const int rc = velt::RunVelt(2, argv, out, err);
                if (rc != 0) fprintf(stderr, "%s", err.str().c_str());
                _exit(rc);
            }
            children.push_back(child);
        }
        for (pid_t child : children) {
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
        }
    }
    setenv("VELT_HOME", home.c_str(), 1);
    ASSERT_TRUE(HostUseStore(nullptr));
    EXPECT_TRUE(InstallationIsWhole());
}

} // namespace
