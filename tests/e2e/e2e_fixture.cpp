#include "e2e_fixture.h"

#include <cstring>

namespace e2e {

void EndToEnd::SetUp() {
    HostTest::SetUp();
    HostClearPortBytes();
    SetVerticalDotCount(24);
    std::vector<BYTE> defaults = Devmode({});
    HANDLE printer =
        AddTestPrinter(kPrinter, u"VELT K9x", kPort, PRINTER_ALL_ACCESS, reinterpret_cast<DEVMODEW*>(defaults.data()));
    ASSERT_NE(printer, nullptr);
    ClosePrinter(printer);
}

void EndToEnd::SetVerticalDotCount(DWORD rows) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Calvix", 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, u"VerticalDotCount", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&rows), sizeof rows),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

std::vector<BYTE> EndToEnd::Devmode(const Settings& s) {
    DRIVER_DEVMODE record;
    DevmodeSetDefaults(&record, kPrinter);
    record.dmPublic.dmPaperWidth = s.paper.width;
    record.dmPublic.dmPaperLength = s.paper.length;
    record.dmPublic.dmColor = s.color;
    record.dmPublic.dmDuplex = s.duplex;
    record.dmPageModeControl = s.pageModeControl;
    record.dmCuttingControl = s.cuttingControl;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&record);
    return std::vector<BYTE>(bytes, bytes + sizeof record);
}

Bytes EndToEnd::Print(const Settings& settings, const std::vector<const HostPicture*>& pages, HostPlacement placement) {
    HostPrintJob job;
    job.printer = kPrinter;
    job.devmode = Devmode(settings);
    for (const HostPicture* p : pages) job.pages.push_back({p, placement});
    last_ = HostPrintPages(job);
    EXPECT_TRUE(last_.ok) << last_.Message();
    return HostPortBytes(kPort);
}

vprinter::JobResult EndToEnd::Decode(const Bytes& bytes, const DecodeOn& on) {
    vprinter::VirtualPrinter printer(on.printer);
    printer.Feed(bytes);
    vprinter::JobResult result = printer.Finish();
    for (const vprinter::StreamError& error : result.errors) ADD_FAILURE() << "decode error: " << Describe(error);
    std::vector<bool> met(on.expectWarnings.size(), false);
    for (const vprinter::Notice& warning : result.warnings) {
        bool expected = false;
        for (size_t i = 0; i < on.expectWarnings.size(); ++i) {
            if (warning.text.find(on.expectWarnings[i]) != std::string::npos) {
                met[i] = true;
                expected = true;
            }
        }
        if (!expected) ADD_FAILURE() << "decode warning: " << Describe(warning);
    }
    for (size_t i = 0; i < met.size(); ++i)
        if (!met[i]) ADD_FAILURE() << "expected decode warning not given: " << on.expectWarnings[i];
    return result;
}

std::string SideText(const vprinter::SideImage& side, int top, int rows, int x0, int x1) {
    std::string text;
    for (int r = top; r < top + rows; ++r) {
        for (int x = x0; x < x1; ++x) {
            vprinter::Dot d = r < side.Rows() && x < side.Width() ? side.At(x, r) : vprinter::Dot::White;
            text += d == vprinter::Dot::Black ? '#' : d == vprinter::Dot::Colour ? 'r' : '.';
        }
        text += '\n';
    }
    return text;
}

} // namespace e2e
