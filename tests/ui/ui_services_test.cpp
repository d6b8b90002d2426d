// The configuration interface's shared services: printer values, the printer-state checks, log lines
// and the resource library's use count.
#include <gtest/gtest.h>

#include "ui_fixture.h"

namespace {

using UiServicesTest = UiTest;

TEST_F(UiServicesTest, CurrentPrinterNameHoldsTheLongestNameAndCutsLongerOnes) {
    const std::u16string longest(MAX_PATH, u'p');
    SetCurrentPrinterName(longest.c_str());
    EXPECT_EQ(std::u16string(currentPrinterName), longest);
    SetCurrentPrinterName((longest + u"qq").c_str());
    EXPECT_EQ(std::u16string(currentPrinterName), longest);
    SetCurrentPrinterName(nullptr);
    EXPECT_EQ(currentPrinterName[0], 0);
}

TEST_F(UiServicesTest, PrinterValuesAreWrittenAsBinaryAndReadIntoTheCallersBuffer) {
    const std::vector<uint8_t> data = {1, 2, 3, 4, 5};
    WritePrinterValue(TEXT("Probe"), data.data(), 5);
    DWORD type = 0;
    EXPECT_EQ(Stored(u"Probe", &type), data);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));

    struct Case {
        const char* what;
        LPCWSTR value;
        DWORD size;
        BOOL read;
    } cases[] = {
        {"exact size", TEXT("Probe"), 5, TRUE},
        {"larger buffer", TEXT("Probe"), 16, TRUE},
        {"buffer too small", TEXT("Probe"), 4, FALSE},
        {"missing value", TEXT("Nothing"), 16, FALSE},
    };
    for (const Case& c : cases) {
        velt::HeapBlock buffer;
        EXPECT_EQ(ReadPrinterValue(c.value, c.size, &buffer), c.read) << c.what;
        ASSERT_TRUE(buffer) << c.what << ": the buffer is the caller's even on failure";
        if (c.read) {
            EXPECT_EQ(BytesOf(buffer.get(), 5), data) << c.what;
        }
    }

    SetCurrentPrinterName(TEXT("No Such Printer"));
    velt::HeapBlock buffer;
    EXPECT_FALSE(ReadPrinterValue(TEXT("Probe"), 5, &buffer));
    WritePrinterValue(TEXT("Other"), data.data(), 5);
    EXPECT_TRUE(Stored(u"Other").empty());
}

TEST_F(UiServicesTest, PrinterIsIdleOnlyWithAnEmptyQueue) {
    EXPECT_TRUE(IsPrinterIdle(printer));

    DOC_INFO_1W doc{const_cast<LPWSTR>(TEXT("held")), nullptr, nullptr};
    const DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&doc));
    ASSERT_NE(job, 0u);
    ASSERT_TRUE(SetJobW(printer, job, 0, nullptr, JOB_CONTROL_PAUSE));
    EXPECT_FALSE(IsPrinterIdle(printer)) << "one paused job in the queue";
    ASSERT_TRUE(SetJobW(printer, job, 0, nullptr, JOB_CONTROL_DELETE));
    EndDocPrinter(printer);
    EXPECT_TRUE(IsPrinterIdle(printer));

    EXPECT_FALSE(IsPrinterIdle(nullptr));
}

TEST_F(UiServicesTest, AttributesAreReadFromTheCurrentPrinter) {
    struct Case {
        DWORD attributes;
        bool bidi, offline;
    } cases[] = {
        {0, false, false},
        {PRINTER_ATTRIBUTE_ENABLE_BIDI, true, false},
        {PRINTER_ATTRIBUTE_WORK_OFFLINE, false, true},
        {PRINTER_ATTRIBUTE_ENABLE_BIDI | PRINTER_ATTRIBUTE_WORK_OFFLINE, true, true},
    };
    for (const Case& c : cases) {
        DWORD needed = 0;
        GetPrinterW(printer, 2, nullptr, 0, &needed);
        std::vector<BYTE> info(needed);
        ASSERT_TRUE(GetPrinterW(printer, 2, info.data(), needed, &needed));
        reinterpret_cast<PRINTER_INFO_2W*>(info.data())->Attributes = c.attributes;
        ASSERT_TRUE(SetPrinterW(printer, 2, info.data(), 0));
        EXPECT_EQ(IsBidiEnabled(), c.bidi) << c.attributes;
        EXPECT_EQ(IsPrinterOffline(), c.offline) << c.attributes;
    }
    SetCurrentPrinterName(TEXT("No Such Printer"));
    EXPECT_FALSE(IsBidiEnabled());
    EXPECT_FALSE(IsPrinterOffline());
}

TEST_F(UiServicesTest, LogLinesOnlyWhileLoggingIsOn) {
    EXPECT_FALSE(WriteUiLog("Entering DrvDevicePropertySheets", printer));
    EXPECT_FALSE(std::filesystem::exists(Folder() / "logs" / "VELTUI.log")) << "logging off creates no file";

    EnableLog();
    EXPECT_TRUE(WriteUiLog("Entering DrvDevicePropertySheets", printer));
    EXPECT_NE(UiLog().find("Module Name: Printer UI"), std::string::npos);
    EXPECT_NE(UiLog().find("Entering DrvDevicePropertySheets\r\n"), std::string::npos);
    EXPECT_FALSE(WriteUiLog(nullptr, printer));
    EXPECT_FALSE(WriteUiLog("no printer", nullptr));
}

TEST_F(UiServicesTest, ResourceLibraryStaysLoadedWhileItHasUsers) {
    struct Step {
        bool acquire;
        WORD users;
        bool loaded;
    } steps[] = {
        {true, 1, true}, {true, 2, true}, {false, 1, true}, {false, 0, false}, {false, 0, false}, {true, 1, true},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        if (steps[i].acquire)
            AcquireResourceLibrary();
        else
            ReleaseResourceLibrary();
        EXPECT_EQ(ResourceLibraryUsers(), steps[i].users) << "step " << i;
        EXPECT_EQ(ResourceLibrary() != nullptr, steps[i].loaded) << "step " << i;
    }
}

TEST_F(UiServicesTest, TextsComeFromTheResourceLibrary) {
    EXPECT_EQ(std::u16string(LoadUiText(102)), u"") << "no library loaded";
    AcquireResourceLibrary();
    ASSERT_NE(ResourceLibrary(), nullptr);
    EXPECT_EQ(std::u16string(LoadUiText(102)), u"User Defined Size 1");
    const LPCWSTR shared = LoadUiText(109);
    EXPECT_EQ(std::u16string(shared), u"User Defined Size 5");
    EXPECT_EQ(LoadUiText(60000), shared) << "one shared buffer";
    EXPECT_EQ(std::u16string(shared), u"") << "a missing string leaves it empty";
}

} // namespace
