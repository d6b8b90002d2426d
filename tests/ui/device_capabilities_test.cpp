// DrvDeviceCapabilities: every index with and without an output buffer, stored and built-in paper
// lists, and the failures.
#include <gtest/gtest.h>

#include "devmode_bytes.h"
#include "ui_entry_points.h"
#include "ui_fixture.h"

namespace {

constexpr uint8_t kUntouched = 0xCD;

class DeviceCapabilitiesTest : public UiTest {
protected:
    DWORD Ask(WORD index, void* output, DEVMODEW* input = nullptr) {
        std::u16string device = name;
        return DrvDeviceCapabilities(printer, device.data(), index, output, input);
    }
    std::vector<uint8_t> PaperListBytes() const { return Stored(u"CustomPaperList"); }
};

std::vector<uint8_t> Words(std::initializer_list<uint16_t> values) {
    std::vector<uint8_t> bytes;
    for (uint16_t v : values) bytes.insert(bytes.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
    return bytes;
}

std::vector<uint8_t> Longs(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> bytes;
    for (uint32_t v : values)
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(v >> shift));
    return bytes;
}

std::vector<uint8_t> NameSlots() {
    std::vector<uint8_t> bytes(5 * 64 * 2, kUntouched);
    const std::u16string names[] = {u"User Defined Size 1", u"User Defined Size 2", u"User Defined Size 3",
                                    u"User Defined Size 4", u"User Defined Size 5"};
    for (size_t i = 0; i < 5; ++i) {
        std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(i * 128), 64, 0); // first 32 characters cleared
        for (size_t c = 0; c < names[i].size(); ++c) {
            bytes[i * 128 + 2 * c] = static_cast<uint8_t>(names[i][c]);
            bytes[i * 128 + 2 * c + 1] = 0;
        }
    }
    return bytes;
}

struct CapabilityCase {
    const char* name;
    WORD index;
    DWORD answer;
    std::vector<uint8_t> output; // the output buffer's first bytes afterwards; the rest stays untouched
};

TEST_F(DeviceCapabilitiesTest, EveryIndexAnswersAndWritesOnlyItsOutput) {
    const CapabilityCase cases[] = {
        {"DC_FIELDS", DC_FIELDS, 0x5F0F, {}},
        {"DC_PAPERS", DC_PAPERS, 5, Words({259, 260, 261, 262, 263})},
        {"DC_PAPERSIZE", DC_PAPERSIZE, 5, Longs({580, 500, 580, 500, 580, 500, 580, 500, 580, 500})},
        {"DC_MINEXTENT", DC_MINEXTENT, 0x01F40244, {}},
        {"DC_MAXEXTENT", DC_MAXEXTENT, 0x0AA00320, {}},
        {"DC_DUPLEX", DC_DUPLEX, 1, {}},
        {"DC_SIZE", DC_SIZE, 220, {}},
        {"DC_EXTRA", DC_EXTRA, 16, {}},
        {"DC_VERSION", DC_VERSION, 0x0401, {}},
        {"DC_DRIVER", DC_DRIVER, 0x0102, {}},
        {"DC_ENUMRESOLUTIONS", DC_ENUMRESOLUTIONS, 1, Longs({203, 203})},
        {"DC_FILEDEPENDENCIES", DC_FILEDEPENDENCIES, 0, {0}},
        {"DC_TRUETYPE", DC_TRUETYPE, 6, {}},
        {"DC_PAPERNAMES", DC_PAPERNAMES, 5, NameSlots()},
        {"DC_ORIENTATION", DC_ORIENTATION, 90, {}},
        {"DC_COPIES", DC_COPIES, 999, {}},
        {"DC_COLORDEVICE", DC_COLORDEVICE, 1, {}},
        {"DC_BINS", DC_BINS, GDI_ERROR, {}},
        {"DC_BINNAMES", DC_BINNAMES, GDI_ERROR, {}},
        {"DC_COLLATE", DC_COLLATE, GDI_ERROR, {}},
        {"DC_NUP", DC_NUP, GDI_ERROR, {}},
        {"DC_MEDIATYPES", DC_MEDIATYPES, GDI_ERROR, {}},
        {"index 0", 0, GDI_ERROR, {}},
        {"index 0xFFFF", 0xFFFF, GDI_ERROR, {}},
    };
    for (const CapabilityCase& c : cases) {
        EXPECT_EQ(Ask(c.index, nullptr), c.answer) << c.name << " without output";
        std::vector<uint8_t> buffer(1024, kUntouched);
        EXPECT_EQ(Ask(c.index, buffer.data()), c.answer) << c.name << " with output";
        std::vector<uint8_t> expected = c.output;
        expected.resize(buffer.size(), kUntouched);
        // Bytes of a slot that DC_PAPERNAMES doesn't clear keep what the caller had.
        EXPECT_EQ(buffer, expected) << c.name;
    }
}

TEST_F(DeviceCapabilitiesTest, StoredPaperListGivesSizesAndNames) {
    CUSTOM_PAPER_LIST list = BuiltInCustomPaperList();
    list.entries[2].width = 80;
    list.entries[2].length = 200;
    const std::u16string receipt = u"Receipt 80 x 200";
    std::memset(list.entries[4].name, 0, sizeof list.entries[4].name);
    std::memcpy(list.entries[4].name, receipt.data(), receipt.size() * 2);
    list.entries[1].width = 0x10000 + 58; // only the low 16 bits count
    ASSERT_TRUE(WriteCustomPaperList(name.c_str(), &list));

    std::vector<LONG> points(10);
    EXPECT_EQ(Ask(DC_PAPERSIZE, points.data()), 5u);
    EXPECT_EQ(points, (std::vector<LONG>{580, 500, 580, 500, 800, 2000, 580, 500, 580, 500}));

    std::vector<WCHAR> names(5 * 64);
    EXPECT_EQ(Ask(DC_PAPERNAMES, names.data()), 5u);
    EXPECT_EQ(std::u16string(names.data() + 4 * 64), receipt);
    EXPECT_EQ(std::u16string(names.data() + 2 * 64), u"User Defined Size 3");
}

TEST_F(DeviceCapabilitiesTest, FullNameFieldIsCutToItsTerminatedLength) {
    CUSTOM_PAPER_LIST list = BuiltInCustomPaperList();
    for (WCHAR& c : list.entries[0].name) c = u'N'; // no terminator in the stored field
    std::vector<uint8_t> bytes = BytesOf(&list, sizeof list);
    Store(u"CustomPaperList", REG_BINARY, bytes);
    std::vector<WCHAR> names(5 * 64, u'#');
    EXPECT_EQ(Ask(DC_PAPERNAMES, names.data()), 5u);
    EXPECT_EQ(std::u16string(names.data()), std::u16string(21, u'N'));
    EXPECT_EQ(names[32], u'#') << "the slot beyond its first 32 characters is the caller's";
}

TEST_F(DeviceCapabilitiesTest, PrinterWithoutPaperListGetsTheBuiltInOneStored) {
    ASSERT_TRUE(PaperListBytes().empty());
    std::vector<LONG> points(10);
    EXPECT_EQ(Ask(DC_PAPERSIZE, points.data()), 5u);
    EXPECT_EQ(points, (std::vector<LONG>{580, 500, 580, 500, 580, 500, 580, 500, 580, 500}));
    const CUSTOM_PAPER_LIST builtIn = BuiltInCustomPaperList();
    EXPECT_EQ(PaperListBytes(), BytesOf(&builtIn, sizeof builtIn));
    EXPECT_EQ(std::u16string(currentPrinterName), name);
}

TEST_F(DeviceCapabilitiesTest, InputRecordIsMergedAndAnEmptyOneFails) {
    DevmodeBytes job = DevmodeBytes::Defaults(236, 220, 16);
    job.Put32(72, DM_ORIENTATION | DM_COLOR);
    EXPECT_EQ(Ask(DC_FIELDS, nullptr, job.record()), 0x5F0Fu);
    DevmodeBytes empty(236);
    EXPECT_EQ(Ask(DC_FIELDS, nullptr, empty.record()), GDI_ERROR) << "a record of no bytes";
    EXPECT_EQ(Ask(DC_PAPERS, nullptr, empty.record()), GDI_ERROR);
}

TEST_F(DeviceCapabilitiesTest, NoMemoryForTheScratchRecord) {
    HostFailAllocation(1);
    EXPECT_EQ(Ask(DC_COPIES, nullptr), GDI_ERROR);
}

TEST_F(DeviceCapabilitiesTest, EntryIsLogged) {
    EnableLog();
    Ask(DC_COPIES, nullptr);
    EXPECT_NE(UiLog().find("Entering DrvDeviceCapabilities\r\n"), std::string::npos);
}

} // namespace
