// The lstr* helpers and the UTF-8 <-> UTF-16 conversions.
#include "host_fixture.h"

namespace {

TEST(WideStrings, CopyNTerminatesAndNeverOverruns) {
    WCHAR buffer[6];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    lstrcpynW(buffer, u"abcdefgh", 4);
    EXPECT_EQ(std::u16string(buffer), u"abc");
    EXPECT_EQ(buffer[4], u'#'); // nothing written past the terminator
    lstrcpynW(buffer, u"xy", 6);
    EXPECT_EQ(std::u16string(buffer), u"xy");
}

TEST(WideStrings, ConcatenateLengthAndCompare) {
    WCHAR buffer[32];
    lstrcpyW(buffer, u"C:\\Logs");
    lstrcatW(buffer, u"\\VELTPD.log");
    EXPECT_EQ(std::u16string(buffer), u"C:\\Logs\\VELTPD.log");
    EXPECT_EQ(lstrlenW(buffer), 18);
    EXPECT_EQ(lstrlenW(nullptr), 0);
    EXPECT_EQ(lstrcmpW(u"abc", u"abc"), 0);
    EXPECT_LT(lstrcmpW(u"ab", u"abc"), 0);
    EXPECT_GT(lstrcmpW(u"b", u"abc"), 0);
    EXPECT_NE(lstrcmpW(u"ABC", u"abc"), 0);
    EXPECT_EQ(lstrcmpiW(u"VELT Printer", u"velt printer"), 0);
    EXPECT_EQ(lstrcmpiW(u"\u00C4rger", u"\u00E4RGER"), 0);
}

TEST(WideStrings, Utf8RoundTripIncludesSurrogatePairs) {
    const std::string text = "Dr\xC3\xBC"
                             "cker \xF0\x9F\x96\xA8";
    const std::u16string wide = HostWide(text);
    EXPECT_EQ(wide, u"Dr\u00FCcker \U0001F5A8");
    EXPECT_EQ(HostNarrow(wide.c_str()), text);
    EXPECT_EQ(HostWide("a\xFF"
                       "b"),
              u"a\uFFFDb"); // ill-formed input is replaced, not dropped
}

} // namespace
