// The virtual printer's folder: its state file, which another process may change while a job prints
// and which KEY=VALUE words set; port.bin, every byte of a job in order; pictures that never lie half
// written under their own names; the speed at which paper comes out; and the ports attached to it.
#include <gtest/gtest.h>

#include <fstream>

#include "host_fixture.h"
#include "port_backend.h"
#include "printer_stream.h"
#include "state_file.h"
#include "virtual_port.h"

using namespace vprinter;

namespace {

using PrinterFolderTest = HostTest;

std::string FileText(const std::filesystem::path& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(PrinterFolderTest, EachKeySetsItsConditionAndItsStatusReplyBit) {
    struct Case {
        const char* key;
        const char* value;
        Reply reply; // the status reply with only this condition set
    };
    const Case cases[] = {
        {"paper", "out", {0, 0, 0, 0x20}},    {"door", "open", {0, 0x04, 0, 0}},
        {"cutter", "error", {0, 0, 0x08, 0}}, {"head-temp", "error", {0, 0, 0x40, 0}},
        {"power", "error", {0, 0, 0x60, 0}},  {"head", "disconnected", {0, 0, 0x20, 0}},
        {"busy", "yes", {0x08, 0, 0, 0}},     {"stopped", "yes", {0, 0x20, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        PrinterState state;
        std::string error;
        ASSERT_TRUE(SetStateWord(state, c.key, c.value, error)) << error;
        EXPECT_EQ(StatusReply(state), c.reply);
        bool shown = false;
        for (const auto& [key, value] : StateWords(state)) shown = shown || (key == c.key && value == c.value);
        EXPECT_TRUE(shown);
    }
}

TEST_F(PrinterFolderTest, ConfigurationKeysAndTheirWordsRoundTripAndBadWordsAreNamed) {
    struct Case {
        const char* key;
        const char* value;
        std::string error; // empty: accepted
    };
    const Case cases[] = {
        {"width", "58", ""},
        {"paper-colors", "1", ""},
        {"knife", "off", ""},
        {"buffer", "line", ""},
        {"speed", "25", ""},
        {"width", "60", "width takes 80 or 58, not '60'"},
        {"paper", "gone", "paper takes ok or out, not 'gone'"},
        {"head", "error", "head takes ok or disconnected, not 'error'"},
        {"speed", "-1", "speed takes millimetres per second from 0 to 99999, not '-1'"},
        {"speed", "", "speed takes millimetres per second from 0 to 99999, not ''"},
        {"colour", "2", "unknown key 'colour'"},
    };
    PrinterState state;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        std::string error;
        EXPECT_EQ(SetStateWord(state, c.key, c.value, error), c.error.empty());
        EXPECT_EQ(error, c.error);
    }
    EXPECT_EQ(state.paperWidth, PaperWidth::Mm58);
    EXPECT_FALSE(state.twoColourPaper);
    EXPECT_FALSE(state.knife);
    EXPECT_TRUE(state.oneLineBuffer);
    EXPECT_EQ(state.speed, 25u);
    EXPECT_EQ(ConfigurationReply(state, CONFIG_GROUP_OTHERS), (Reply{0, 0x28, 0, 0}));

    // The file keeps every word; read back it is the same state.
    const auto file = Folder() / "printer" / STATE_FILE_NAME;
    std::string error;
    state.configByte0 = 0x5A;
    ASSERT_TRUE(WriteStateFile(file, state, error)) << error;
    PrinterState read;
    ASSERT_TRUE(ReadStateFile(file, &read, error)) << error;
    EXPECT_EQ(read, state);
    EXPECT_NE(FileText(file).find("\"paper-colors\": \"1\""), std::string::npos) << FileText(file);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.parent_path()), {}), 1);

    std::ofstream(file) << "{\"paper\": \"maybe\"}";
    EXPECT_FALSE(ReadStateFile(file, &read, error));
    EXPECT_EQ(error, "'" + file.string() + "': paper takes ok or out, not 'maybe'");
    std::ofstream(file) << "not json";
    EXPECT_FALSE(ReadStateFile(file, &read, error));
    EXPECT_EQ(read, state); // a bad file changes nothing
}

TEST_F(PrinterFolderTest, AnotherProcessChangesTheStateWhileAJobPrints) {
    const auto folder = Folder() / "USB001";
    VirtualPort printing(folder);
    uint8_t request[3] = {0x14, 0x01, 0x01}, reply[4] = {};
    ASSERT_EQ(printing.VendorCommand(request, reply), 4u);
    EXPECT_EQ(Reply({reply[0], reply[1], reply[2], reply[3]}), (Reply{0, 0, 0, 0}));

    // "velt virtual-printer set paper=out" in another shell: another port object on the same folder.
    PrinterState out;
    out.paperOut = true;
    VirtualPort(folder).SetState(out);
    ASSERT_EQ(printing.VendorCommand(request, reply), 4u);
    EXPECT_EQ(reply[3], 0x20);

    // A set-configuration command the printer receives is kept in the file for every other reader.
    printing.StartDoc(0);
    printing.Write(Bytes{0x1F, 0x32, 0x00, 0x08, 0x04}); // 58 mm, mono, knife on
    std::string error;
    ASSERT_TRUE(printing.EndDoc(error));
    EXPECT_EQ(VirtualPort(folder).State().paperWidth, PaperWidth::Mm58);
    EXPECT_TRUE(VirtualPort(folder).State().paperOut);
}

TEST_F(PrinterFolderTest, PortBinHoldsEveryByteOfTheJobInOrderAndPicturesHaveNoPartsLeft) {
    const auto folder = Folder() / "USB001";
    VirtualPort port(folder);
    const Bytes job =
        PrinterStream().Initialise().StandardMode().Raster(0, {PrinterLine::Mono().Dot(40)}).Feed(180).Cut().Data();
    port.StartDoc(41);
    for (size_t at = 0; at < job.size(); at += 7)
        port.Write(std::span(job).subspan(at, std::min<size_t>(7, job.size() - at)));
    port.Write(Bytes{0x1B, 0x40});
    std::string error;
    ASSERT_TRUE(port.EndDoc(error)) << error;
    Bytes expected = job;
    expected.insert(expected.end(), {0x1B, 0x40});
    EXPECT_EQ(ReadBytes(folder / "job-41" / "port.bin"), expected);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "job-41"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"piece-001.png", "port.bin", "report.txt"}));
}

TEST_F(PrinterFolderTest, AtASetSpeedThePaperTakesItsTimeToComeOut) {
    struct Case {
        unsigned speed;
        int rows;
        DWORD milliseconds;
    };
    // 8 dot rows a millimetre: 400 rows are 50 mm.
    const Case cases[] = {{0, 400, 0}, {50, 400, 1000}, {10, 400, 5000}, {25, 80, 400}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        PrinterState state;
        state.speed = c.speed;
        VirtualPort port(Folder() / ("speed-" + std::to_string(c.speed)), state);
        std::vector<PrinterLine> lines(static_cast<size_t>(c.rows), PrinterLine::Mono());
        const Bytes job = PrinterStream().Initialise().StandardMode().Raster(0, lines).Data();
        const DWORD before = GetTickCount();
        port.StartDoc(1);
        port.Write(job);
        EXPECT_NEAR(static_cast<double>(GetTickCount() - before), c.milliseconds, c.milliseconds / 50.0 + 1);
        std::string error;
        port.EndDoc(error);
    }
}

TEST_F(PrinterFolderTest, PortsAttachToAVirtualPrinterADeviceNodeOrAFile) {
    const auto folder = Folder() / "vprinter" / "USB001";
    ASSERT_TRUE(AttachVirtualPrinter(u"USB001", folder));
    ASSERT_TRUE(HostAttachPort(u"LPT1", u"/dev/null"));
    const std::u16string file = PathIn("com1.prn");
    ASSERT_TRUE(HostAttachPort(u"COM1", (u"FILE:" + file).c_str()));
    PrinterState state;
    state.doorOpen = true;
    VirtualPortOf(folder)->SetState(state);

    struct Case {
        const char16_t* port;
        BOOL queried;
        DWORD replyBytes;
    };
    const Case cases[] = {{u"usb001", TRUE, 4}, {u"LPT1", TRUE, 0}, {u"COM1", FALSE, 0}};
    const MONITOR& monitor = *HostPortMonitor();
    for (const Case& c : cases) {
        SCOPED_TRACE(HostNarrow(c.port));
        HANDLE port = nullptr;
        ASSERT_TRUE(monitor.pfnOpenPort(const_cast<LPWSTR>(c.port), &port));
        uint8_t request[1024] = {0x14, 0x01, 0x01}, reply[1024] = {};
        DWORD returned = 99;
        EXPECT_EQ(monitor.pfnGetPrinterDataFromPort(port, IOCTL_USBPRINT_VENDOR_GET_COMMAND, nullptr,
                                                    reinterpret_cast<LPWSTR>(request), sizeof request,
                                                    reinterpret_cast<LPWSTR>(reply), sizeof reply, &returned),
                  c.queried);
        if (c.queried) {
            EXPECT_EQ(returned, c.replyBytes);
        }
        if (c.replyBytes) {
            EXPECT_EQ(reply[1], 0x04); // the door is open
        }
        ASSERT_TRUE(monitor.pfnStartDocPort(port, const_cast<LPWSTR>(u"P"), 5, 1, nullptr));
        uint8_t bytes[] = {0x1B, 0x40};
        DWORD written = 0;
        ASSERT_TRUE(monitor.pfnWritePort(port, bytes, 2, &written));
        ASSERT_TRUE(monitor.pfnEndDocPort(port));
        ASSERT_TRUE(monitor.pfnClosePort(port));
        EXPECT_EQ(HostPortBytes(c.port), (Bytes{0x1B, 0x40})); // recorded under the port's own name
    }
    EXPECT_EQ(ReadBytes(folder / "job-5" / "port.bin"), (Bytes{0x1B, 0x40}));
    EXPECT_EQ(ReadBytes(Folder() / "com1.prn"), (Bytes{0x1B, 0x40}));
    std::u16string target;
    EXPECT_TRUE(HostPortAttachment(u"usb001", &target));
    EXPECT_EQ(target, u"VPRINTER:" + HostWide(folder.string()));
    // Detached, the name is a port of its own again.
    ASSERT_TRUE(HostAttachPort(u"COM1", nullptr));
    EXPECT_FALSE(HostPortAttachment(u"COM1", &target));
    EXPECT_FALSE(HostAttachPort(u"COM1", u"com1"));
}

} // namespace
