// The monitor's entry: InitializePrintMonitor with its registry root and EOJTimeout, the function
// table, the module as the spooler loads it, the resource library's use count and texts, the log's
// busy flag and the monitor-wide printer names.
#include "last_error.h"
#include "lmon_fixture.h"
#include "monitor_log.h"
#include "monitor_text.h"

namespace {

class MonitorEntryTest : public MonitorTest {
protected:
    static bool ReadEojTimeout(const std::u16string& root, DWORD* value, DWORD* type) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, root.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        DWORD size = 4;
        const bool read =
            RegQueryValueExW(key, u"EOJTimeout", nullptr, type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS;
        RegCloseKey(key);
        return read;
    }
};

TEST_F(MonitorEntryTest, RegistryRootMustBeGiven) {
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, EXPECT_EQ(InitializePrintMonitor(nullptr), nullptr));
    std::u16string empty;
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, EXPECT_EQ(InitializePrintMonitor(empty.data()), nullptr));
}

TEST_F(MonitorEntryTest, MissingEndOfJobWaitIsCreatedWithItsDefault) {
    std::u16string root = u"SYSTEM\\Monitors\\Fresh";
    ASSERT_NE(InitializePrintMonitor(root.data()), nullptr);
    DWORD value = 0, type = 0;
    ASSERT_TRUE(ReadEojTimeout(root, &value, &type));
    EXPECT_EQ(value, 60000u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(lmon::Monitor().endOfJobWait.load(), 60000u);
}

TEST_F(MonitorEntryTest, StoredEndOfJobWaitIsUsedAndKept) {
    std::u16string root = u"SYSTEM\\Monitors\\Stored";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, root.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD wait = 12345;
    ASSERT_EQ(RegSetValueExW(key, u"EOJTimeout", 0, REG_DWORD, reinterpret_cast<BYTE*>(&wait), 4), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_NE(InitializePrintMonitor(root.data()), nullptr);
    EXPECT_EQ(lmon::Monitor().endOfJobWait.load(), 12345u);
    EXPECT_EQ(lmon::Monitor().activeWait.load(), 5000u);
    EXPECT_EQ(lmon::Monitor().idleWait.load(), 30000u);
}

TEST_F(MonitorEntryTest, ModuleLoadsAndHandsOutItsTable) {
    // The module's entry point made its lock on attach; the table comes from the module's own copy.
    HMODULE module = LoadLibraryW(u"VELTlmon");
    ASSERT_NE(module, nullptr);
    using Initialize = LPMONITOREX(WINAPI*)(LPWSTR);
    auto initialize =
        reinterpret_cast<Initialize>(reinterpret_cast<void*>(GetProcAddress(module, "InitializePrintMonitor")));
    ASSERT_NE(initialize, nullptr);
    EXPECT_NE(GetProcAddress(module, "DllEntryPoint"), nullptr);
    std::u16string root = kMonitorRoot;
    const LPMONITOREX table = initialize(root.data());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->dwMonitorSize, static_cast<DWORD>(sizeof(MONITOR)));
    EXPECT_NE(table->Monitor.pfnOpenPortEx, nullptr);
    EXPECT_EQ(table->Monitor.pfnOpenPort, nullptr);
    // Not freed: the spooler keeps a language monitor loaded for the life of its process, and the
    // monitor's lock, made at attach, is never deleted.
}

TEST_F(MonitorEntryTest, ResourceLibraryIsCountedAndFreedWithItsLastUse) {
    lmon::ReleaseMonitorResources(); // a release without a load changes nothing
    EXPECT_EQ(lmon::MonitorResourceUses(), 0);
    lmon::AcquireMonitorResources();
    lmon::AcquireMonitorResources();
    EXPECT_EQ(lmon::MonitorResourceUses(), 2);
    {
        lmon::MonitorLock lock;
        EXPECT_EQ(std::u16string(lmon::LoadMonitorText(134)), u"-Out of Paper");
        EXPECT_EQ(std::u16string(lmon::LoadMonitorText(140)), u"-Print head not connected");
        EXPECT_EQ(std::u16string(lmon::LoadMonitorText(9999)), u"") << "a missing string is empty";
    }
    lmon::ReleaseMonitorResources();
    EXPECT_TRUE(lmon::MonitorResourcesLoaded());
    lmon::ReleaseMonitorResources();
    EXPECT_FALSE(lmon::MonitorResourcesLoaded());
    EXPECT_EQ(lmon::MonitorResourceUses(), 0);
    lmon::MonitorLock lock;
    EXPECT_EQ(std::u16string(lmon::LoadMonitorText(134)), u"") << "no library, no text";
}

TEST_F(MonitorEntryTest, TextsAppendWithinTheirBuffer) {
    lmon::AcquireMonitorResources();
    WCHAR text[16] = {};
    lmon::AppendMonitorText(133, text, 16);
    lmon::AppendMonitorText(134, text, 16);
    lmon::AppendMonitorText(135, text, 16);
    EXPECT_EQ(std::u16string(text), u"-Busy-Out of Pa");
    lmon::ReleaseMonitorResources();
}

TEST_F(MonitorEntryTest, LogLineCollidingWithAnotherIsDropped) {
    lmon::Monitor().logBusy = 1;
    EXPECT_EQ(lmon::WriteMonitorLog("Inside WritePort", printer), 0);
    EXPECT_EQ(lmon::Monitor().logBusy.load(), 1) << "the other writer's flag stays";
    lmon::Monitor().logBusy = 0;
    EXPECT_EQ(lmon::WriteMonitorLog("Inside WritePort", printer), 1);
    EXPECT_EQ(lmon::Monitor().logBusy.load(), 0);
}

struct NameLengthCase {
    const char* name;
    size_t length;
    bool currentKept;
    bool openedKept;
};

class PrinterNameLengthTest : public MonitorEntryTest, public ::testing::WithParamInterface<NameLengthCase> {};

TEST_P(PrinterNameLengthTest, NameThatDoesNotFitIsNotKeptInPart) {
    const std::u16string name(GetParam().length, u'p');
    lmon::SetCurrentJobPrinterName(u"earlier");
    lmon::SetOpenedPrinterName(u"earlier");
    lmon::SetCurrentJobPrinterName(name.c_str());
    lmon::SetOpenedPrinterName(name.c_str());
    WCHAR current[CURRENT_JOB_PRINTER_NAME_CHARS], opened[OPENED_PRINTER_NAME_CHARS];
    lmon::CopyCurrentJobPrinterName(current, CURRENT_JOB_PRINTER_NAME_CHARS);
    lmon::CopyOpenedPrinterName(opened, OPENED_PRINTER_NAME_CHARS);
    EXPECT_EQ(std::u16string(current), GetParam().currentKept ? name : u"");
    EXPECT_EQ(std::u16string(opened), GetParam().openedKept ? name : u"");
}

INSTANTIATE_TEST_SUITE_P(Lengths, PrinterNameLengthTest,
                         ::testing::Values(NameLengthCase{"Short", 8, true, true},
                                           NameLengthCase{"FillsTheOpenedName", 259, true, true},
                                           NameLengthCase{"LongerThanTheOpenedName", 260, true, false},
                                           NameLengthCase{"FillsTheJobName", 271, true, false},
                                           NameLengthCase{"LongerThanBoth", 272, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
