// The fixture every test area starts from: a fresh temporary store, a fresh temporary folder (also
// the host's home, so drive paths land in it), the test clock at a fixed date, no faults armed, and
// the sentinel in the last error (last_error.h), so that a last error a test sees is one a call set.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/testing.h"
#include "last_error.h"
#include "platform.h"

class HostTest : public ::testing::Test {
protected:
    // Tuesday 5 March 2024, 10:30:00.000 local time.
    static SYSTEMTIME FixedTime() { return SYSTEMTIME{2024, 3, 2, 5, 10, 30, 0, 0}; }

    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "velt-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        folderPath_ = HostWide(folder_.string());
        setenv("VELT_HOME", (folder_ / "home").c_str(), 1);
        DisarmFaults();
        HostUseTemporaryStore();
        const SYSTEMTIME now = FixedTime();
        HostSetLocalTime(&now);
        HostClearDebugOutput();
        SetSentinelLastError();
    }

    void TearDown() override {
        DisarmFaults();
        HostUseTemporaryStore(); // closes whatever the test left open
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    static void DisarmFaults() {
        HostFailAllocation(0);
        HostFailFileWrite(0);
        HostFailPrinterDataRead(0);
        HostFailPrinterWrite(0);
        HostLimitPrinterWrite(0);
        HostFailStoreStatement(0, 0);
    }

    // The temporary folder as a Linux path, and a platform path of a name inside it.
    const std::filesystem::path& Folder() const { return folder_; }
    std::u16string PathIn(const std::string& name) const { return folderPath_ + u"/" + HostWide(name); }
    const std::u16string& FolderPath() const { return folderPath_; }

    static std::vector<uint8_t> ReadBytes(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static void WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    // Adds a printer and returns it open with the given access (null if it could not be added).
    static HANDLE AddTestPrinter(const std::u16string& name, const std::u16string& driver = u"VELT",
                                 const std::u16string& port = u"FILE:/dev/null",
                                 ACCESS_MASK access = PRINTER_ALL_ACCESS, DEVMODEW* devmode = nullptr) {
        std::u16string n = name, d = driver, p = port;
        PRINTER_INFO_2W info{};
        info.pPrinterName = n.data();
        info.pDriverName = d.data();
        info.pPortName = p.data();
        info.pDevMode = devmode;
        HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
        if (!added) return nullptr;
        ClosePrinter(added);
        PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
        HANDLE opened = nullptr;
        return OpenPrinterW(n.data(), &opened, &defaults) ? opened : nullptr;
    }

private:
    std::filesystem::path folder_;
    std::u16string folderPath_;
};
