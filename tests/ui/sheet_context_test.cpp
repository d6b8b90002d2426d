// The working record of a property sheet and the sheet-less document properties.
#include <gtest/gtest.h>

#include "devmode_bytes.h"
#include "sheet_context.h"
#include "ui_entry_points.h"
#include "ui_fixture.h"

namespace {

class SheetContextTest : public UiTest {
protected:
    // The printer's default device mode: 2-color, 80 x 200 mm, cut at the end of the document.
    void SetPrinterDefault() {
        DevmodeBytes record = DevmodeBytes::Defaults(236, 220, 16);
        record.Put16(80, 2000);
        record.Put16(82, 800);
        record.Put16(92, DMCOLOR_COLOR);
        record.Put16(234, 1);
        DWORD needed = 0;
        GetPrinterW(printer, 2, nullptr, 0, &needed);
        std::vector<BYTE> info(needed);
        ASSERT_TRUE(GetPrinterW(printer, 2, info.data(), needed, &needed));
        auto* level2 = reinterpret_cast<PRINTER_INFO_2W*>(info.data());
        level2->pDevMode = record.record();
        ASSERT_TRUE(SetPrinterW(printer, 2, info.data(), 0));
    }
    LONG WithoutSheet(DOCUMENTPROPERTYHEADER& header) {
        return DrvDocumentPropertySheets(nullptr, reinterpret_cast<LPARAM>(&header));
    }
};

TEST_F(SheetContextTest, WorkingRecordTakesDefaultsPrinterDefaultAndInput) {
    SetPrinterDefault();
    DevmodeBytes input = DevmodeBytes::Defaults(220, 220, 0); // no private part: the printer's stays
    input.Put32(72, DM_COPIES);
    input.Put16(86, 3);
    PSHEET_CONTEXT context = CreateSheetContext(printer, input.record());
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->self, context);
    EXPECT_EQ(context->printer, printer);
    EXPECT_EQ(std::u16string(context->driverName), u"VELT");
    const DEVMODEW& dm = context->devmode.dmPublic;
    EXPECT_EQ(std::u16string(dm.dmDeviceName), u"VELT") << "the driver's name";
    EXPECT_EQ(dm.dmPaperWidth, 800);
    EXPECT_EQ(dm.dmPaperLength, 2000);
    EXPECT_EQ(dm.dmColor, DMCOLOR_COLOR);
    EXPECT_EQ(dm.dmCopies, 3);
    EXPECT_EQ(dm.dmDriverExtra, 16);
    EXPECT_EQ(context->devmode.dmCuttingControl, 1);
    EXPECT_EQ(context->inputDevmode, input.record());
    const PRINTER_SETTINGS_RECORD defaults = DefaultSettingsRecord();
    EXPECT_EQ(BytesOf(&context->settings, 240), BytesOf(&defaults, 240)) << "none stored";
    ReleaseSheetContext(context);
    ReleaseSheetContext(nullptr);
}

TEST_F(SheetContextTest, SettingsRecordAndPaperListAreTakenFromThePrinter) {
    PRINTER_SETTINGS_RECORD stored = DefaultSettingsRecord();
    stored.psVersion = 0x0101;
    stored.psColorSetting = 1;
    stored.psPrinterModel = 1;
    ASSERT_TRUE(WriteSettingsRecord(printer, &stored));
    CUSTOM_PAPER_LIST list = BuiltInCustomPaperList();
    list.entries[3].length = 120;
    ASSERT_TRUE(WriteCustomPaperList(name.c_str(), &list));

    PSHEET_CONTEXT context = CreateSheetContext(printer, nullptr);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->settings.psVersion, 0x0102);
    EXPECT_EQ(context->settings.psColorSetting, 1);
    EXPECT_EQ(context->settings.psPrinterModel, 1);
    EXPECT_EQ(InMemoryCustomPaperList().entries[3].length, 120u);
    ReleaseSheetContext(context);
}

TEST_F(SheetContextTest, NoContextWithoutThePrintersInformationOrMemory) {
    EXPECT_EQ(CreateSheetContext(nullptr, nullptr), nullptr);
    const long blocks = HostHeapBlocksInUse();
    for (unsigned nth = 1; nth <= 3; ++nth) {
        HostFailAllocation(nth);
        PSHEET_CONTEXT context = CreateSheetContext(printer, nullptr);
        HostFailAllocation(0);
        ReleaseSheetContext(context);
        EXPECT_EQ(HostHeapBlocksInUse(), blocks) << "allocation " << nth << " failing leaves nothing behind";
    }
}

TEST_F(SheetContextTest, WithoutSheetTheSizeIsAnsweredAndRecordsCompleted) {
    SetPrinterDefault();
    struct Case {
        const char* what;
        DWORD mode;
        bool output;
        LONG answer;
        DWORD cbOut;
        bool written;
    } cases[] = {
        {"mode 0", 0, true, 236, 236, false},
        {"no output record", DM_COPY, false, 236, 236, false},
        {"copy", DM_COPY, true, 1, 0, true},
        {"update", DM_UPDATE, true, 1, 0, true},
        {"copy without permission", DM_COPY | DM_NOPERMISSION, true, 1, 0, false},
        {"prompt only", DM_PROMPT, true, 1, 0, false},
    };
    for (const Case& c : cases) {
        DevmodeBytes out(236);
        DOCUMENTPROPERTYHEADER header{
            sizeof header, 0, printer, name.data(), nullptr, c.output ? out.record() : nullptr, 0, c.mode};
        EXPECT_EQ(WithoutSheet(header), c.answer) << c.what;
        EXPECT_EQ(header.cbOut, c.cbOut) << c.what;
        EXPECT_EQ(out.Get16(68), c.written ? 220 : 0) << c.what;
        if (c.written) {
            EXPECT_EQ(out.Get16(82), 800) << c.what;
            EXPECT_EQ(out.Get16(92), DMCOLOR_COLOR) << c.what;
            EXPECT_EQ(out.Get32(220), PRIV_SIGNATURE) << c.what;
        }
    }
    EXPECT_EQ(DrvDocumentPropertySheets(nullptr, 0), 0);

    // The caller's smaller format wins.
    DevmodeBytes in = DevmodeBytes::Defaults(220, 220, 0);
    DevmodeBytes out(236);
    DOCUMENTPROPERTYHEADER header{sizeof header, 0, printer, name.data(), in.record(), out.record(), 0, DM_COPY};
    EXPECT_EQ(WithoutSheet(header), 1);
    EXPECT_EQ(out.Get16(70), 0);
    EXPECT_EQ(out.Get32(220), 0u) << "no private part written";

    DOCUMENTPROPERTYHEADER unknown{sizeof header, 0, nullptr, nullptr, nullptr, out.record(), 0, DM_COPY};
    EXPECT_EQ(WithoutSheet(unknown), -1);
}

TEST_F(SheetContextTest, LegacyEntriesAndSheetsAnswerAsTheyMayForNow) {
    EXPECT_EQ(DrvDocumentProperties(nullptr, printer, name.data(), nullptr, nullptr, 0), 1);
    EXPECT_EQ(DrvAdvancedDocumentProperties(nullptr, printer, name.data(), nullptr, nullptr), 1);
    PROPSHEETUI_INFO info{sizeof info, 0x100, 0, PROPSHEETUI_REASON_INIT, nullptr, nullptr, 0, 0, 0};
    EXPECT_EQ(DrvDocumentPropertySheets(&info, 0), -1);
    EXPECT_EQ(DrvDevicePropertySheets(&info, 0), -1);
}

} // namespace
