// The printer-data mailbox: each request's exchange with the printer byte for byte, the results it
// leaves in "Setprintdata", the port-name rules, and the current printer's name read back safely.
#include "last_error.h"
#include "lmon_fixture.h"
#include "mailbox.h"

namespace {

constexpr DWORD kUnset = 0xAAAAAAAA; // "Setprintdata" as the test leaves it before a request

class MailboxTest : public MonitorTest {
protected:
    void SetUp() override {
        MonitorTest::SetUp();
        SetCurrentPrinter(kPrinter);
        StoreSetprintdata(kUnset);
    }

    static void SetCurrentPrinter(const std::u16string& name) {
        StoreCalvixValue(u"CurrentPrinterName", REG_SZ, name.c_str(), static_cast<DWORD>((name.size() + 1) * 2));
    }
    void StoreSetprintdata(DWORD value) {
        std::u16string name = u"Setprintdata";
        ASSERT_EQ(SetPrinterDataW(printer, name.data(), REG_BINARY, reinterpret_cast<LPBYTE>(&value), 4),
                  static_cast<DWORD>(ERROR_SUCCESS));
    }
    DWORD Setprintdata() {
        std::u16string name = u"Setprintdata";
        DWORD value = 0, type = 0, needed = 0;
        EXPECT_EQ(GetPrinterDataW(printer, name.data(), &type, reinterpret_cast<LPBYTE>(&value), 4, &needed),
                  static_cast<DWORD>(ERROR_SUCCESS));
        return value;
    }
    void StoreColorData(std::vector<uint8_t> bytes) {
        std::u16string name = u"ColorDataFile";
        ASSERT_EQ(SetPrinterDataW(printer, name.data(), REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size())),
                  static_cast<DWORD>(ERROR_SUCCESS));
    }

    struct Answer {
        BOOL result;
        std::vector<uint8_t> output;
        DWORD returned;
    };
    Answer Request(HANDLE port, const std::u16string& valueName, DWORD size = 4) {
        std::u16string name = valueName;
        std::vector<uint8_t> output(size + 8, 0xEE);
        DWORD returned = 0xFFFF;
        const BOOL result = monitor->pfnGetPrinterDataFromPort(
            port, 0, name.data(), nullptr, 0, reinterpret_cast<LPWSTR>(output.data()), size, &returned);
        output.resize(size);
        return {result, output, returned};
    }

    // The port monitor's calls after the port's own opening and status polls, as "call bytes" lines.
    static std::vector<std::string> Exchange(const std::u16string& port) {
        std::vector<std::string> lines;
        for (const auto& e : FakePortMonitor::Events(port)) {
            if (e.call == "open" || e.call == "query" || e.call == "query-answered") continue;
            std::string line = e.call;
            for (uint8_t b : e.bytes) {
                char hex[4];
                std::snprintf(hex, sizeof hex, " %02X", b);
                line += hex;
            }
            lines.push_back(line);
        }
        return lines;
    }
};

// ---- The four exchanges ----

struct ExchangeCase {
    const char* name;
    std::u16string port;
    std::u16string request;
    std::vector<uint8_t> reply; // what the printer answers a read with
    std::vector<std::string> exchange;
    BOOL result;
    std::vector<uint8_t> output; // the first four bytes of the caller's buffer
    DWORD returned;              // 0xFFFF: not set
    DWORD setprintdata;
};

const std::vector<ExchangeCase> kExchanges = {
    {"PrintConfigOnUsb",
     u"USB001",
     u"Printconfig",
     {},
     {"start", "write 1B 40 1F 74", "end"},
     TRUE,
     {0xEE, 0xEE, 0xEE, 0xEE},
     0xFFFF,
     1},
    {"PrintConfigOnComReadsFirst",
     u"COM1",
     u"Printconfig",
     {0x12},
     {"start", "read 12", "write 1B 40 1F 74", "end"},
     TRUE,
     {0x12, 0xEE, 0xEE, 0xEE},
     0xFFFF,
     1},
    {"PrintConfigOnLpt",
     u"lpt1",
     u"PRINTCONFIG",
     {},
     {"start", "read", "write 1B 40 1F 74", "end"},
     TRUE,
     {0xEE, 0xEE, 0xEE, 0xEE},
     0xFFFF,
     1},
    {"GetConfigOthers",
     u"USB001",
     u"Getconfig_others",
     {0x00, 0x18, 0x00, 0x00},
     {"start", "write 1B 40 1F 31 04", "read 00 18 00 00", "end"},
     TRUE,
     {0x00, 0x18, 0x00, 0x00},
     4,
     1},
    {"GetConfigBuffer",
     u"usb001",
     u"getconfig_BUFFER",
     {0x00, 0x08, 0x00, 0x00},
     {"start", "write 1B 40 1F 31 02", "read 00 08 00 00", "end"},
     TRUE,
     {0x00, 0x08, 0x00, 0x00},
     4,
     1},
    {"ShortReplyCountsFour",
     u"COM2",
     u"Getconfig_others",
     {0x5A},
     {"start", "write 1B 40 1F 31 04", "read 5A", "end"},
     TRUE,
     {0x5A, 0xEE, 0xEE, 0xEE},
     4,
     1},
};

class ExchangeTest : public MailboxTest, public ::testing::WithParamInterface<ExchangeCase> {};

TEST_P(ExchangeTest, BytesAndResult) {
    const ExchangeCase& c = GetParam();
    FakePortMonitor::With(c.port, [&](FakePortState& p) { p.readReply = c.reply; });
    const HANDLE port = OpenPort(c.port);
    const Answer answer = Request(port, c.request);
    EXPECT_EQ(Exchange(c.port), c.exchange);
    EXPECT_EQ(answer.result, c.result);
    EXPECT_EQ(answer.output, c.output);
    EXPECT_EQ(answer.returned, c.returned);
    EXPECT_EQ(Setprintdata(), c.setprintdata);
    for (const auto& e : FakePortMonitor::Events(c.port)) {
        if (e.call == "start") {
            EXPECT_EQ(e.value, 0u) << "the port monitor's document has job id 0";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Requests, ExchangeTest, ::testing::ValuesIn(kExchanges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MailboxTest, ReplyIsReadThirtyMillisecondsAfterTheRequest) {
    const HANDLE port = OpenPort();
    Request(port, u"Getconfig_others");
    DWORD written = 0, read = 0;
    for (const auto& e : FakePortMonitor::Events(u"USB001")) {
        if (e.call == "write") written = e.tick;
        if (e.call == "read") read = e.tick;
    }
    EXPECT_GE(read - written, 30u);
}

TEST_F(MailboxTest, ReplyCountNeverExceedsTheCallersBuffer) {
    FakePortMonitor::With(u"USB001", [](FakePortState& p) { p.readReply = {1, 2, 3, 4}; });
    const HANDLE port = OpenPort();
    EXPECT_EQ(Request(port, u"Getconfig_others", 2).returned, 2u);
}

struct ColourCase {
    const char* name;
    std::vector<uint8_t> colorData; // empty: not stored
    std::vector<std::string> exchange;
    BOOL result;
    DWORD setprintdata;
};

class SetColorTest : public MailboxTest, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(SetColorTest, SendsTheStoredCommand) {
    const ColourCase& c = GetParam();
    if (!c.colorData.empty()) StoreColorData(c.colorData);
    const HANDLE port = OpenPort();
    const Answer answer = Request(port, u"Setcolor", 100);
    EXPECT_EQ(Exchange(u"USB001"), c.exchange);
    EXPECT_EQ(answer.result, c.result);
    EXPECT_EQ(Setprintdata(), c.setprintdata);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SetColorTest,
    ::testing::Values(
        ColourCase{"Mono", {0x1F, 0x32, 0x00, 0x08, 0x04}, {"start", "write 1F 32 00 08 04", "end"}, TRUE, 1},
        ColourCase{"TwoColour", {0x1F, 0x32, 0x00, 0x18, 0x04}, {"start", "write 1F 32 00 18 04", "end"}, TRUE, 1},
        ColourCase{"NotStored", {}, {"start", "end"}, FALSE, 0},
        ColourCase{"TooShort", {0x1F, 0x32, 0x00}, {"start", "end"}, FALSE, 0},
        ColourCase{"TooLong", {0x1F, 0x32, 0x00, 0x18, 0x04, 0x00}, {"start", "end"}, FALSE, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Failures ----

struct FailureCase {
    const char* name;
    std::function<void(FakePortState&)> fault;
    std::vector<std::string> exchange;
    DWORD setprintdata;
};

class RequestFailureTest : public MailboxTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RequestFailureTest, StopsAndEndsThePortMonitorsDocument) {
    FakePortMonitor::With(u"USB001", GetParam().fault);
    const HANDLE port = OpenPort();
    EXPECT_FALSE(Request(port, u"Getconfig_others").result);
    EXPECT_EQ(Exchange(u"USB001"), GetParam().exchange);
    EXPECT_EQ(Setprintdata(), GetParam().setprintdata);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RequestFailureTest,
    ::testing::Values(
        FailureCase{"StartFails", [](FakePortState& p) { p.startFails = true; }, {"start", "end"}, kUnset},
        FailureCase{"WriteFails", [](FakePortState& p) { p.failWrites = 1; }, {"start", "write-failed", "end"}, 0},
        FailureCase{"ReadFails",
                    [](FakePortState& p) { p.readFails = true; },
                    {"start", "write 1B 40 1F 31 04", "read", "end"},
                    0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MailboxTest, OtherValueNamesAreRefused) {
    const HANDLE port = OpenPort();
    for (const char16_t* name : {u"Setprintdata", u"PrinterData", u"ColorDataFile", u"Printconfig2", u""}) {
        EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, EXPECT_FALSE(Request(port, name).result));
    }
    std::vector<uint8_t> out(4);
    DWORD returned = 0;
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER,
                      EXPECT_FALSE(monitor->pfnGetPrinterDataFromPort(
                          port, 0, nullptr, nullptr, 0, reinterpret_cast<LPWSTR>(out.data()), 4, &returned)));
    EXPECT_TRUE(Exchange(u"USB001").empty());
}

struct PortNameCase {
    std::u16string port;
    bool served;
};

class PortNameTest : public MailboxTest, public ::testing::WithParamInterface<PortNameCase> {};

TEST_P(PortNameTest, AllThreeLettersInOneCase) {
    const HANDLE port = OpenPort(GetParam().port);
    SetSentinelLastError();
    const Answer answer = Request(port, u"Printconfig");
    EXPECT_EQ(answer.result, GetParam().served);
    if (!GetParam().served) {
        EXPECT_LAST_ERROR(kSentinelLastError);
        EXPECT_TRUE(Exchange(GetParam().port).empty()) << "nothing is sent";
        EXPECT_EQ(Setprintdata(), kUnset);
    }
    EXPECT_EQ(lmon::MailboxServesPort(GetParam().port.c_str()), GetParam().served);
}

INSTANTIATE_TEST_SUITE_P(Names, PortNameTest,
                         ::testing::Values(PortNameCase{u"USB001", true}, PortNameCase{u"usb001", true},
                                           PortNameCase{u"COM1", true}, PortNameCase{u"com3", true},
                                           PortNameCase{u"LPT1", true}, PortNameCase{u"lpt1", true},
                                           PortNameCase{u"Usb001", false}, PortNameCase{u"uSB001", false},
                                           PortNameCase{u"cOm1", false}, PortNameCase{u"FILE:", false},
                                           PortNameCase{u"US", false}, PortNameCase{u"NUL", false}),
                         [](const auto& info) {
                             std::string name;
                             for (char16_t c : info.param.port)
                                 if (std::isalnum(static_cast<int>(c))) name += static_cast<char>(c);
                             return name + (info.param.served ? "Served" : "Refused");
                         });

TEST_F(MailboxTest, FillBlockThatWentNowhereGoesBeforeTheRequest) {
    StoreColorSetting(0);
    StoreVerticalDotCount(1);
    const HANDLE port = OpenPort();
    const DWORD job = QueueJob();
    ASSERT_TRUE(StartDoc(port, job));
    ASSERT_TRUE(Write(port, {0x1B, 0x2C}));
    FakePortMonitor::With(u"USB001", [](FakePortState& p) { p.writeTakesNothing = true; });
    CancelJob(job);
    ASSERT_TRUE(monitor->pfnEndDocPort(port));
    ASSERT_EQ(lmon::Monitor().fillPending.load(), 1);
    FakePortMonitor::Reset();
    FakePortMonitor::With(u"USB001", [](FakePortState& p) { p.readReply = {0, 0x18, 0, 0}; });
    std::string zeros = "write";
    for (int i = 0; i < 81; ++i) zeros += " 00";
    Request(port, u"Getconfig_others");
    EXPECT_EQ(Exchange(u"USB001"),
              (std::vector<std::string>{"start", zeros, "write 1B 40 1F 31 04", "read 00 18 00 00", "end"}));
    EXPECT_EQ(lmon::Monitor().fillPending.load(), 0);
}

// ---- The current printer ----

TEST_F(MailboxTest, WithoutACurrentPrinterNothingIsStoredAndSetcolorSendsNothing) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Calvix", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueW(key, u"CurrentPrinterName"), ERROR_SUCCESS);
    RegCloseKey(key);
    StoreColorData({0x1F, 0x32, 0x00, 0x18, 0x04});
    FakePortMonitor::With(u"USB001", [](FakePortState& p) { p.readReply = {1, 2, 3, 4}; });
    const HANDLE port = OpenPort();
    EXPECT_TRUE(Request(port, u"Getconfig_others").result);
    EXPECT_TRUE(Request(port, u"Setcolor", 100).result) << "the port monitor's start decides";
    EXPECT_EQ(Setprintdata(), kUnset);
    EXPECT_EQ(FakePortMonitor::Count(u"USB001", "write"), 1);
}

struct NameCase {
    const char* name;
    std::vector<char16_t> stored; // the value's characters exactly as stored (no terminator added)
    bool opens;
};

class CurrentPrinterNameTest : public MailboxTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(CurrentPrinterNameTest, ReadIntoItsBufferAndEndedThere) {
    const auto& stored = GetParam().stored;
    StoreCalvixValue(u"CurrentPrinterName", REG_SZ, stored.data(), static_cast<DWORD>(stored.size() * 2));
    const velt::PrinterHandle opened = lmon::OpenCurrentPrinter();
    EXPECT_EQ(static_cast<bool>(opened), GetParam().opens);
}

std::vector<char16_t> Chars(const std::u16string& text, bool terminated) {
    std::vector<char16_t> chars(text.begin(), text.end());
    if (terminated) chars.push_back(0);
    return chars;
}

INSTANTIATE_TEST_SUITE_P(Values, CurrentPrinterNameTest,
                         ::testing::Values(NameCase{"AsWritten", Chars(kPrinter, true), true},
                                           NameCase{"WithoutTerminator", Chars(kPrinter, false), true},
                                           NameCase{"FillsTheBuffer", Chars(std::u16string(512, u'x'), false), false},
                                           NameCase{"LongerThanTheBuffer", Chars(std::u16string(600, u'x'), true),
                                                    false},
                                           NameCase{"Empty", Chars(u"", true), false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
