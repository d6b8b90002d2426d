// DrvConvertDevMode's size rules and last errors, and DevQueryPrintEx's held and printable jobs.
#include <gtest/gtest.h>

#include "devmode_bytes.h"
#include "ui_entry_points.h"
#include "ui_fixture.h"

namespace {

using ConvertDevmodeTest = UiTest;

std::vector<uint8_t> DriverDefaultBytes() {
    DRIVER_DEVMODE record;
    DevmodeSetDefaults(&record, TEXT("VELT"));
    const auto* p = reinterpret_cast<const uint8_t*>(&record);
    return std::vector<uint8_t>(p, p + sizeof record);
}

TEST_F(ConvertDevmodeTest, DriverDefaultNeeds236Bytes) {
    struct Case {
        LONG given;
        bool output;
        BOOL result;
        LONG after;
        DWORD error;
    } cases[] = {
        {236, true, TRUE, 236, kSentinelLastError},         {400, true, TRUE, 400, kSentinelLastError},
        {235, true, FALSE, 236, ERROR_INSUFFICIENT_BUFFER}, {0, true, FALSE, 236, ERROR_INSUFFICIENT_BUFFER},
        {-1, true, FALSE, 236, ERROR_INSUFFICIENT_BUFFER},  {236, false, FALSE, 236, ERROR_INSUFFICIENT_BUFFER},
    };
    for (const Case& c : cases) {
        DevmodeBytes out(400);
        std::fill(out.bytes().begin(), out.bytes().end(), 0xCD);
        LONG needed = c.given;
        std::u16string printerName = name;
        EXPECT_LAST_ERROR(c.error,
                          EXPECT_EQ(DrvConvertDevMode(printerName.data(), nullptr, c.output ? out.record() : nullptr,
                                                      &needed, CDM_DRIVER_DEFAULT),
                                    c.result))
            << c.given;
        EXPECT_EQ(needed, c.after) << c.given;
        std::vector<uint8_t> expected = c.result ? DriverDefaultBytes() : std::vector<uint8_t>{};
        expected.resize(400, 0xCD);
        EXPECT_EQ(out.bytes(), expected) << c.given;
    }
}

TEST_F(ConvertDevmodeTest, ConvertCopiesWhatBothRecordsHold) {
    struct Case {
        const char* what;
        uint16_t outSize, outExtra;
        LONG given;
        BOOL result;
        LONG after;
        DWORD error;
        size_t copiedPublic, copiedPrivate;
    } cases[] = {
        {"236 into 220 without private part", 220, 0, 220, TRUE, 220, kSentinelLastError, 220, 0},
        {"236 into 236", 220, 16, 236, TRUE, 236, kSentinelLastError, 220, 16},
        {"into an older 156-byte record", 156, 16, 300, TRUE, 172, kSentinelLastError, 156, 16},
        {"buffer one byte short", 220, 16, 235, FALSE, 236, ERROR_INSUFFICIENT_BUFFER, 0, 0},
        {"output record without a header", 40, 0, 100, FALSE, 100, ERROR_INVALID_PARAMETER, 0, 0},
    };
    for (const Case& c : cases) {
        DevmodeBytes in = DevmodeBytes::Defaults(236, 220, 16);
        in.Put16(86, 7);  // dmCopies
        in.Put32(224, 3); // dmUserSize
        DevmodeBytes out(300);
        out.Put16(64, 0x0300); // the output's own dmSpecVersion
        out.Put16(66, 0x0077); // and driver version
        out.Put16(68, c.outSize);
        out.Put16(70, c.outExtra);
        LONG needed = c.given;
        std::u16string printerName = name;
        EXPECT_LAST_ERROR(
            c.error,
            EXPECT_EQ(DrvConvertDevMode(printerName.data(), in.record(), out.record(), &needed, CDM_CONVERT), c.result))
            << c.what;
        EXPECT_EQ(needed, c.after) << c.what;
        EXPECT_EQ(out.Get16(64), 0x0300) << c.what << ": versions and sizes stay the output's";
        EXPECT_EQ(out.Get16(66), 0x0077) << c.what;
        EXPECT_EQ(out.Get16(68), c.outSize) << c.what;
        if (!c.result) continue;
        EXPECT_EQ(out.Get16(86), 7) << c.what;
        EXPECT_EQ(out.Get32(c.outSize + 4), c.copiedPrivate ? 3u : 0u) << c.what;
        for (size_t i = c.outSize + c.copiedPrivate; i < 300; ++i) ASSERT_EQ(out.bytes()[i], 0) << c.what << " @" << i;
    }
}

TEST_F(ConvertDevmodeTest, ArgumentsAndOtherModes) {
    DevmodeBytes in = DevmodeBytes::Defaults(236, 220, 16);
    DevmodeBytes out = DevmodeBytes::Defaults(236, 220, 16);
    const std::vector<uint8_t> before = out.bytes();
    LONG needed = 236;
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER,
                      EXPECT_FALSE(DrvConvertDevMode(nullptr, in.record(), out.record(), nullptr, CDM_CONVERT)));
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER,
                      EXPECT_FALSE(DrvConvertDevMode(nullptr, in.record(), nullptr, &needed, CDM_CONVERT)));
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER,
                      EXPECT_FALSE(DrvConvertDevMode(nullptr, nullptr, out.record(), &needed, CDM_CONVERT)));
    for (DWORD mode : {0u, static_cast<DWORD>(CDM_CONVERT351), 8u, 0x80000000u}) {
        EXPECT_LAST_ERROR(kSentinelLastError,
                          EXPECT_TRUE(DrvConvertDevMode(nullptr, in.record(), out.record(), &needed, mode)))
            << mode;
        EXPECT_EQ(out.bytes(), before) << mode;
        EXPECT_EQ(needed, 236) << mode;
    }
}

TEST_F(ConvertDevmodeTest, EntryIsLoggedThroughTheNamedPrinter) {
    EnableLog();
    LONG needed = 0;
    std::u16string printerName = name;
    DrvConvertDevMode(printerName.data(), nullptr, nullptr, &needed, CDM_DRIVER_DEFAULT);
    EXPECT_NE(UiLog().find("Entering DrvConvertDevMode\r\n"), std::string::npos);
}

using PrintQueryTest = UiTest;

TEST_F(PrintQueryTest, JobWithoutAnyPaperIsHeld) {
    struct Case {
        const char* what;
        uint32_t fields;
        int16_t paperSize, length, width;
        uint16_t dmSize;
        BOOL prints;
    } cases[] = {
        {"both sizes", DM_PAPERLENGTH | DM_PAPERWIDTH, 0, 500, 580, 220, TRUE},
        {"form name", DM_FORMNAME, 0, 0, 0, 220, TRUE},
        {"paper id 9", 0, 9, 0, 0, 220, TRUE},
        {"paper id without its bit", DM_ORIENTATION, 259, 0, 0, 220, TRUE},
        {"no paper at all", DM_ORIENTATION | DM_COPIES, 0, 0, 0, 220, FALSE},
        {"sizes named but zero", DM_PAPERLENGTH | DM_PAPERWIDTH, 0, 0, 580, 220, FALSE},
        {"negative width", DM_PAPERLENGTH | DM_PAPERWIDTH, 0, 500, -5, 220, FALSE},
        {"only the width bit", DM_PAPERWIDTH, 0, 500, 580, 220, FALSE},
        // A record that ends before its paper fields names none, whatever lies beyond its end.
        {"record of 76 bytes", DM_PAPERLENGTH | DM_PAPERWIDTH, 9, 500, 580, 76, FALSE},
    };
    for (const Case& c : cases) {
        DevmodeBytes job(236);
        job.Put16(64, 0x0401);
        job.Put16(68, c.dmSize);
        job.Put32(72, c.fields);
        job.Put16(78, static_cast<uint16_t>(c.paperSize));
        job.Put16(80, static_cast<uint16_t>(c.length));
        job.Put16(82, static_cast<uint16_t>(c.width));
        DEVQUERYPRINT_INFO info{sizeof(DEVQUERYPRINT_INFO), 1, printer, job.record(), nullptr, 0, 0};
        EXPECT_EQ(DevQueryPrintEx(&info), c.prints) << c.what;
    }
}

TEST_F(PrintQueryTest, AbsentRecordPrintsAndAnEmptyOneIsHeld) {
    WCHAR reason[8] = {u'x'};
    DEVQUERYPRINT_INFO info{sizeof(DEVQUERYPRINT_INFO), 1, printer, nullptr, reason, 8, 77};
    EXPECT_TRUE(DevQueryPrintEx(&info));
    DevmodeBytes empty(236);
    info.pDevMode = empty.record();
    EXPECT_FALSE(DevQueryPrintEx(&info));
    EXPECT_EQ(reason[0], u'x') << "no reason text is given";
    EXPECT_EQ(info.cchNeeded, 77u);

    DevmodeBytes job = DevmodeBytes::Defaults(236, 220, 16);
    info.pDevMode = job.record();
    HostFailAllocation(1);
    EXPECT_FALSE(DevQueryPrintEx(&info)) << "no memory for the scratch record";
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, EXPECT_FALSE(DevQueryPrintEx(nullptr)));
}

TEST_F(PrintQueryTest, EntryIsLogged) {
    EnableLog();
    DEVQUERYPRINT_INFO info{sizeof(DEVQUERYPRINT_INFO), 1, printer, nullptr, nullptr, 0, 0};
    DevQueryPrintEx(&info);
    EXPECT_NE(UiLog().find("Entering the function DevQueryPrintEx\r\n"), std::string::npos);
}

} // namespace
