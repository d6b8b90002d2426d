// The fixture of the configuration interface's tests: a fresh host (HostTest) with one printer of the
// driver, the library's load work done as the module does it, the printer as currentPrinterName and
// the built-in paper table in memory.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "VELTlog.h"
#include "custom_paper_list.h"
#include "host_fixture.h"
#include "printer_settings_record.h"
#include "ui_services.h"

class UiTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        UiLibraryAttach(nullptr);
        printer = AddTestPrinter(name);
        ASSERT_NE(printer, nullptr);
        SetCurrentPrinterName(name.c_str());
        InMemoryCustomPaperList() = BuiltInCustomPaperList();
        SetSentinelLastError();
    }
    void TearDown() override {
        while (ResourceLibraryUsers() > 0) ReleaseResourceLibrary();
        ClosePrinter(printer);
        HostTest::TearDown();
    }

    // A printer-data value of the test printer as stored bytes (empty when absent) and its type.
    std::vector<uint8_t> Stored(const std::u16string& value, DWORD* type = nullptr) const {
        std::u16string n = value;
        DWORD needed = 0, t = 0;
        std::vector<uint8_t> bytes(2048);
        if (GetPrinterDataW(printer, n.data(), &t, bytes.data(), static_cast<DWORD>(bytes.size()), &needed) !=
            ERROR_SUCCESS)
            return {};
        if (type) *type = t;
        bytes.resize(needed);
        return bytes;
    }
    void Store(const std::u16string& value, DWORD type, std::vector<uint8_t> bytes) const {
        std::u16string n = value;
        ASSERT_EQ(SetPrinterDataW(printer, n.data(), type, bytes.data(), static_cast<DWORD>(bytes.size())),
                  static_cast<DWORD>(ERROR_SUCCESS));
    }
    void StoreDword(const std::u16string& value, DWORD number) const {
        std::vector<uint8_t> bytes(4);
        std::memcpy(bytes.data(), &number, 4);
        Store(value, REG_DWORD, bytes);
    }

    // Logging on for the test printer, into <temp>/logs.
    void EnableLog() const {
        std::filesystem::create_directory(Folder() / "logs");
        DRIVER_LOG_SETTINGS settings{};
        settings.dlEnabled = 1;
        settings.dlMaxSizeIndex = LOG_MAX_SIZE_1MB;
        const std::u16string folder = FolderPath() + u"/logs";
        std::memcpy(settings.dlFolder, folder.data(), folder.size() * sizeof(WCHAR));
        std::vector<uint8_t> bytes(sizeof settings);
        std::memcpy(bytes.data(), &settings, sizeof settings);
        Store(u"DriverLogFile", REG_BINARY, bytes);
    }
    std::string UiLog() const {
        const std::vector<uint8_t> bytes = ReadBytes(Folder() / "logs" / "VELTUI.log");
        return std::string(bytes.begin(), bytes.end());
    }

    static std::vector<uint8_t> BytesOf(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        return std::vector<uint8_t>(p, p + size);
    }

    std::u16string name = u"VELT Test";
    HANDLE printer = nullptr;
};
