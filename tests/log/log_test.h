// The fixture of the log library's tests: a printer whose "DriverLogFile" points at a fresh "logs" folder,
// the library put back as loaded (a new process, as far as the log is concerned), the clock at
// 5 March 2024 10:30:00.000.
#pragma once

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "VELTlog.h"
#include "host_fixture.h"
#include "log_testing.h"

class LogTest : public HostTest {
protected:
    static constexpr DWORD kMB = 1048576;

    void SetUp() override {
        HostTest::SetUp();
        velt::log::ResetLogLibraryForTests();
        std::filesystem::create_directory(LogFolder());
        printer_ = AddTestPrinter(u"Log Printer");
        ASSERT_NE(printer_, nullptr);
        StoreSettings(1, LOG_MAX_SIZE_10MB, LogFolderPath());
    }

    void TearDown() override {
        velt::log::ResetLogLibraryForTests();
        ClosePrinter(printer_);
        HostTest::TearDown();
    }

    std::filesystem::path LogFolder() const { return Folder() / "logs"; }
    std::u16string LogFolderPath() const { return FolderPath() + u"/logs"; }

    static std::vector<uint8_t> SettingsBytes(DWORD enabled, BYTE sizeIndex, const std::u16string& folder) {
        DRIVER_LOG_SETTINGS settings{};
        settings.dlEnabled = enabled;
        settings.dlMaxSizeIndex = sizeIndex;
        std::memcpy(settings.dlFolder, folder.data(), std::min<size_t>(folder.size(), MAX_PATH) * sizeof(WCHAR));
        std::vector<uint8_t> bytes(sizeof settings);
        std::memcpy(bytes.data(), &settings, sizeof settings);
        return bytes;
    }

    void StoreValue(std::vector<uint8_t> bytes) {
        WCHAR name[] = DRIVER_LOG_FILE_VALUE;
        ASSERT_EQ(SetPrinterDataW(printer_, name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size())),
                  static_cast<DWORD>(ERROR_SUCCESS));
    }

    void StoreSettings(DWORD enabled, BYTE sizeIndex, const std::u16string& folder) {
        StoreValue(SettingsBytes(enabled, sizeIndex, folder));
    }

    HANDLE Create(LOG_MODULE module = LOG_MODULE_PRINTER_DRIVER) { return VLK_LogCreateFile(module, printer_); }

    // One message as every caller logs it.
    bool LogLine(const char* text, LOG_MODULE module = LOG_MODULE_PRINTER_DRIVER) {
        if (!VLK_IsLogFileEnabled(printer_)) return false;
        HANDLE file = Create(module);
        if (file == nullptr) return false;
        const BOOL written = VLK_LogWrite(file, text, 1);
        return VKL_LogFileClose(file) && written;
    }

    std::string Content(const std::string& name) const {
        const std::vector<uint8_t> bytes = ReadBytes(LogFolder() / name);
        return std::string(bytes.begin(), bytes.end());
    }

    // Compares a file of a megabyte or so without printing it when it differs.
    void ExpectContent(const std::string& name, const std::string& expected) const {
        const std::string actual = Content(name);
        EXPECT_EQ(actual.size(), expected.size()) << name;
        EXPECT_TRUE(actual == expected) << name << " differs";
    }

    void MakeFile(const std::string& name, size_t size, char fill = 'x') const {
        WriteBytes(LogFolder() / name, std::vector<uint8_t>(size, static_cast<uint8_t>(fill)));
    }

    std::vector<std::string> FileNames() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(LogFolder())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // Opens a log file the way another program would.
    HANDLE Hold(const std::string& name, DWORD share) const {
        return CreateFileW((LogFolderPath() + u"/" + HostWide(name)).c_str(), GENERIC_READ, share, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    static void SetClock(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms) {
        const SYSTEMTIME now{year, month, 0, day, hour, minute, second, ms};
        HostSetLocalTime(&now);
    }

    HANDLE printer_ = nullptr;
};

// Headers as they appear in the files on the fixture's date.
inline const std::string kDriverHeader("Module Name: Printer Driver\0\r\nVersion: V01.02\0\r\n05.Mar.2024\r\n\r\n", 63);
inline const std::string kStamp("10:30:00.000\0", 13);
