// The default record and the two readers' rules over a stored record's bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "printer_settings_record.h"

namespace {

std::vector<uint8_t> BytesOf(const PRINTER_SETTINGS_RECORD& record) {
    const auto* p = reinterpret_cast<const uint8_t*>(&record);
    return std::vector<uint8_t>(p, p + sizeof(record));
}

// A stored record as ReadSettingsRecord hands it over: exactly these bytes on the platform heap.
StoredSettingsRecord Stored(const std::vector<uint8_t>& bytes) {
    StoredSettingsRecord stored;
    stored.bytes.reset(static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, bytes.size())));
    std::memcpy(stored.bytes.get(), bytes.data(), bytes.size());
    stored.size = static_cast<DWORD>(bytes.size());
    return stored;
}

std::vector<uint8_t> RecordBytes(size_t size, uint16_t version, uint16_t declaredSize) {
    std::vector<uint8_t> bytes(size, 0);
    bytes[0] = static_cast<uint8_t>(version);
    bytes[1] = static_cast<uint8_t>(version >> 8);
    bytes[2] = static_cast<uint8_t>(declaredSize);
    bytes[3] = static_cast<uint8_t>(declaredSize >> 8);
    return bytes;
}

std::vector<uint8_t> DefaultBytes() { return RecordBytes(240, 0x0102, 240); }

TEST(SettingsRecord, DefaultRecordByteForByte) { EXPECT_EQ(BytesOf(DefaultSettingsRecord()), DefaultBytes()); }

TEST(SettingsRecordWorkingCopy, NoStoredRecordGivesTheDefault) {
    EXPECT_EQ(BytesOf(SettingsRecordWorkingCopy(StoredSettingsRecord{})), DefaultBytes());
}

TEST(SettingsRecordWorkingCopy, OlderRecordIsTakenUpToItsSizeAndBroughtToTheCurrentVersion) {
    std::vector<uint8_t> stored = RecordBytes(240, 0x0101, 240);
    stored[228] = 3;    // psUserSize
    stored[232] = 1;    // psPrinterModel
    stored[234] = 1;    // psColorSetting
    stored[100] = 0x77; // reserved bytes travel along
    std::vector<uint8_t> expected = stored;
    expected[0] = 0x02;
    EXPECT_EQ(BytesOf(SettingsRecordWorkingCopy(Stored(stored))), expected);
}

TEST(SettingsRecordWorkingCopy, DeclaredSizeLimitsTheCopy) {
    std::vector<uint8_t> stored = RecordBytes(240, 0x0102, 230);
    stored[228] = 4;
    stored[232] = 1; // beyond the declared 230 bytes
    std::vector<uint8_t> expected = DefaultBytes();
    expected[228] = 4;
    EXPECT_EQ(BytesOf(SettingsRecordWorkingCopy(Stored(stored))), expected);
}

TEST(SettingsRecordWorkingCopy, DeclaredSizeIsNeverBelievedBeyondTheBytesRead) {
    // 100 bytes that claim to be 240: only the 100 are there.
    std::vector<uint8_t> stored = RecordBytes(100, 0x0102, 240);
    stored[99] = 0x55;
    std::vector<uint8_t> expected = DefaultBytes();
    expected[99] = 0x55;
    EXPECT_EQ(BytesOf(SettingsRecordWorkingCopy(Stored(stored))), expected);

    // Longer than our record: the first 240 bytes.
    std::vector<uint8_t> longer = RecordBytes(300, 0x0102, 300);
    longer[234] = 1;
    longer[260] = 0x99;
    expected = DefaultBytes();
    expected[234] = 1;
    EXPECT_EQ(BytesOf(SettingsRecordWorkingCopy(Stored(longer))), expected);

    // Too short even for the size field.
    std::vector<uint8_t> tiny = {0x01};
    EXPECT_EQ(BytesOf(SettingsRecordWorkingCopy(Stored(tiny))), DefaultBytes());
}

TEST(SettingsRecordColorSetting, OnlyFromARecordReachingOffset236AndOnlyZeroOrOne) {
    SHORT color = -1;
    std::vector<uint8_t> record = DefaultBytes();
    record[234] = 1;
    EXPECT_TRUE(SettingsRecordColorSetting(Stored(record), &color));
    EXPECT_EQ(color, 1);

    record.resize(236);
    record[234] = 0;
    EXPECT_TRUE(SettingsRecordColorSetting(Stored(record), &color));
    EXPECT_EQ(color, 0);

    record.resize(235);
    EXPECT_FALSE(SettingsRecordColorSetting(Stored(record), &color));

    record = DefaultBytes();
    record[234] = 2;
    EXPECT_FALSE(SettingsRecordColorSetting(Stored(record), &color));
    record[234] = 0xFF;
    record[235] = 0xFF; // -1
    EXPECT_FALSE(SettingsRecordColorSetting(Stored(record), &color));
    EXPECT_FALSE(SettingsRecordColorSetting(StoredSettingsRecord{}, &color));
    EXPECT_EQ(color, 0);
}

} // namespace
