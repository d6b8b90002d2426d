#include <gtest/gtest.h>

#include "devmode_bytes.h"

namespace {

DRIVER_DEVMODE Working() {
    DRIVER_DEVMODE record;
    DevmodeSetDefaults(&record, TEXT("VELT"));
    return record;
}

TEST(DevmodeCopyContent, ShortSourceKeepsTheTargetsOwnFormatAndLaterBytes) {
    DevmodeBytes source = DevmodeBytes::Defaults(156, 156, 0);
    source.Put16(64, 0x0300); // an older format version
    source.Put16(66, 0x0007);
    source.Put16(86, 42); // dmCopies inside the short record
    DRIVER_DEVMODE target = Working();
    target.dmPublic.dmPanningHeight = 0x11223344; // beyond the source's end
    target.dmUserSize = 3;

    EXPECT_EQ(DevmodeCopyContent(source.record(), &target.dmPublic), 156u);
    EXPECT_EQ(target.dmPublic.dmCopies, 42);
    EXPECT_EQ(target.dmPublic.dmSpecVersion, 0x0401);
    EXPECT_EQ(target.dmPublic.dmDriverVersion, 0x0102);
    EXPECT_EQ(target.dmPublic.dmSize, 220);
    EXPECT_EQ(target.dmPublic.dmDriverExtra, 16);
    EXPECT_EQ(target.dmPublic.dmPanningHeight, 0x11223344u);
    EXPECT_EQ(target.dmUserSize, 3u);
    EXPECT_EQ(target.dmPrivSignature, PRIV_SIGNATURE);
}

TEST(DevmodeCopyContent, PrivatePartComesFromTheEndOfTheSourcesPublicPart) {
    // A newer, larger public layout: its private part starts at 300, not 220.
    DevmodeBytes source = DevmodeBytes::Defaults(316, 300, 16);
    source.Put32(220, 0xDEADBEEF); // public bytes of the larger layout, not a private part
    source.bytes()[300] = 'P';
    source.bytes()[301] = 'R';
    source.bytes()[302] = 'I';
    source.bytes()[303] = 'V';
    source.Put32(304, 4);
    DRIVER_DEVMODE target = Working();

    EXPECT_EQ(DevmodeCopyContent(source.record(), &target.dmPublic), 236u);
    EXPECT_EQ(target.dmPrivSignature, PRIV_SIGNATURE);
    EXPECT_EQ(target.dmUserSize, 4u);
}

TEST(DevmodeCopyContent, ShortPrivatePartSuppliesOnlyItsBytes) {
    DevmodeBytes source = DevmodeBytes::Defaults(228, 220, 8);
    source.Put32(224, 2);
    DRIVER_DEVMODE target = Working();
    target.dmPageModeControl = 1;

    EXPECT_EQ(DevmodeCopyContent(source.record(), &target.dmPublic), 228u);
    EXPECT_EQ(target.dmUserSize, 2u);
    EXPECT_EQ(target.dmPageModeControl, 1);
}

TEST(DevmodeCopyContent, NamesThatFillTheirFieldsArriveTerminated) {
    DevmodeBytes source = DevmodeBytes::Defaults(236, 220, 16);
    source.PutText(0, std::u16string(32, u'N'));
    source.PutText(102, std::u16string(32, u'F'));
    DRIVER_DEVMODE target = Working();

    DevmodeCopyContent(source.record(), &target.dmPublic);
    EXPECT_EQ(std::u16string(target.dmPublic.dmDeviceName), std::u16string(31, u'N'));
    EXPECT_EQ(std::u16string(target.dmPublic.dmFormName), std::u16string(31, u'F'));
}

TEST(DevmodeCopyContent, RecordEndingInsideANameFieldIsWrittenOnlyWithinItsBytes) {
    // 165 bytes end halfway through the form name's last character.
    DevmodeBytes target = DevmodeBytes::Defaults(165, 165, 0);
    DevmodeBytes source = DevmodeBytes::Defaults(236, 220, 16);
    source.PutText(102, std::u16string(32, u'F'));
    EXPECT_EQ(DevmodeCopyContent(source.record(), target.record()), 165u);
    EXPECT_EQ(target.bytes()[164], 'F');
}

TEST(DevmodeCopyContent, NothingToCopy) {
    DevmodeBytes empty = DevmodeBytes::Defaults(72, 0, 0);
    DRIVER_DEVMODE target = Working();
    const auto before = BytesOf(target);
    EXPECT_EQ(DevmodeCopyContent(empty.record(), &target.dmPublic), 0u);
    EXPECT_EQ(BytesOf(target), before);
    EXPECT_EQ(DevmodeCopyContent(nullptr, &target.dmPublic), 0u);
    EXPECT_EQ(DevmodeCopyContent(&target.dmPublic, nullptr), 0u);

    // A target whose private part would overlay its own header is never written.
    DevmodeBytes tiny = DevmodeBytes::Defaults(88, 40, 16);
    const auto tinyBefore = tiny.bytes();
    EXPECT_EQ(DevmodeCopyContent(&target.dmPublic, tiny.record()), 0u);
    EXPECT_EQ(tiny.bytes(), tinyBefore);
}

class DevmodeWriteOutTest : public ::testing::Test {
protected:
    void SetUp() override {
        DevmodeSetDefaults(&working, TEXT("VELT"));
        working.dmPublic.dmCopies = 7;
        working.dmUserSize = 2;
        output.assign(236, 0xCC);
    }
    DEVMODEW* Output() { return reinterpret_cast<DEVMODEW*>(output.data()); }

    DRIVER_DEVMODE working;
    std::vector<uint8_t> output;
};

TEST_F(DevmodeWriteOutTest, WithoutCallersInputTheWholeRecord) {
    EXPECT_TRUE(DevmodeWriteOut(&working, nullptr, Output()));
    EXPECT_EQ(output, BytesOf(working));
}

TEST_F(DevmodeWriteOutTest, CallerWithoutPrivatePartGets220BytesAndNoPrivatePart) {
    DevmodeBytes input = DevmodeBytes::Defaults(220, 220, 0);
    input.Put16(66, 0x0001);
    EXPECT_TRUE(DevmodeWriteOut(&working, input.record(), Output()));

    auto expected = BytesOf(working);
    expected[66] = 0x01; // the caller's driver version goes with its smaller private size
    expected[67] = 0x00;
    expected[70] = 0; // dmDriverExtra 0
    std::fill(expected.begin() + 220, expected.end(), 0xCC);
    EXPECT_EQ(output, expected);
}

TEST_F(DevmodeWriteOutTest, OlderCallerFormatGetsItsVersionSizeAndPrivatePartAfterIt) {
    DevmodeBytes input = DevmodeBytes::Defaults(172, 156, 16);
    input.Put16(64, 0x0320);
    EXPECT_TRUE(DevmodeWriteOut(&working, input.record(), Output()));

    auto expected = BytesOf(working);
    expected[64] = 0x20;
    expected[65] = 0x03;
    expected[68] = 156;
    std::copy(expected.begin() + 220, expected.end(), expected.begin() + 156); // private part moves up
    std::fill(expected.begin() + 172, expected.end(), 0xCC);
    EXPECT_EQ(output, expected);
}

TEST_F(DevmodeWriteOutTest, LargerOrEqualCallerFormatGetsOurs) {
    DevmodeBytes input = DevmodeBytes::Defaults(332, 300, 32);
    input.Put16(64, 0x0500);
    input.Put16(66, 0x0900);
    EXPECT_TRUE(DevmodeWriteOut(&working, input.record(), Output()));
    EXPECT_EQ(output, BytesOf(working));
}

TEST_F(DevmodeWriteOutTest, InPlaceOverTheCallersInput) {
    DevmodeBytes inPlace = DevmodeBytes::Defaults(236, 220, 16);
    inPlace.Put16(86, 99);
    EXPECT_TRUE(DevmodeWriteOut(&working, inPlace.record(), inPlace.record()));
    EXPECT_EQ(inPlace.bytes(), BytesOf(working));
}

TEST_F(DevmodeWriteOutTest, CallerFormatTooSmallToHoldARecordFails) {
    DevmodeBytes input = DevmodeBytes::Defaults(72, 0, 16);
    EXPECT_FALSE(DevmodeWriteOut(&working, input.record(), Output()));
    EXPECT_EQ(output, std::vector<uint8_t>(236, 0xCC));
    DevmodeBytes headerOnly = DevmodeBytes::Defaults(72, 72, 0);
    EXPECT_TRUE(DevmodeWriteOut(&working, headerOnly.record(), Output()));
    EXPECT_FALSE(DevmodeWriteOut(&working, nullptr, nullptr));
}

} // namespace
