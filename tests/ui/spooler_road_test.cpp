// The host's spooler uses VELTui as the platform does: the printer's driver names its configuration
// interface, which is asked for the driver default at AddPrinterW, hears the printer's events and the
// driver's upgrade, and decides before despooling whether a job can print.
#include <gtest/gtest.h>

#include "devmode_bytes.h"
#include "ui_fixture.h"

namespace {

const std::u16string kDriver = u"VELT K9x";
const std::u16string kPrintersKey = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";

class SpoolerRoadTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        InstallDriver();
    }
    void TearDown() override {
        if (road) ClosePrinter(road);
        HostTest::TearDown();
    }
    static BOOL InstallDriver() {
        std::u16string driver = kDriver, render = u"VELT.dll", data = u"VELTrc.dll", config = u"VELTui.dll";
        DRIVER_INFO_2W info{3, driver.data(), nullptr, render.data(), data.data(), config.data()};
        return AddPrinterDriverW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    }
    std::vector<uint8_t> Value(const std::u16string& value) const {
        std::u16string n = value;
        DWORD needed = 0, type = 0;
        std::vector<uint8_t> bytes(1024);
        if (GetPrinterDataW(road, n.data(), &type, bytes.data(), 1024, &needed) != ERROR_SUCCESS) return {};
        bytes.resize(needed);
        return bytes;
    }
    static bool KeyExists(const std::u16string& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
    std::vector<uint8_t> DefaultDevmode() const {
        DWORD needed = 0;
        GetPrinterW(road, 2, nullptr, 0, &needed);
        std::vector<BYTE> info(needed);
        if (!GetPrinterW(road, 2, info.data(), needed, &needed)) return {};
        const DEVMODEW* dm = reinterpret_cast<PRINTER_INFO_2W*>(info.data())->pDevMode;
        if (!dm) return {};
        const auto* p = reinterpret_cast<const uint8_t*>(dm);
        return std::vector<uint8_t>(p, p + dm->dmSize + dm->dmDriverExtra);
    }
    DWORD PrintJob(const DEVMODEW* devmode) {
        std::u16string n = name;
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSW defaults{nullptr, const_cast<DEVMODEW*>(devmode), PRINTER_ACCESS_USE};
        if (!OpenPrinterW(n.data(), &printer, &defaults)) return 0;
        DOC_INFO_1W doc{const_cast<LPWSTR>(TEXT("receipt")), nullptr, nullptr};
        const DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&doc));
        BYTE bytes[] = {0x1B, 0x40};
        DWORD written = 0;
        WritePrinter(printer, bytes, sizeof bytes, &written);
        EndDocPrinter(printer);
        ClosePrinter(printer);
        return job;
    }

    std::u16string name = u"Road";
    HANDLE road = nullptr;
};

TEST_F(SpoolerRoadTest, DriverNamesItsConfigurationInterface) {
    road = AddTestPrinter(name, kDriver);
    ASSERT_NE(road, nullptr);
    DWORD needed = 0;
    EXPECT_LAST_ERROR(ERROR_INSUFFICIENT_BUFFER,
                      EXPECT_FALSE(GetPrinterDriverW(road, nullptr, 2, nullptr, 0, &needed)));
    std::vector<BYTE> info(needed);
    ASSERT_TRUE(GetPrinterDriverW(road, nullptr, 2, info.data(), needed, &needed));
    const auto* driver = reinterpret_cast<const DRIVER_INFO_2W*>(info.data());
    EXPECT_EQ(std::u16string(driver->pName), kDriver);
    EXPECT_EQ(std::u16string(driver->pConfigFile), u"C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3\\VELTui.dll");
    EXPECT_EQ(std::u16string(driver->pDriverPath), u"C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3\\VELT.dll");

    HANDLE other = AddTestPrinter(u"Unknown Driver", u"Some Other Driver");
    ASSERT_NE(other, nullptr);
    EXPECT_LAST_ERROR(ERROR_UNKNOWN_PRINTER_DRIVER,
                      EXPECT_FALSE(GetPrinterDriverW(other, nullptr, 2, info.data(), needed, &needed)));
    ClosePrinter(other);
}

TEST_F(SpoolerRoadTest, AddedPrinterGetsTheDriverDefaultAndItsSettingsRecord) {
    road = AddTestPrinter(name, kDriver);
    ASSERT_NE(road, nullptr);
    DRIVER_DEVMODE expected;
    DevmodeSetDefaults(&expected, TEXT("VELT"));
    const auto* p = reinterpret_cast<const uint8_t*>(&expected);
    EXPECT_EQ(DefaultDevmode(), std::vector<uint8_t>(p, p + sizeof expected));

    PRINTER_SETTINGS_RECORD record = DefaultSettingsRecord();
    const auto* r = reinterpret_cast<const uint8_t*>(&record);
    EXPECT_EQ(Value(u"PrinterData"), std::vector<uint8_t>(r, r + 240));
    EXPECT_EQ(Value(u"PrinterDataSize"), (std::vector<uint8_t>{240, 0, 0, 0}));
    EXPECT_TRUE(KeyExists(kPrintersKey + name));
}

TEST_F(SpoolerRoadTest, PrinterOfAnUnknownDriverIsAddedWithoutItsInterface) {
    road = AddTestPrinter(name, u"Some Other Driver");
    ASSERT_NE(road, nullptr);
    EXPECT_TRUE(DefaultDevmode().empty());
    EXPECT_TRUE(Value(u"PrinterData").empty());
}

TEST_F(SpoolerRoadTest, DeletingSendsTheDeleteEventAndTheKeyGoes) {
    road = AddTestPrinter(name, kDriver);
    ASSERT_NE(road, nullptr);
    std::filesystem::create_directory(Folder() / "logs");
    DRIVER_LOG_SETTINGS settings{};
    settings.dlEnabled = 1;
    const std::u16string folder = FolderPath() + u"/logs";
    std::memcpy(settings.dlFolder, folder.data(), folder.size() * 2);
    std::u16string value = u"DriverLogFile";
    ASSERT_EQ(SetPrinterDataW(road, value.data(), REG_BINARY, reinterpret_cast<LPBYTE>(&settings), sizeof settings),
              static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_TRUE(DeletePrinter(road));
    const std::vector<uint8_t> log = ReadBytes(Folder() / "logs" / "VELTUI.log");
    EXPECT_NE(std::string(log.begin(), log.end()).find("Entering DrvPrinterEvent\r\n"), std::string::npos);
    EXPECT_FALSE(KeyExists(kPrintersKey + name));
}

TEST_F(SpoolerRoadTest, InstallingTheDriverAgainUpgradesItsPrinters) {
    road = AddTestPrinter(name, kDriver);
    ASSERT_NE(road, nullptr);
    std::vector<uint8_t> older(200, 0x5A);
    older[0] = 0x01, older[1] = 0x01, older[2] = 200, older[3] = 0;
    DWORD size = 200;
    std::u16string sizeName = u"PrinterDataSize", dataName = u"PrinterData";
    ASSERT_EQ(SetPrinterDataW(road, sizeName.data(), REG_DWORD, reinterpret_cast<LPBYTE>(&size), 4), 0u);
    ASSERT_EQ(SetPrinterDataW(road, dataName.data(), REG_BINARY, older.data(), 200), 0u);
    ASSERT_TRUE(InstallDriver());
    std::vector<uint8_t> upgraded = older;
    upgraded.resize(240, 0);
    upgraded[0] = 0x02, upgraded[1] = 0x01, upgraded[2] = 240, upgraded[3] = 0;
    EXPECT_EQ(Value(u"PrinterData"), upgraded);
}

TEST_F(SpoolerRoadTest, RefusedJobIsHeldAndAPrintableOnePrints) {
    road = AddTestPrinter(name, kDriver, u"USB042");
    ASSERT_NE(road, nullptr);
    HostClearPortBytes();
    DevmodeBytes noPaper(236);
    noPaper.Put16(64, 0x0401);
    noPaper.Put16(68, 220);
    noPaper.Put32(72, DM_ORIENTATION);
    const DWORD held = PrintJob(noPaper.record());
    DevmodeBytes paper = DevmodeBytes::Defaults(236, 220, 16);
    const DWORD printed = PrintJob(paper.record());
    ASSERT_NE(held, 0u);
    ASSERT_NE(printed, 0u);
    const std::vector<HostJobRecord> jobs = HostJobs(name.c_str());
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].id, held);
    EXPECT_TRUE(jobs[0].status & JOB_STATUS_BLOCKED_DEVQ) << std::hex << jobs[0].status;
    EXPECT_FALSE(jobs[0].status & (JOB_STATUS_PRINTED | JOB_STATUS_DELETED));
    EXPECT_TRUE(jobs[1].status & JOB_STATUS_PRINTED) << std::hex << jobs[1].status;
    EXPECT_EQ(HostPortBytes(u"USB042"), (std::vector<uint8_t>{0x1B, 0x40})) << "only the printable job's bytes";
    EXPECT_FALSE(IsPrinterIdle(road)) << "the held job stays in the queue";
}

} // namespace
