// velt printer add|set|list|remove and velt capabilities run in-process on a fresh state: the printers
// the spooler completes through the driver's configuration interface, and what that interface answers.
#include <nlohmann/json.hpp>

#include <sstream>

#include "driver_devmode.h"
#include "host_fixture.h"
#include "installation.h"
#include "printer_settings_record.h"
#include "subcommands.h"

namespace e2e {
namespace {

class VeltPrinters : public HostTest {
protected:
    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), "velt");
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        out_.str({});
        err_.str({});
        return velt::RunVelt(static_cast<int>(argv.size()), argv.data(), out_, err_);
    }
    std::string Out() const { return out_.str(); }
    std::string Err() const { return err_.str(); }

    // The printer's level-2 information and printer data, read through a handle of its own.
    struct Printer {
        DWORD attributes = 0;
        std::u16string port;
        std::vector<uint8_t> devmode, settings, settingsSize;
    };
    static bool Read(const std::u16string& name, Printer* p) {
        std::u16string n = name;
        HANDLE printer = nullptr;
        if (!OpenPrinterW(n.data(), &printer, nullptr)) return false;
        DWORD needed = 0;
        GetPrinterW(printer, 2, nullptr, 0, &needed);
        std::vector<BYTE> info(needed);
        const bool read = GetPrinterW(printer, 2, info.data(), needed, &needed);
        if (read) {
            const auto* level2 = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
            p->attributes = level2->Attributes;
            p->port = level2->pPortName;
            if (const auto* dm = reinterpret_cast<const uint8_t*>(level2->pDevMode))
                p->devmode.assign(dm, dm + level2->pDevMode->dmSize + level2->pDevMode->dmDriverExtra);
        }
        auto value = [printer](const char16_t* name) {
            std::u16string v = name;
            std::vector<uint8_t> bytes(1024);
            DWORD type = 0, size = 0;
            if (GetPrinterDataW(printer, v.data(), &type, bytes.data(), 1024, &size) != ERROR_SUCCESS)
                return bytes = {};
            bytes.resize(size);
            return bytes;
        };
        p->settings = value(u"PrinterData");
        p->settingsSize = value(u"PrinterDataSize");
        ClosePrinter(printer);
        return read;
    }

    std::ostringstream out_, err_;
};

const char* kBuiltInCapabilities = R"({
  "fields": 24335, "papers": [259, 260, 261, 262, 263],
  "papersize": [[580, 500], [580, 500], [580, 500], [580, 500], [580, 500]],
  "minextent": [580, 500], "maxextent": [800, 2720], "duplex": 1, "size": 220, "extra": 16,
  "version": 1025, "driver": 258, "enumresolutions": [[203, 203]], "filedependencies": [], "truetype": 6,
  "papernames": ["User Defined Size 1", "User Defined Size 2", "User Defined Size 3", "User Defined Size 4",
                 "User Defined Size 5"],
  "orientation": 90, "copies": 999, "colordevice": 1})";

TEST_F(VeltPrinters, AddedPrinterAnswersTheBuiltInPapersAndHasItsSettingsRecord) {
    ASSERT_EQ(Run({"printer", "add", "P", "--port", "USB002"}), velt::EXIT_OK) << Err();
    EXPECT_EQ(Out(), "added printer \"P\" (driver \"VELT K9x\", port USB002, bidi off)\n");
    ASSERT_EQ(Run({"capabilities", "--printer", "P", "--json"}), velt::EXIT_OK) << Err();
    EXPECT_EQ(nlohmann::json::parse(Out()), nlohmann::json::parse(kBuiltInCapabilities)) << Out();

    Printer p;
    ASSERT_TRUE(Read(u"P", &p));
    EXPECT_EQ(p.port, u"USB002");
    EXPECT_EQ(p.attributes & PRINTER_ATTRIBUTE_ENABLE_BIDI, 0u);
    PRINTER_SETTINGS_RECORD record = DefaultSettingsRecord();
    const auto* r = reinterpret_cast<const uint8_t*>(&record);
    EXPECT_EQ(p.settings, std::vector<uint8_t>(r, r + 240)) << "version 0x0102, 240 bytes";
    EXPECT_EQ(p.settingsSize, (std::vector<uint8_t>{240, 0, 0, 0}));
    DRIVER_DEVMODE driverDefault;
    DevmodeSetDefaults(&driverDefault, TEXT("VELT"));
    const auto* d = reinterpret_cast<const uint8_t*>(&driverDefault);
    EXPECT_EQ(p.devmode, std::vector<uint8_t>(d, d + sizeof driverDefault)) << "the driver's default device mode";

    ASSERT_EQ(Run({"capabilities", "--printer", "P"}), velt::EXIT_OK) << Err();
    EXPECT_NE(Out().find("papersize: 580 x 500, 580 x 500"), std::string::npos) << Out();
    EXPECT_NE(Out().find("fields: 0x5F0F\n"), std::string::npos) << Out();
}

TEST_F(VeltPrinters, SetListAndRemove) {
    ASSERT_EQ(Run({"printer", "add", "Kitchen", "--bidi", "on"}), velt::EXIT_OK) << Err();
    ASSERT_EQ(Run({"printer", "add", "Bar", "--port", "USB003"}), velt::EXIT_OK) << Err();
    struct Step {
        std::vector<std::string> args;
        DWORD attributes; // of Kitchen afterwards
    } steps[] = {
        {{"printer", "set", "Kitchen", "--offline", "on"},
         PRINTER_ATTRIBUTE_ENABLE_BIDI | PRINTER_ATTRIBUTE_WORK_OFFLINE},
        {{"printer", "set", "Kitchen", "--bidi", "off"}, PRINTER_ATTRIBUTE_WORK_OFFLINE},
        {{"printer", "set", "Kitchen"}, PRINTER_ATTRIBUTE_WORK_OFFLINE},
        {{"printer", "set", "kitchen", "--offline", "off", "--bidi", "on"}, PRINTER_ATTRIBUTE_ENABLE_BIDI},
    };
    for (const Step& step : steps) {
        ASSERT_EQ(Run(step.args), velt::EXIT_OK) << Err();
        Printer p;
        ASSERT_TRUE(Read(u"Kitchen", &p));
        EXPECT_EQ(p.attributes & (PRINTER_ATTRIBUTE_ENABLE_BIDI | PRINTER_ATTRIBUTE_WORK_OFFLINE), step.attributes)
            << Out();
    }
    EXPECT_EQ(Out(), "\"Kitchen\": driver \"VELT K9x\", port USB001, bidi on, offline off, 0 jobs\n");

    ASSERT_EQ(Run({"printer", "list", "--json"}), velt::EXIT_OK) << Err();
    EXPECT_EQ(nlohmann::json::parse(Out()), nlohmann::json::parse(R"([
        {"name": "Bar", "driver": "VELT K9x", "port": "USB003", "bidi": false, "offline": false, "jobs": 0},
        {"name": "Kitchen", "driver": "VELT K9x", "port": "USB001", "bidi": true, "offline": false, "jobs": 0}])"));
    ASSERT_EQ(Run({"printer", "list"}), velt::EXIT_OK) << Err();
    EXPECT_EQ(Out(), "\"Bar\": driver \"VELT K9x\", port USB003, bidi off, offline off, 0 jobs\n"
                     "\"Kitchen\": driver \"VELT K9x\", port USB001, bidi on, offline off, 0 jobs\n");

    ASSERT_EQ(Run({"printer", "remove", "Bar"}), velt::EXIT_OK) << Err();
    EXPECT_EQ(Out(), "removed printer \"Bar\"\n");
    ASSERT_EQ(Run({"printer", "list", "--json"}), velt::EXIT_OK);
    EXPECT_EQ(nlohmann::json::parse(Out()).size(), 1u);
    Printer gone;
    EXPECT_FALSE(Read(u"Bar", &gone));
}

TEST_F(VeltPrinters, RefusalsNameThePrinterAndTheCause) {
    ASSERT_EQ(Run({"printer", "add", "P"}), velt::EXIT_OK) << Err();
    ASSERT_TRUE(ClosePrinter(AddTestPrinter(u"Foreign", u"Another Driver")));
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string err;
    } cases[] = {
        {{"printer", "add", "P"},
         velt::EXIT_INPUT_ERROR,
         "velt printer add: cannot add the printer \"P\": there is a printer of that name already\n"},
        {{"printer", "add", "a,b"},
         velt::EXIT_INPUT_ERROR,
         "velt printer add: cannot add the printer \"a,b\": a printer's name is 1 to 220 characters without a "
         "comma or backslash\n"},
        {{"printer", "set", "Nobody", "--bidi", "on"},
         velt::EXIT_INPUT_ERROR,
         "velt printer set: there is no printer \"Nobody\"\n"},
        {{"printer", "remove", "Nobody"},
         velt::EXIT_INPUT_ERROR,
         "velt printer remove: there is no printer \"Nobody\"\n"},
        {{"capabilities", "--printer", "Nobody"},
         velt::EXIT_INPUT_ERROR,
         "velt capabilities: there is no printer \"Nobody\"\n"},
        {{"capabilities", "--printer", "Foreign", "--json"},
         velt::EXIT_SYSTEM_ERROR,
         "velt capabilities: cannot ask the printer \"Foreign\": its driver is not installed (error 1797)\n"},
        {{"printer", "add"}, velt::EXIT_USAGE, "velt printer add: NAME is required\n"},
        {{"printer", "add", "Q", "--bidi", "maybe"},
         velt::EXIT_USAGE,
         "velt printer add: --bidi takes on or off, not 'maybe'\n"},
        {{"printer", "set", "P", "--offline", "yes"},
         velt::EXIT_USAGE,
         "velt printer set: --offline takes on or off, not 'yes'\n"},
        {{"printer", "add", "Q", "--port="}, velt::EXIT_USAGE, "velt printer add: --port needs a value\n"},
        {{"printer", "list", "--json=yes"}, velt::EXIT_USAGE, "velt printer list: --json takes no value\n"},
        {{"printer", "list", "extra"}, velt::EXIT_USAGE, "velt printer list: unexpected argument 'extra'\n"},
        {{"capabilities", "--printer"}, velt::EXIT_USAGE, "velt capabilities: --printer needs a value\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), c.code) << c.args[1];
        EXPECT_EQ(Err(), c.err);
        EXPECT_EQ(Out(), "");
    }
    EXPECT_EQ(Run({"printer"}), velt::EXIT_USAGE);
    EXPECT_EQ(Err().rfind("velt printer: ", 0), 0u) << Err();
}

TEST_F(VeltPrinters, InstallAddsTheSamePrinterOnItsPortWithItsPaper) {
    ASSERT_EQ(Run({"install"}), velt::EXIT_OK) << Err();
    Printer p;
    ASSERT_TRUE(Read(velt::PRINTER_NAME, &p));
    EXPECT_EQ(p.port, velt::PrinterPortName());
    EXPECT_NE(p.attributes & PRINTER_ATTRIBUTE_ENABLE_BIDI, 0u);
    EXPECT_EQ(p.settingsSize, (std::vector<uint8_t>{240, 0, 0, 0}));
    ASSERT_EQ(Run({"capabilities", "--json"}), velt::EXIT_OK) << Err();
    const nlohmann::json answers = nlohmann::json::parse(Out());
    EXPECT_EQ(answers["papersize"][0], nlohmann::json::parse("[800, 1500]"));
    EXPECT_EQ(answers["papersize"][1], nlohmann::json::parse("[580, 500]"));
}

TEST_F(VeltPrinters, HelpPagesOfThePrinterCommands) {
    const std::pair<std::vector<std::string>, std::string> pages[] = {
        {{"printer", "add", "--help"}, "usage: velt printer add NAME [--port PORT] [--bidi on|off]\n"},
        {{"printer", "set", "-h"}, "usage: velt printer set NAME [--bidi on|off] [--offline on|off]\n"},
        {{"printer", "list", "--help"}, "usage: velt printer list [--json]\n"},
        {{"printer", "remove", "--help"}, "usage: velt printer remove NAME\n"},
        {{"printer", "--help"}, "usage: velt printer COMMAND [ARGUMENTS]\n"},
        {{"capabilities", "--help"}, "usage: velt capabilities [--printer NAME] [--json]\n"},
    };
    for (const auto& [args, head] : pages) {
        ASSERT_EQ(Run(args), velt::EXIT_OK) << args[1];
        EXPECT_EQ(Out().rfind(head, 0), 0u) << Out();
        EXPECT_NE(Out().find("-h, --help"), std::string::npos) << Out();
    }
    ASSERT_EQ(Run({"--help"}), velt::EXIT_OK);
    EXPECT_NE(Out().find("  velt printer remove NAME\n"), std::string::npos) << Out();
    EXPECT_NE(Out().find("  velt capabilities [--printer NAME] [--json]\n"), std::string::npos) << Out();
}

} // namespace
} // namespace e2e
