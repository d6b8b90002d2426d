#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "printer_stream.h"
#include "temp_folder.h"
#include "virtual_port.h"

using namespace vprinter;
using vprinter_test::TempFolder;

TEST(VirtualPort, EachDocumentWritesItsPicturesAndReportIntoItsOwnFolder) {
    TempFolder folder;
    VirtualPort port(folder.Path());
    const Bytes job =
        PrinterStream().Initialise().StandardMode().Raster(0, {PrinterLine::Mono().Dot(40)}).Feed(180).Cut().Data();
    port.StartDoc(7);
    port.Write(std::span(job).first(10));
    port.Write(std::span(job).subspan(10));
    port.Write(Bytes{0x1B, 0x40}); // the monitor's trailer
    std::string error;
    ASSERT_TRUE(port.EndDoc(error)) << error;

    const std::vector<PortJob> jobs = port.Jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].jobId, 7u);
    EXPECT_EQ(jobs[0].folder, folder.Path() / "job-7");
    ASSERT_EQ(jobs[0].pictures.size(), 1u);
    EXPECT_EQ(jobs[0].pictures[0], (folder.Path() / "job-7" / "piece-001.png").string());
    EXPECT_TRUE(std::filesystem::exists(jobs[0].pictures[0]));
    EXPECT_EQ(jobs[0].summary.pieces, 1u);
    std::ifstream report(folder.Path() / "job-7" / "report.txt");
    std::stringstream text;
    text << report.rdbuf();
    EXPECT_EQ(text.str(), "job 7: 98 bytes, 1 pieces, 0 pages, 0 sheets, 1 cuts, 1 feeds (180 dots), 1 raster blocks, "
                          "1 rows, 0 zero bytes, 0 errors, 0 warnings\n");
}

TEST(VirtualPort, AConfigurationRequestIsAnsweredAndLeavesNoFiles) {
    TempFolder folder;
    PrinterState state;
    state.paperWidth = PaperWidth::Mm58;
    VirtualPort port(folder.Path(), state);
    port.StartDoc(0);
    port.Write(Bytes{0x1B, 0x40, 0x1F, 0x31, 0x04});
    uint8_t reply[4] = {};
    EXPECT_EQ(port.Read(reply), 4u);
    EXPECT_EQ(Bytes(reply, reply + 4), (Bytes{0x00, 0x18, 0x00, 0x00}));
    std::string error;
    EXPECT_TRUE(port.EndDoc(error));
    EXPECT_TRUE(port.Jobs()[0].folder.empty());
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(VirtualPort, StatusQueryAnswersFromTheSettableState) {
    TempFolder folder;
    VirtualPort port(folder.Path());
    uint8_t request[1024] = {0x14, 0x01, 0x01};
    uint8_t reply[1024] = {};
    PrinterState state = port.State();
    state.paperOut = true;
    port.SetState(state);
    ASSERT_EQ(port.VendorCommand(request, reply), 4u);
    EXPECT_EQ(Bytes(reply, reply + 4), (Bytes{0x00, 0x00, 0x00, 0x20}));
    request[0] = 0x15;
    EXPECT_EQ(port.VendorCommand(request, reply), 0u);
}

TEST(VirtualPort, AMalformedDocumentIsReportedAndAnUnwritableFolderFails) {
    TempFolder folder;
    VirtualPort port(folder.Path());
    port.StartDoc(3);
    port.Write(Bytes{0x1B, 0x40, 0x1F, 0x60, 0x07});
    std::string error;
    ASSERT_TRUE(port.EndDoc(error)) << error;
    ASSERT_EQ(port.Jobs()[0].errors.size(), 1u);
    std::ifstream report(folder.Path() / "job-3" / "report.txt");
    std::stringstream text;
    text << report.rdbuf();
    EXPECT_NE(text.str().find("job 3: error: offset 2 (0x2): side mode 1F 60: bad parameter"), std::string::npos);

    std::ofstream(folder.Path() / "file") << "not a folder";
    VirtualPort broken(folder.Path() / "file");
    broken.StartDoc(1);
    broken.Write(PrinterStream().Feed(10).Data());
    EXPECT_FALSE(broken.EndDoc(error));
    EXPECT_NE(error.find("cannot create folder"), std::string::npos) << error;
}
