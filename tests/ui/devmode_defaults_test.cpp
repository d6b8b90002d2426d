#include <gtest/gtest.h>

#include "devmode_bytes.h"

namespace {

// The default record, written out field by field from its stored layout.
std::vector<uint8_t> ExpectedDefaults(const std::u16string& name) {
    DevmodeBytes expected(236);
    expected.PutText(0, name);
    expected.Put16(64, 0x0401); // dmSpecVersion
    expected.Put16(66, 0x0102); // dmDriverVersion
    expected.Put16(68, 220);    // dmSize
    expected.Put16(70, 16);     // dmDriverExtra
    expected.Put32(72, 0x5F0F); // dmFields
    expected.Put16(76, 1);      // dmOrientation
    expected.Put16(78, 259);    // dmPaperSize
    expected.Put16(80, 500);    // dmPaperLength
    expected.Put16(82, 580);    // dmPaperWidth
    expected.Put16(84, 100);    // dmScale
    expected.Put16(86, 1);      // dmCopies
    expected.Put16(90, 203);    // dmPrintQuality
    expected.Put16(92, 1);      // dmColor
    expected.Put16(94, 1);      // dmDuplex
    expected.Put16(98, 3);      // dmTTOption
    expected.bytes()[220] = 'P';
    expected.bytes()[221] = 'R';
    expected.bytes()[222] = 'I';
    expected.bytes()[223] = 'V';
    return expected.bytes();
}

DRIVER_DEVMODE Filled(uint8_t junk) {
    DRIVER_DEVMODE record;
    std::memset(&record, junk, sizeof(record));
    return record;
}

TEST(DevmodeDefaults, EveryByteOfTheDefaultRecord) {
    DRIVER_DEVMODE record = Filled(0xA5);
    DevmodeSetDefaults(&record, TEXT("VELT"));
    EXPECT_EQ(BytesOf(record), ExpectedDefaults(u"VELT"));
}

TEST(DevmodeDefaults, NoNameLeavesTheDeviceNameEmpty) {
    DRIVER_DEVMODE record = Filled(0x5A);
    DevmodeSetDefaults(&record, nullptr);
    EXPECT_EQ(BytesOf(record), ExpectedDefaults(u""));
}

TEST(DevmodeDefaults, LongNamesAreCutTo31CharactersAndTerminated) {
    const std::u16string forty = u"Calvix Thermal Roll Printer Model 80 mm!";
    ASSERT_EQ(forty.size(), 40u);
    DRIVER_DEVMODE record = Filled(0xFF);
    DevmodeSetDefaults(&record, forty.c_str());
    EXPECT_EQ(BytesOf(record), ExpectedDefaults(forty.substr(0, 31)));
    EXPECT_EQ(record.dmPublic.dmDeviceName[31], 0);

    const std::u16string thirtyTwo = forty.substr(0, 32);
    DevmodeSetDefaults(&record, thirtyTwo.c_str());
    EXPECT_EQ(BytesOf(record), ExpectedDefaults(forty.substr(0, 31)));

    const std::u16string thirtyOne = forty.substr(0, 31);
    DevmodeSetDefaults(&record, thirtyOne.c_str());
    EXPECT_EQ(BytesOf(record), ExpectedDefaults(thirtyOne));
}

} // namespace
