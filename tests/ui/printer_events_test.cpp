// DrvPrinterEvent and DrvUpgradePrinter: the settings record's normalisation from missing, short and
// older records, every event path, and the upgrade's failures.
#include <gtest/gtest.h>

#include "settings_normalize.h"
#include "ui_entry_points.h"
#include "ui_fixture.h"

namespace {

class PrinterEventsTest : public UiTest {
protected:
    static std::vector<uint8_t> Record(uint16_t version, uint16_t size, size_t bytes, uint8_t fill) {
        std::vector<uint8_t> record(bytes, fill);
        if (bytes >= 2) record[0] = static_cast<uint8_t>(version), record[1] = static_cast<uint8_t>(version >> 8);
        if (bytes >= 4) record[2] = static_cast<uint8_t>(size), record[3] = static_cast<uint8_t>(size >> 8);
        return record;
    }
    static std::vector<uint8_t> Current(std::vector<uint8_t> body) {
        body.resize(240, 0);
        body[0] = 0x02, body[1] = 0x01, body[2] = 240, body[3] = 0;
        return body;
    }
    std::vector<uint8_t> StoredSize() const { return Stored(u"PrinterDataSize"); }
    BOOL Event(INT event) {
        std::u16string n = name;
        return DrvPrinterEvent(n.data(), event, 0, 0);
    }
};

struct NormalizeCase {
    const char* what;
    bool storeSize;
    DWORD sizeValue;
    std::vector<uint8_t> data; // stored "PrinterData" (none when empty)
    std::vector<uint8_t> expected;
};

TEST_F(PrinterEventsTest, InitialiseStoresTheRecordInTheCurrentVersion) {
    std::vector<uint8_t> older = Record(0x0101, 200, 200, 0x5A);
    std::vector<uint8_t> olderExpected(older.begin(), older.end());
    std::vector<uint8_t> tooLong = Record(0x0100, 200, 100, 0x33); // size field beyond what was stored
    std::vector<uint8_t> newer = Record(0x0103, 260, 260, 0x44);
    const NormalizeCase cases[] = {
        {"no record", false, 0, {}, Current({})},
        {"size 0", true, 0, Record(0x0102, 240, 240, 0x11), Current({})},
        {"short read: size 240, 236 stored", true, 240, Record(0x0102, 240, 236, 0x22), Current({})},
        {"older record of 200 bytes", true, 200, older, Current(olderExpected)},
        {"older record whose size field says more than it holds", true, 100, tooLong, Current(tooLong)},
        {"older record whose size field says less", true, 240, Record(0x0101, 8, 240, 0x66),
         Current(Record(0x0101, 8, 8, 0x66))},
        {"current record kept", true, 240, Record(0x0102, 240, 240, 0x77), Record(0x0102, 240, 240, 0x77)},
        {"newer record: first 240 bytes", true, 260, newer, std::vector<uint8_t>(newer.begin(), newer.begin() + 240)},
        {"current version, 100 bytes", true, 100, Record(0x0102, 100, 100, 0x55),
         [] {
             auto r = Record(0x0102, 100, 100, 0x55);
             r.resize(240, 0);
             return r;
         }()},
    };
    for (const NormalizeCase& c : cases) {
        std::u16string size = u"PrinterDataSize", data = u"PrinterData";
        DeletePrinterDataW(printer, size.data());
        DeletePrinterDataW(printer, data.data());
        if (c.storeSize) StoreDword(u"PrinterDataSize", c.sizeValue);
        if (!c.data.empty()) Store(u"PrinterData", REG_BINARY, c.data);
        EXPECT_TRUE(Event(PRINTER_EVENT_INITIALIZE)) << c.what;
        DWORD type = 0;
        EXPECT_EQ(Stored(u"PrinterData", &type), c.expected) << c.what;
        EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY)) << c.what;
        EXPECT_EQ(StoredSize(), (std::vector<uint8_t>{240, 0, 0, 0})) << c.what;
    }
}

TEST_F(PrinterEventsTest, NormaliseFailsOnlyWithoutMemory) {
    HostFailAllocation(1);
    EXPECT_FALSE(NormalizeSettingsRecord(printer));
    EXPECT_TRUE(Stored(u"PrinterData").empty());
    EXPECT_TRUE(NormalizeSettingsRecord(printer));
    EXPECT_EQ(Stored(u"PrinterData"), Current({}));
}

TEST_F(PrinterEventsTest, InitialiseOfAPrinterThatDoesNotOpenStillSucceeds) {
    std::u16string missing = u"No Such Printer";
    EXPECT_TRUE(DrvPrinterEvent(missing.data(), PRINTER_EVENT_INITIALIZE, 0, 0));
    EXPECT_TRUE(DrvPrinterEvent(nullptr, PRINTER_EVENT_INITIALIZE, 0, 0));
}

TEST_F(PrinterEventsTest, DeleteRemovesThePrintersKeyAndAlwaysSucceeds) {
    const std::u16string key = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" + name;
    auto create = [](const std::u16string& path) {
        HKEY k = nullptr;
        ASSERT_EQ(
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
        RegCloseKey(k);
    };
    auto exists = [](const std::u16string& path) {
        HKEY k = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
        RegCloseKey(k);
        return true;
    };
    create(key);
    create(key + u" 2");
    EXPECT_TRUE(Event(PRINTER_EVENT_DELETE));
    EXPECT_FALSE(exists(key));
    EXPECT_TRUE(exists(key + u" 2")) << "only the printer's own key";

    create(key + u"\\PrinterDriverData");
    EXPECT_TRUE(Event(PRINTER_EVENT_DELETE)) << "a key with sub-keys stays, the event still succeeds";
    EXPECT_TRUE(exists(key));
    EXPECT_TRUE(Event(PRINTER_EVENT_DELETE));
    EXPECT_TRUE(DrvPrinterEvent(nullptr, PRINTER_EVENT_DELETE, 0, 0));
}

TEST_F(PrinterEventsTest, CacheRefreshAndOtherEventsSucceedWithoutChange) {
    const INT events[] = {PRINTER_EVENT_CACHE_REFRESH,
                          PRINTER_EVENT_CONFIGURATION_CHANGE,
                          PRINTER_EVENT_ADD_CONNECTION,
                          PRINTER_EVENT_DELETE_CONNECTION,
                          PRINTER_EVENT_CACHE_DELETE,
                          PRINTER_EVENT_ATTRIBUTES_CHANGED,
                          99,
                          -1};
    for (INT event : events) {
        EXPECT_TRUE(Event(event)) << event;
        EXPECT_TRUE(Stored(u"PrinterData").empty()) << event;
    }
    // The identity was given back: the next refresh gets its token afresh.
    EXPECT_TRUE(Event(PRINTER_EVENT_CACHE_REFRESH));
}

TEST_F(PrinterEventsTest, EventsAreLogged) {
    EnableLog();
    Event(99);
    EXPECT_NE(UiLog().find("Entering DrvPrinterEvent\r\n"), std::string::npos);
}

TEST_F(PrinterEventsTest, UpgradeNormalisesTheNamedPrinter) {
    StoreDword(u"PrinterDataSize", 200);
    Store(u"PrinterData", REG_BINARY, Record(0x0101, 200, 200, 0x5A));
    std::u16string n = name;
    DRIVER_UPGRADE_INFO_1 info{n.data(), nullptr};
    EXPECT_LAST_ERROR(kSentinelLastError, EXPECT_TRUE(DrvUpgradePrinter(1, reinterpret_cast<LPBYTE>(&info))));
    EXPECT_EQ(Stored(u"PrinterData"), Current(Record(0x0101, 200, 200, 0x5A)));
    EXPECT_EQ(StoredSize(), (std::vector<uint8_t>{240, 0, 0, 0}));
}

TEST_F(PrinterEventsTest, UpgradeFailures) {
    std::u16string n = name, missing = u"No Such Printer";
    DRIVER_UPGRADE_INFO_1 good{n.data(), nullptr}, unknown{missing.data(), nullptr}, unnamed{nullptr, nullptr};
    struct Case {
        const char* what;
        DWORD level;
        DRIVER_UPGRADE_INFO_1* info;
    } cases[] = {
        {"level 2", 2, &good},
        {"level 0", 0, &good},
        {"no info", 1, nullptr},
        {"unknown printer", 1, &unknown},
        {"no printer name", 1, &unnamed},
    };
    for (const Case& c : cases) {
        EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER,
                          EXPECT_FALSE(DrvUpgradePrinter(c.level, reinterpret_cast<LPBYTE>(c.info))))
            << c.what;
    }
    EXPECT_TRUE(Stored(u"PrinterData").empty());

    EnableLog();
    EXPECT_TRUE(DrvUpgradePrinter(1, reinterpret_cast<LPBYTE>(&good)));
    EXPECT_NE(UiLog().find(" Entering DrvUpgradePrinter\r\n"), std::string::npos);
}

} // namespace
