// The user's road: velt install and velt print run in-process, as the command line runs them, from a
// PNG file to the spool file, the port and the virtual printer's pictures.
#include <filesystem>
#include <sstream>

#include "custom_paper_list.h"
#include "e2e_fixture.h"
#include "installation.h"
#include "png_picture.h"
#include "subcommands.h"
#include "velt_version.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

class VeltCommands : public HostTest {
protected:
    int Run(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        out_.str({});
        err_.str({});
        return velt::RunVelt(static_cast<int>(argv.size()), argv.data(), out_, err_);
    }
    std::string Out() const { return out_.str(); }
    std::string Err() const { return err_.str(); }

    std::string SavePicture(const std::string& name, const HostPicture& picture) {
        std::string path = (Folder() / name).string(), error;
        EXPECT_TRUE(picture::SavePng(path, picture, &error)) << error;
        return path;
    }
    static std::u16string Port() { return velt::PrinterPortName(); }
    Bytes PortBytes() const { return HostPortBytes(Port().c_str()); }
    Bytes FileBytes(const std::string& name) const { return ReadBytes(Folder() / name); }

    std::ostringstream out_, err_;
};

DWORD StoredDotCount() {
    HKEY key = nullptr;
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Calvix", 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    RegQueryValueExW(key, u"VerticalDotCount", nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(key);
    return type == REG_DWORD ? value : 0;
}

TEST_F(VeltCommands, InstallMakesThePrinterOnceAndRangeChecksTheDotCount) {
    ASSERT_EQ(Run({"velt", "install"}), velt::EXIT_OK) << Err();
    EXPECT_NE(Out().find("added printer \"VELT K9x\""), std::string::npos) << Out();
    EXPECT_EQ(StoredDotCount(), 24u);

    ASSERT_EQ(Run({"velt", "install"}), velt::EXIT_OK) << Err();
    EXPECT_NE(Out().find("kept printer \"VELT K9x\""), std::string::npos) << Out();
    ASSERT_EQ(Run({"velt", "install", "--vertical-dot-count", "254"}), velt::EXIT_OK);
    EXPECT_EQ(StoredDotCount(), 254u);
    ASSERT_EQ(Run({"velt", "install"}), velt::EXIT_OK);
    EXPECT_EQ(StoredDotCount(), 254u); // a plain install keeps the value

    for (const char* bad : {"0", "255", "-1", "24x", "", "1000"}) {
        EXPECT_EQ(Run({"velt", "install", std::string("--vertical-dot-count=") + bad}), velt::EXIT_USAGE) << bad;
        EXPECT_NE(Err().find("from 1 to 254"), std::string::npos) << Err();
    }
    EXPECT_EQ(Run({"velt", "install", "--vertical-dot-count"}), velt::EXIT_USAGE);
    EXPECT_EQ(Run({"velt", "install", "--verbose"}), velt::EXIT_USAGE);
    EXPECT_EQ(StoredDotCount(), 254u);
}

// A page the driver could not send is an error that names its cause, never "printed".
TEST_F(VeltCommands, APageThatFailsIsReportedWithItsCause) {
    const std::string receipt = std::string(VELT_SOURCE_DIR) + "/examples/receipt.png";
    ASSERT_EQ(Run({"velt", "install"}), velt::EXIT_OK) << Err();
    for (DWORD stored : {0u, 255u, 1000u}) {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Calvix", 0, KEY_WRITE, &key), ERROR_SUCCESS);
        RegSetValueExW(key, u"VerticalDotCount", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored), sizeof stored);
        RegCloseKey(key);
        EXPECT_EQ(Run({"velt", "print", receipt}), velt::EXIT_SYSTEM_ERROR) << stored;
        EXPECT_EQ(Out().find("printed"), std::string::npos) << Out();
        EXPECT_EQ(Err(), "velt: page 1 was not printed: VerticalDotCount is " + std::to_string(stored) +
                             "; it must be 1 to 254 (HKLM\\SOFTWARE\\Calvix)\n");
    }
}

// A damaged stored default device mode is never read past its end: the job prints with the driver's
// defaults, as for a printer that has none, and velt says so.
TEST_F(VeltCommands, ADamagedStoredDeviceModeIsReplacedByTheDefaults) {
    const std::string receipt = std::string(VELT_SOURCE_DIR) + "/examples/receipt.png";
    const std::string spool = (Folder() / "none.bin").string(), damaged = (Folder() / "damaged.bin").string();
    ASSERT_EQ(Run({"velt", "install"}), velt::EXIT_OK) << Err();
    ASSERT_TRUE(HostDamageStoredDevmode(velt::PRINTER_NAME, nullptr, 0));
    ASSERT_EQ(Run({"velt", "print", receipt, "--spool", spool}), velt::EXIT_OK) << Err();
    DRIVER_DEVMODE stored;
    DevmodeSetDefaults(&stored, velt::PRINTER_NAME);
    std::vector<uint8_t> garbage(236, 0xA5);
    std::vector<uint8_t> whole(reinterpret_cast<uint8_t*>(&stored), reinterpret_cast<uint8_t*>(&stored + 1));
    std::vector<uint8_t> huge = whole;
    huge[68] = huge[69] = 0xFF; // dmSize 0xFFFF
    std::vector<uint8_t> extra = whole;
    extra[70] = extra[71] = 0xFF; // dmDriverExtra 0xFFFF
    const std::vector<std::vector<uint8_t>> records{std::vector<uint8_t>(whole.begin(), whole.begin() + 72), garbage,
                                                    huge, extra};
    for (const auto& record : records) {
        ASSERT_TRUE(HostDamageStoredDevmode(velt::PRINTER_NAME, record.data(), record.size()));
        ASSERT_EQ(Run({"velt", "print", receipt, "--spool", damaged}), velt::EXIT_OK) << Err();
        EXPECT_NE(Err().find("has no usable default device mode; the driver's defaults are used"), std::string::npos)
            << Err();
        EXPECT_EQ(FileBytes("damaged.bin"), FileBytes("none.bin"));
    }
}

TEST_F(VeltCommands, TheInstalledPrinterDefaultsToAn80MillimetreRollAndMatchesItsPaperList) {
    ASSERT_EQ(Run({"velt", "install"}), velt::EXIT_OK) << Err();
    std::u16string name = velt::PRINTER_NAME;
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterW(name.data(), &printer, nullptr));
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed);
    ASSERT_TRUE(GetPrinterW(printer, 2, info.data(), needed, &needed));
    ClosePrinter(printer);
    const auto* level2 = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
    EXPECT_EQ(std::u16string(level2->pDriverName), u"VELT K9x");
    EXPECT_EQ(std::u16string(level2->pPortName), Port());
    ASSERT_NE(level2->pDevMode, nullptr);
    ASSERT_EQ(level2->pDevMode->dmSize + level2->pDevMode->dmDriverExtra, sizeof(DRIVER_DEVMODE));
    const auto* dm = reinterpret_cast<const DRIVER_DEVMODE*>(level2->pDevMode);
    EXPECT_EQ(dm->dmPublic.dmPaperWidth, 800);
    EXPECT_EQ(dm->dmPublic.dmPaperLength, 1500);
    EXPECT_EQ(dm->dmPublic.dmPaperSize, USER_PAPER_FIRST_ID);
    EXPECT_EQ(dm->dmPublic.dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(dm->dmPublic.dmColor, DMCOLOR_MONOCHROME);
    EXPECT_EQ(dm->dmPublic.dmDuplex, DMDUP_SIMPLEX);
    EXPECT_EQ(dm->dmPrivSignature, PRIV_SIGNATURE);
    EXPECT_EQ(dm->dmUserSize, 0u);
    EXPECT_EQ(dm->dmPageModeControl, 0);
    EXPECT_EQ(dm->dmCuttingControl, 0);

    CUSTOM_PAPER_LIST papers{};
    ASSERT_TRUE(ReadCustomPaperList(velt::PRINTER_NAME, &papers));
    EXPECT_EQ(papers.entries[0].width, 80u);
    EXPECT_EQ(papers.entries[0].length, 150u);
    EXPECT_EQ(papers.entries[1].width, 58u);
}

TEST_F(VeltCommands, PrintingTheSampleReceiptInstallsSpoolsSendsAndPreviews) {
    const std::string receipt = std::string(VELT_SOURCE_DIR) + "/examples/receipt.png";
    const std::string spool = (Folder() / "out" / "receipt.bin").string();
    const std::string preview = (Folder() / "out" / "preview").string();
    ASSERT_EQ(Run({"velt", "print", receipt, "--spool", spool, "--preview", preview}), velt::EXIT_OK) << Err();
    EXPECT_NE(Out().find("installed printer"), std::string::npos); // the first print installs
    EXPECT_NE(Out().find("printed 1 page"), std::string::npos);

    // The job's bytes went to the port unchanged: an 80 mm page of 1020 rows in page mode, cut after it.
    Bytes job = ReadBytes(spool);
    // Through the language monitor (when the build has it) the printer gets the monitor's trailer after it.
    Bytes sent = job;
    if (HMODULE monitor = LoadLibraryW(u"VELTlmon.dll")) {
        FreeLibrary(monitor);
        sent.insert(sent.end(), {0x1B, 0x40});
    }
    EXPECT_EQ(CompareStreams(sent, PortBytes()), "same");
    PrinterStream head;
    head.Initialise().SideMode(0).PageMode().PrintArea(1020);
    ASSERT_GT(job.size(), head.Data().size());
    EXPECT_TRUE(std::equal(head.Data().begin(), head.Data().end(), job.begin()));
    PrinterStream tail;
    tail.FormFeed().Feed(180).Cut().Initialise();
    EXPECT_TRUE(std::equal(tail.Data().rbegin(), tail.Data().rend(), job.rbegin()));

    // The virtual printer's paper: the receipt's 1020-row page and the 180-row feed to the knife.
    HostPicture paper;
    std::string error;
    ASSERT_TRUE(picture::LoadPng(preview + "/piece-001.png", &paper, &error)) << error;
    EXPECT_EQ(paper.width, 576);
    EXPECT_EQ(paper.height, 1020 + 180);
    EXPECT_FALSE(fs::exists(preview + "/piece-002.png"));
    EXPECT_EQ(paper.Pixel(100, 76), 0u);         // the logo's ring
    EXPECT_EQ(paper.Pixel(300, 950), 0xFFFFFFu); // below the receipt
    // The printer's own port made the same picture of the job.
    fs::path portFolder = velt::VirtualPrinterFolder(velt::PRINTER_PORT);
    bool same = false;
    for (const auto& entry : fs::directory_iterator(portFolder))
        same = same || ReadBytes(entry.path() / "piece-001.png") == ReadBytes(preview + "/piece-001.png");
    EXPECT_TRUE(same);
}

TEST_F(VeltCommands, OptionsBecomeTheJobsSettings) {
    // 58 mm by 100 mm, standard mode, cut at the end: 800 - 180 = 620 rows of 432 dots.
    HostPicture picture = HostPicture::Filled(432, 620, kWhite);
    picture.FillRect(0, 0, 432, 4, kBlack);
    std::string path = SavePicture("bar.png", picture), spool = (Folder() / "bar.bin").string();
    ASSERT_EQ(Run({"velt", "print", "--paper", "58x100", "--mode", "standard", "--cut=end", path, "--spool", spool}),
              velt::EXIT_OK)
        << Err();
    PrinterStream s;
    s.Initialise().SideMode(0).StandardMode();
    s.RasterRows(PrinterLine(false, false).Black(0, 432), 4, 24, false);
    s.FormFeed().Feed(180).Cut().Initialise(); // the blank rows at the end are dropped; the end cuts
    EXPECT_EQ(CompareStreams(s.Data(), ReadBytes(spool)), "same");
}

TEST_F(VeltCommands, LandscapePagesTurnUpright) {
    // 80 mm roll, 60 mm of it per page, landscape: a page 300 dots along the roll and 576 across.
    HostPicture picture = HostPicture::Filled(300, 576, kWhite);
    picture.FillRect(0, 0, 10, 10, kBlack); // the page's top-left corner
    std::string path = SavePicture("corner.png", picture), spool = (Folder() / "corner.bin").string();
    ASSERT_EQ(Run({"velt", "print", "--paper=80x60", "--orientation", "landscape", "--spool", spool, path}),
              velt::EXIT_OK)
        << Err();
    // Its left column is the first printer row, its top row lies at the right end of each printer row.
    PrinterStream s;
    s.Initialise().SideMode(0).PageMode().PrintArea(300);
    s.RasterRows(PrinterLine(false).Black(566, 576), 10, 24, false);
    s.FormFeed().Feed(180).Cut().Initialise();
    EXPECT_EQ(CompareStreams(s.Data(), ReadBytes(spool)), "same");
}

TEST_F(VeltCommands, DualSideAndTwoColourFromTheOptions) {
    HostPicture picture = HostPicture::Filled(576, 32, kWhite);
    picture.FillRect(0, 0, 576, 1, kRed);
    std::string path = SavePicture("red.png", picture), spool = (Folder() / "red.bin").string();
    ASSERT_EQ(Run({"velt", "print", "--sides", "dual", "--color", "2color", "--paper", "80x50", path, path, "--spool",
                   spool}),
              velt::EXIT_OK)
        << Err();
    PrinterLine red = PrinterLine(true).Colour(0, 576);
    PrinterStream s;
    s.Initialise().SideMode(2).SelectSide(0).PageMode().PrintArea(32).Raster({red}, true);
    s.SelectSide(1).PageMode().PrintArea(32).Raster({red}, true);
    s.EndSheet().SelectSide(0).Feed(368).SelectSide(1).Feed(368).Cut().Initialise();
    EXPECT_EQ(CompareStreams(s.Data(), ReadBytes(spool)), "same");
}

TEST_F(VeltCommands, BadInputIsRefusedWithAReason) {
    std::string good = SavePicture("good.png", HostPicture::Filled(8, 8));
    struct Case {
        std::vector<std::string> args;
        int exit;
        std::string says;
    };
    const std::string missing = (Folder() / "missing.png").string();
    const std::string notPng = (Folder() / "notes.txt").string();
    WriteBytes(notPng, {'h', 'i'});
    const Case cases[] = {
        {{"velt", "print"}, velt::EXIT_USAGE, "at least one picture"},
        {{"velt", "print", "--fast", good}, velt::EXIT_USAGE, "unknown option '--fast'"},
        {{"velt", "print", "--paper", "80", good}, velt::EXIT_USAGE, "--paper takes WIDTHxLENGTH"},
        {{"velt", "print", "--paper", "0x100", good}, velt::EXIT_USAGE, "--paper takes WIDTHxLENGTH"},
        {{"velt", "print", "--paper", "80x4000", good}, velt::EXIT_USAGE, "--paper takes WIDTHxLENGTH"},
        {{"velt", "print", "--paper", "80.25x100", good}, velt::EXIT_USAGE, "--paper takes WIDTHxLENGTH"},
        {{"velt", "print", "--orientation", "sideways", good}, velt::EXIT_USAGE, "--orientation takes"},
        {{"velt", "print", "--sides", "3", good}, velt::EXIT_USAGE, "--sides takes"},
        {{"velt", "print", "--mode", "fast", good}, velt::EXIT_USAGE, "--mode takes"},
        {{"velt", "print", "--cut", "never", good}, velt::EXIT_USAGE, "--cut takes"},
        {{"velt", "print", good, "--spool"}, velt::EXIT_USAGE, "--spool needs a value"},
        {{"velt", "print", missing}, velt::EXIT_FILE_ERROR, missing + ": No such file or directory"},
        {{"velt", "print", good, notPng}, velt::EXIT_FILE_ERROR, notPng + ": not a PNG file"},
        {{"velt", "print", "--printer", "Nobody", good}, velt::EXIT_SYSTEM_ERROR, "there is no printer \"Nobody\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), c.exit) << c.args.back();
        EXPECT_NE(Err().find(c.says), std::string::npos) << Err();
    }
    EXPECT_TRUE(PortBytes().empty()); // nothing was printed
}

TEST_F(VeltCommands, APictureTallerThanThePageIsCutOffWithAWarning) {
    std::string tall = SavePicture("tall.png", HostPicture::Filled(576, 1500, kBlack));
    ASSERT_EQ(Run({"velt", "print", tall}), velt::EXIT_OK) << Err();
    EXPECT_NE(Err().find("page 1: the picture (576 x 1500 dots) is larger than the printable area (576 x 1020 dots)"),
              std::string::npos)
        << Err();
    ASSERT_EQ(Run({"velt", "print", "--fit", SavePicture("wide.png", HostPicture::Filled(1152, 100))}), velt::EXIT_OK);
    EXPECT_EQ(Err(), ""); // scaled to 576 x 50: it fits
}

// Every option of a subcommand, as its --help page must name it.
struct HelpPage {
    std::string command;
    std::vector<std::string> names;
};

const HelpPage kHelpPages[] = {
    {"print",
     {"--paper WxL", "--orientation portrait|landscape", "--color mono|2color", "--sides single|dual",
      "--mode page|standard", "--cut page|end", "--fit", "--spool FILE", "--preview DIR", "--printer NAME",
      "PICTURE...", "-h, --help"}},
    {"preview", {"STREAM", "-o, --out DIR", "--paper 58|80", "--color-paper, --mono-paper", "-h, --help"}},
    {"install", {"--vertical-dot-count N", "-h, --help"}},
};

TEST_F(VeltCommands, EachHelpPageExplainsEveryOption) {
    for (const HelpPage& page : kHelpPages) {
        ASSERT_EQ(Run({"velt", page.command, "--help"}), velt::EXIT_OK) << page.command;
        EXPECT_EQ(Err(), "");
        const std::string help = Out();
        EXPECT_EQ(help.rfind("usage: velt " + page.command + ' ', 0), 0u) << help;
        for (const std::string& name : page.names) {
            // Listed at the start of a line, with its explanation beside it or on the next line.
            size_t at = help.find("\n  " + name + ' ');
            if (at == std::string::npos) at = help.find("\n  " + name + '\n');
            ASSERT_NE(at, std::string::npos) << page.command << ": " << name << "\n" << help;
            size_t explanation = help.find_first_not_of(" \n", at + 3 + name.size());
            EXPECT_NE(explanation, std::string::npos) << name;
            EXPECT_NE(help.substr(explanation, 2), "--") << name << " has no explanation";
        }
        ASSERT_EQ(Run({"velt", "help", page.command}), velt::EXIT_OK);
        EXPECT_EQ(Out(), help); // velt help COMMAND is the same page
        ASSERT_EQ(Run({"velt", page.command, "-h"}), velt::EXIT_OK);
        EXPECT_EQ(Out(), help);
    }
}

TEST_F(VeltCommands, TheListOfCommandsShowsEachSynopsis) {
    ASSERT_EQ(Run({"velt", "--help"}), velt::EXIT_OK);
    const std::string list = Out();
    EXPECT_NE(list.find("  velt preview STREAM --out DIR [--paper 58|80] [--color-paper|--mono-paper]\n"),
              std::string::npos)
        << list;
    EXPECT_NE(list.find("  velt install [--vertical-dot-count N]\n"), std::string::npos) << list;
    EXPECT_NE(list.find("  velt print [--paper WxL] [--orientation portrait|landscape]"), std::string::npos) << list;
    EXPECT_NE(list.find("[--printer NAME] PICTURE...\n"), std::string::npos) << list;
    EXPECT_NE(list.find("  velt help [COMMAND]\n"), std::string::npos) << list;
    ASSERT_EQ(Run({"velt", "help"}), velt::EXIT_OK);
    EXPECT_EQ(Out(), list);
    // Without a command the list goes to the error stream, as a usage error.
    EXPECT_EQ(Run({"velt"}), velt::EXIT_USAGE);
    EXPECT_EQ(Out(), "");
    EXPECT_EQ(Err(), list);
}

TEST_F(VeltCommands, VersionIsThePackagesVersion) {
    ASSERT_EQ(Run({"velt", "--version"}), velt::EXIT_OK);
    EXPECT_EQ(Out(), std::string("velt ") + velt::PACKAGE_VERSION + "\n");
    // Three whole numbers, as project() gives them: "1.0.0".
    std::istringstream version(velt::PACKAGE_VERSION);
    unsigned major = 0, minor = 0, patch = 0;
    char dot1 = 0, dot2 = 0;
    version >> major >> dot1 >> minor >> dot2 >> patch;
    EXPECT_TRUE(version && dot1 == '.' && dot2 == '.' && version.peek() == EOF) << velt::PACKAGE_VERSION;
    EXPECT_EQ(Err(), "");
}

// Every usage error is one line, "velt COMMAND: cause", and exit code 2; nothing is installed or printed.
TEST_F(VeltCommands, UsageErrorsAreOneLineInOneForm) {
    const std::string good = SavePicture("good.png", HostPicture::Filled(8, 8));
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const std::string paperCause =
        "--paper takes WIDTHxLENGTH in millimetres (such as 80x150, at most 3276.7 each), not ";
    const std::string dotCause =
        "--vertical-dot-count must be a whole number from 1 to 254 (rows per raster block), not ";
    const Case cases[] = {
        {{"print", "--fast", good}, "velt print: unknown option '--fast'\n"},
        {{"print", "--fast=1", good}, "velt print: unknown option '--fast'\n"},
        {{"print", "-q", good}, "velt print: unknown option '-q'\n"},
        {{"print", "--paper", "0x0", good}, "velt print: " + paperCause + "'0x0'\n"},
        {{"print", "--paper=", good}, "velt print: " + paperCause + "''\n"},
        {{"print", "--paper", "nonsense", "--paper", "80x100", good}, "velt print: " + paperCause + "'nonsense'\n"},
        {{"print", "--color", "blue", good}, "velt print: --color takes mono or 2color, not 'blue'\n"},
        {{"print", "--orientation=", good}, "velt print: --orientation takes portrait or landscape, not ''\n"},
        {{"print", "--sides", "3", good}, "velt print: --sides takes single or dual, not '3'\n"},
        {{"print", "--mode", "fast", good}, "velt print: --mode takes page or standard, not 'fast'\n"},
        {{"print", "--cut", "never", good}, "velt print: --cut takes page or end, not 'never'\n"},
        {{"print", "--fit=yes", good}, "velt print: --fit takes no value\n"},
        {{"print", "--spool=", good}, "velt print: --spool needs a value\n"},
        {{"print", good, "--preview"}, "velt print: --preview needs a value\n"},
        {{"print", "--fit"}, "velt print: give at least one picture (PNG), one per page\n"},
        {{"install", "--vertical-dot-count", "0024"}, "velt install: " + dotCause + "'0024'\n"},
        {{"install", "--vertical-dot-count", "x"}, "velt install: " + dotCause + "'x'\n"},
        {{"install", "--vertical-dot-count"}, "velt install: --vertical-dot-count needs a value\n"},
        {{"install", "now"}, "velt install: unexpected argument 'now'\n"},
        {{"preview", "a.bin", "b.bin", "--out", "x"}, "velt preview: unexpected argument 'b.bin'\n"},
        {{"preview", "--out", "x"}, "velt preview: give exactly one stream file\n"},
        {{"preview", "a.bin", "-o"}, "velt preview: --out needs a value\n"},
        {{"preview", "--mono-paper=1", "a.bin", "-o", "x"}, "velt preview: --mono-paper takes no value\n"},
        {{"help", "print", "install"}, "velt help: unexpected argument 'install'\n"},
        {{"help", "printers"}, "velt help: unknown command 'printers'\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "velt");
        EXPECT_EQ(Run(args), velt::EXIT_USAGE) << c.err;
        EXPECT_EQ(Err(), c.err);
        EXPECT_EQ(Out(), "");
    }
    EXPECT_EQ(StoredDotCount(), 0u); // nothing ran
    EXPECT_TRUE(PortBytes().empty());

    // At velt itself the list of commands follows the line.
    EXPECT_EQ(Run({"velt", "--verbose"}), velt::EXIT_USAGE);
    EXPECT_EQ(Err().rfind("velt: unknown option '--verbose'\nusage: velt COMMAND", 0), 0u) << Err();
    EXPECT_EQ(Run({"velt", "printers", "list"}), velt::EXIT_USAGE);
    EXPECT_EQ(Err().rfind("velt: unknown command 'printers'\nusage: velt COMMAND", 0), 0u) << Err();
}

TEST_F(VeltCommands, HelpWinsOverABadValue) {
    ASSERT_EQ(Run({"velt", "print", "--paper", "0x0", "--help"}), velt::EXIT_OK);
    EXPECT_EQ(Out().rfind("usage: velt print ", 0), 0u);
    EXPECT_EQ(Err(), "");
}

TEST_F(VeltCommands, ArgumentsAfterDoubleDashArePictures) {
    std::string first = SavePicture("first.png", HostPicture::Filled(8, 8));
    std::string dashed = SavePicture("-dashed.png", HostPicture::Filled(8, 8));
    // Run from the folder, so that the dashed name stands alone as an argument.
    std::error_code ec;
    fs::path before = fs::current_path();
    fs::current_path(Folder());
    int code = Run({"velt", "print", "first.png", "--", "-dashed.png", "--fit"});
    fs::current_path(before, ec);
    ASSERT_EQ(code, velt::EXIT_FILE_ERROR) << Err(); // "--fit" after "--" is a picture too
    EXPECT_EQ(Err(), "velt print: --fit: No such file or directory\n");
    fs::current_path(Folder());
    code = Run({"velt", "print", "first.png", "--", "-dashed.png"});
    fs::current_path(before, ec);
    ASSERT_EQ(code, velt::EXIT_OK) << Err();
    EXPECT_NE(Out().find("printed 2 pages"), std::string::npos) << Out();
}

TEST_F(VeltCommands, TheLastOfTheTwoPaperFlagsCounts) {
    HostPicture picture = HostPicture::Filled(576, 8, kWhite);
    picture.FillRect(0, 0, 576, 8, kRed);
    std::string path = SavePicture("red.png", picture), spool = (Folder() / "red.bin").string();
    ASSERT_EQ(Run({"velt", "print", "--color", "2color", "--spool", spool, path}), velt::EXIT_OK) << Err();
    struct Case {
        std::vector<std::string> flags;
        uint32_t ink;
    };
    const Case cases[] = {
        {{"--mono-paper", "--color-paper"}, 0xFF0000u},
        {{"--color-paper", "--mono-paper"}, 0x000000u},
        {{}, 0xFF0000u}, // two-colour paper unless told otherwise
    };
    for (const Case& c : cases) {
        const std::string out = (Folder() / "preview").string();
        std::vector<std::string> args = {"velt", "preview", spool, "-o" + out};
        args.insert(args.end(), c.flags.begin(), c.flags.end());
        ASSERT_EQ(Run(args), velt::EXIT_OK) << Err();
        HostPicture paper;
        std::string error;
        ASSERT_TRUE(picture::LoadPng(out + "/piece-001.png", &paper, &error)) << error;
        EXPECT_EQ(paper.Pixel(100, 4), c.ink) << (c.flags.empty() ? "" : c.flags.back());
    }
}

} // namespace
} // namespace e2e
