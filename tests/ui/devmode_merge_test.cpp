// Built into one test program per library: the configuration interface's merge rules and the rendering
// driver's. They differ only in how a landscape job's paper is kept.
#include <gtest/gtest.h>

#include "devmode_bytes.h"
#include "host/testing.h"

namespace {

// The rules of the library this program stands for.
#if defined(MERGE_AS_RENDERING_DRIVER)
constexpr const DEVMODE_MERGE_RULES& kRules = RENDERING_DRIVER_MERGE_RULES;
#else
constexpr const DEVMODE_MERGE_RULES& kRules = CONFIGURATION_INTERFACE_MERGE_RULES;
#endif

constexpr uint32_t kAllFields = 0x5F0F;

class DevmodeMergeTest : public ::testing::Test {
protected:
    void SetUp() override {
        DevmodeSetDefaults(&working, TEXT("VELT"));
        working.dmPublic.dmCopies = 3;
        working.dmPublic.dmColor = 2;
        working.dmUserSize = 1;
        working.dmPageModeControl = 1;
        working.dmCuttingControl = 1;
    }

    // A full incoming record (220 + 16 bytes) declaring only `fields`.
    static DevmodeBytes Incoming(uint32_t fields) {
        DevmodeBytes incoming = DevmodeBytes::Defaults(236, 220, 16);
        incoming.Put32(72, fields);
        return incoming;
    }

    DRIVER_DEVMODE working;
};

TEST_F(DevmodeMergeTest, CopiesOutsideOneTo999BecomeOne) {
    for (int16_t copies : {0, 1000, -5}) {
        DevmodeBytes incoming = Incoming(DM_COPIES);
        incoming.Put16(86, static_cast<uint16_t>(copies));
        ASSERT_TRUE(DevmodeMerge(&working, incoming.record(), kRules));
        EXPECT_EQ(working.dmPublic.dmCopies, 1) << copies;
    }
    DevmodeBytes incoming = Incoming(DM_COPIES);
    incoming.Put16(86, 999);
    ASSERT_TRUE(DevmodeMerge(&working, incoming.record(), kRules));
    EXPECT_EQ(working.dmPublic.dmCopies, 999);
}

TEST_F(DevmodeMergeTest, PrintQualityIsAlways203AndDeclared) {
    working.dmPublic.dmFields &= ~static_cast<DWORD>(DM_PRINTQUALITY);
    DevmodeBytes incoming = Incoming(DM_PRINTQUALITY);
    incoming.Put16(90, 300);
    ASSERT_TRUE(DevmodeMerge(&working, incoming.record(), kRules));
    EXPECT_EQ(working.dmPublic.dmPrintQuality, 203);
    EXPECT_TRUE(working.dmPublic.dmFields & DM_PRINTQUALITY);
}

TEST_F(DevmodeMergeTest, OrientationColourAndDuplexAreNormalised) {
    DevmodeBytes incoming = Incoming(DM_ORIENTATION | DM_COLOR | DM_DUPLEX);
    incoming.Put16(76, 7);
    incoming.Put16(92, 3);
    incoming.Put16(94, 101);
    ASSERT_TRUE(DevmodeMerge(&working, incoming.record(), kRules));
    EXPECT_EQ(working.dmPublic.dmOrientation, 1);
    EXPECT_EQ(working.dmPublic.dmColor, 1);
    EXPECT_EQ(working.dmPublic.dmDuplex, 101);

    // An unknown duplex value falls back to single side and leaves the field bit as it was.
    working.dmPublic.dmFields &= ~static_cast<DWORD>(DM_DUPLEX);
    incoming.Put16(76, 2);
    incoming.Put16(92, 2);
    incoming.Put16(94, 4);
    ASSERT_TRUE(DevmodeMerge(&working, incoming.record(), kRules));
    EXPECT_EQ(working.dmPublic.dmOrientation, 2);
    EXPECT_EQ(working.dmPublic.dmColor, 2);
    EXPECT_EQ(working.dmPublic.dmDuplex, 1);
    EXPECT_FALSE(working.dmPublic.dmFields & DM_DUPLEX);
}

TEST_F(DevmodeMergeTest, UndeclaredFieldsAndOwnFieldsAreNotTakenOver) {
    DevmodeBytes incoming = Incoming(0);
    incoming.Put32(220, 0); // no private part of ours either
    incoming.PutText(0, u"Other");
    incoming.Put16(76, 2);
    incoming.Put16(86, 12);
    incoming.Put16(84, 50); // dmScale
    incoming.Put16(88, 7);  // dmDefaultSource
    incoming.Put16(98, 1);  // dmTTOption
    const auto before = BytesOf(working);
    ASSERT_TRUE(DevmodeMerge(&working, incoming.record(), kRules));
    EXPECT_EQ(BytesOf(working), before);

    DevmodeBytes all = Incoming(0xFFFFFFFF);
    all.PutText(0, u"Other");
    all.Put16(84, 50);
    all.Put16(88, 7);
    all.Put16(98, 1);
    ASSERT_TRUE(DevmodeMerge(&working, all.record(), kRules));
    EXPECT_EQ(std::u16string(working.dmPublic.dmDeviceName), u"VELT");
    EXPECT_EQ(working.dmPublic.dmScale, 100);
    EXPECT_EQ(working.dmPublic.dmDefaultSource, 0);
    EXPECT_EQ(working.dmPublic.dmTTOption, 3);
}

TEST_F(DevmodeMergeTest, PaperNeedsBothSizeBitsAndPositiveSizes) {
    struct Case {
        uint32_t fields;
        int16_t width;
        int16_t length;
    };
    for (const Case& c :
         {Case{DM_PAPERWIDTH | DM_PAPERSIZE, 800, 1200}, Case{DM_PAPERLENGTH, 800, 1200},
          Case{DM_PAPERWIDTH | DM_PAPERLENGTH, 0, 1200}, Case{DM_PAPERWIDTH | DM_PAPERLENGTH, 800, -1}}) {
        DevmodeBytes incoming = Incoming(c.fields);
        incoming.Put16(78, 261);
        incoming.Put16(80, static_cast<uint16_t>(c.length));
        incoming.Put16(82, static_cast<uint16_t>(c.width));
        ASSERT_TRUE(DevmodeMerge(&working, incoming.record(), kRules));
        EXPECT_EQ(working.dmPublic.dmPaperSize, 259);
        EXPECT_EQ(working.dmPublic.dmPaperLength, 500);
        EXPECT_EQ(working.dmPublic.dmPaperWidth, 580);
    }
}

TEST_F(DevmodeMergeTest, PaperIsTakenTogetherAndReplacesAFormName) {
    working.dmPublic.dmFields = DM_FORMNAME;
    DevmodeBytes incoming = Incoming(DM_PAPERWIDTH | DM_PAPERLENGTH);
    incoming.Put16(78, 262);
    incoming.Put16(80, 1200);
    incoming.Put16(82, 800);
    ASSERT_TRUE(DevmodeMerge(&working, incoming.record(), kRules));
    EXPECT_EQ(working.dmPublic.dmPaperSize, 262);
    EXPECT_EQ(working.dmPublic.dmPaperLength, 1200);
    EXPECT_EQ(working.dmPublic.dmPaperWidth, 800);
    EXPECT_EQ(working.dmPublic.dmFields, static_cast<DWORD>(DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH));
}

TEST_F(DevmodeMergeTest, LandscapePaperIsExchangedOnlyByTheRenderingDriver) {
    // The raw orientation counts, whether or not the record declares it.
    for (uint32_t orientationBit : {static_cast<uint32_t>(DM_ORIENTATION), 0u}) {
        DRIVER_DEVMODE record;
        DevmodeSetDefaults(&record, nullptr);
        DevmodeBytes incoming = Incoming(DM_PAPERWIDTH | DM_PAPERLENGTH | orientationBit);
        incoming.Put16(76, 2);
        incoming.Put16(80, 2000);
        incoming.Put16(82, 800);
        ASSERT_TRUE(DevmodeMerge(&record, incoming.record(), kRules));
#if defined(MERGE_AS_RENDERING_DRIVER)
        EXPECT_EQ(record.dmPublic.dmPaperWidth, 2000);
        EXPECT_EQ(record.dmPublic.dmPaperLength, 800);
#else
        EXPECT_EQ(record.dmPublic.dmPaperWidth, 800);
        EXPECT_EQ(record.dmPublic.dmPaperLength, 2000);
#endif
    }
    // Portrait keeps the sizes as they came in both libraries.
    DRIVER_DEVMODE record;
    DevmodeSetDefaults(&record, nullptr);
    DevmodeBytes incoming = Incoming(DM_PAPERWIDTH | DM_PAPERLENGTH | DM_ORIENTATION);
    incoming.Put16(80, 2000);
    incoming.Put16(82, 800);
    ASSERT_TRUE(DevmodeMerge(&record, incoming.record(), kRules));
    EXPECT_EQ(record.dmPublic.dmPaperWidth, 800);
    EXPECT_EQ(record.dmPublic.dmPaperLength, 2000);
}

TEST_F(DevmodeMergeTest, OlderShortRecordWithoutPrivatePart) {
    // An older public layout of 156 bytes and no private part: nothing beyond byte 156 is judged.
    DevmodeBytes incoming = DevmodeBytes::Defaults(156, 156, 0);
    incoming.Put32(72, kAllFields);
    incoming.Put16(86, 5);
    incoming.Put16(92, 1);
    const auto before = BytesOf(working);
    ASSERT_TRUE(DevmodeMerge(&working, incoming.record(), kRules));
    EXPECT_EQ(working.dmPublic.dmCopies, 5);
    EXPECT_EQ(working.dmPublic.dmColor, 1);
    auto after = BytesOf(working);
    EXPECT_TRUE(std::equal(after.begin() + 156, after.end(), before.begin() + 156));
}

TEST_F(DevmodeMergeTest, PrivatePartIsTakenWholeOnlyWithItsSignature) {
    DevmodeBytes ours = Incoming(0);
    ours.Put32(224, 4);
    ours.Put32(228, 0xABCD);
    ours.Put16(232, 0);
    ours.Put16(234, 0);
    ASSERT_TRUE(DevmodeMerge(&working, ours.record(), kRules));
    EXPECT_EQ(working.dmUserSize, 4u);
    EXPECT_EQ(working.dmPrivReserved, 0xABCDu);
    EXPECT_EQ(working.dmPageModeControl, 0);
    EXPECT_EQ(working.dmCuttingControl, 0);

    DevmodeBytes foreign = Incoming(0);
    foreign.Put32(220, 0x58595A57); // another driver's signature
    foreign.Put32(224, 0);
    foreign.Put16(232, 1);
    const auto before = BytesOf(working);
    ASSERT_TRUE(DevmodeMerge(&working, foreign.record(), kRules));
    EXPECT_EQ(BytesOf(working), before);
}

// A cutting control other than 0 or 1 (a stored -3 left the paper uncut) keeps the working value;
// the page-mode control is taken as it comes.
TEST_F(DevmodeMergeTest, AnOutOfRangeCuttingControlKeepsTheWorkingValue) {
    struct Case {
        int16_t pageMode, cutting;
        int16_t wantPageMode, wantCutting;
    };
    for (const Case& c :
         {Case{0, -3, 0, 1}, Case{2, 7, 2, 1}, Case{0, 0x7FFF, 0, 1}, Case{1, 0, 1, 0}, Case{0, -32768, 0, 1}}) {
        SetUp();
        DevmodeBytes ours = Incoming(0);
        ours.Put16(232, static_cast<uint16_t>(c.pageMode));
        ours.Put16(234, static_cast<uint16_t>(c.cutting));
        ASSERT_TRUE(DevmodeMerge(&working, ours.record(), kRules));
        EXPECT_EQ(working.dmPageModeControl, c.wantPageMode) << c.pageMode << " " << c.cutting;
        EXPECT_EQ(working.dmCuttingControl, c.wantCutting) << c.pageMode << " " << c.cutting;
    }
}

TEST_F(DevmodeMergeTest, ShortPrivatePartSuppliesOnlyItsBytes) {
    DevmodeBytes incoming = DevmodeBytes::Defaults(228, 220, 8);
    incoming.Put32(72, 0);
    incoming.Put32(224, 3);
    ASSERT_TRUE(DevmodeMerge(&working, incoming.record(), kRules));
    EXPECT_EQ(working.dmUserSize, 3u);
    EXPECT_EQ(working.dmPageModeControl, 1);
    EXPECT_EQ(working.dmCuttingControl, 1);
}

TEST_F(DevmodeMergeTest, LargerPublicLayoutIsReadOnlyWithinItsDeclaredBytes) {
    DevmodeBytes incoming = DevmodeBytes::Defaults(316, 300, 16);
    incoming.Put32(72, DM_COPIES);
    incoming.Put16(86, 9);
    incoming.bytes()[300] = 'P';
    incoming.bytes()[301] = 'R';
    incoming.bytes()[302] = 'I';
    incoming.bytes()[303] = 'V';
    incoming.Put32(304, 2);
    ASSERT_TRUE(DevmodeMerge(&working, incoming.record(), kRules));
    EXPECT_EQ(working.dmPublic.dmCopies, 9);
    EXPECT_EQ(working.dmUserSize, 2u);
    EXPECT_EQ(working.dmPublic.dmSize, 220);
    EXPECT_EQ(working.dmPublic.dmDriverExtra, 16);
}

TEST_F(DevmodeMergeTest, FailuresLeaveTheWorkingRecordUnchanged) {
    const auto before = BytesOf(working);
    const long blocks = HostHeapBlocksInUse();

    DevmodeBytes empty = Incoming(kAllFields);
    empty.Put16(68, 0);
    empty.Put16(70, 0);
    empty.Put16(86, 8);
    EXPECT_FALSE(DevmodeMerge(&working, empty.record(), kRules));
    EXPECT_EQ(BytesOf(working), before);

    DevmodeBytes good = Incoming(DM_COPIES);
    good.Put16(86, 8);
    HostFailAllocation(1);
    EXPECT_FALSE(DevmodeMerge(&working, good.record(), kRules));
    HostFailAllocation(0);
    EXPECT_EQ(BytesOf(working), before);

    EXPECT_TRUE(DevmodeMerge(&working, nullptr, kRules));
    EXPECT_TRUE(DevmodeMerge(nullptr, good.record(), kRules));
    EXPECT_EQ(BytesOf(working), before);

    EXPECT_TRUE(DevmodeMerge(&working, good.record(), kRules));
    EXPECT_EQ(working.dmPublic.dmCopies, 8);
    EXPECT_EQ(HostHeapBlocksInUse(), blocks) << "the scratch record is released on every path";
}

} // namespace
