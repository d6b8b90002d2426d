#include <gtest/gtest.h>

#include <png.h>

#include <fstream>
#include <sstream>

#include "printer_stream.h"
#include "subcommands.h"
#include "temp_folder.h"

using vprinter_test::TempFolder;
namespace fs = std::filesystem;

namespace {

struct VeltRun {
    int code = 0;
    std::string out;
    std::string err;
};

VeltRun Velt(std::vector<std::string> args) {
    args.insert(args.begin(), "velt");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::ostringstream out;
    std::ostringstream err;
    const int code = velt::RunVelt(static_cast<int>(args.size()), argv.data(), out, err);
    return VeltRun{code, out.str(), err.str()};
}

std::string WriteStream(const TempFolder& folder, const Bytes& bytes) {
    const std::string path = (folder.Path() / "job.bin").string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Width and height of a PNG file, or 0 x 0.
std::pair<int, int> PngSize(const fs::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return {0, 0};
    std::pair<int, int> size{static_cast<int>(image.width), static_cast<int>(image.height)};
    png_image_free(&image);
    return size;
}

Bytes TwoPageJob() {
    PrinterStream builder;
    builder.Initialise().SideMode(0);
    for (int page = 0; page < 2; ++page)
        builder.PageMode()
            .PrintArea(100)
            .Raster(0, {PrinterLine::Mono().Dot(LineDot80(page))})
            .FormFeed()
            .Feed(180)
            .Cut();
    return builder.Initialise().Data();
}

} // namespace

TEST(VeltPreview, WritesOnePicturePerPieceAndASummary) {
    TempFolder folder;
    const std::string stream = WriteStream(folder, TwoPageJob());
    const fs::path out = folder.Path() / "pictures";
    fs::create_directories(out);
    std::ofstream(out / "piece-009.png") << "left over from an earlier preview";

    const VeltRun run = Velt({"preview", stream, "--out", out.string()});
    EXPECT_EQ(run.code, velt::EXIT_OK) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("2 pieces, 2 pages, 0 sheets, 2 cuts, 2 feeds (360 dots), 2 raster blocks, 2 rows, "
                           "0 zero bytes, 0 errors"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(PngSize(out / "piece-001.png"), std::make_pair(576, 280));
    EXPECT_EQ(PngSize(out / "piece-002.png"), std::make_pair(576, 280));
    EXPECT_FALSE(fs::exists(out / "piece-009.png"));
}

TEST(VeltPreview, PaperOptionSetsTheWidthOfThePictures) {
    TempFolder folder;
    const std::string stream = WriteStream(folder, TwoPageJob());
    const VeltRun run = Velt({"preview", "--paper", "58", "--mono-paper", stream, "-o", folder.Path().string()});
    EXPECT_EQ(run.code, velt::EXIT_OK) << run.err;
    EXPECT_EQ(PngSize(folder.Path() / "piece-001.png"), std::make_pair(432, 280));
}

TEST(VeltPreview, MalformedStreamNamesTheFileAndTheOffsetAndFails) {
    TempFolder folder;
    Bytes bytes = TwoPageJob();
    bytes.insert(bytes.end(), {0x1B, 0x2C, 0x02, 0x01, 0x00, 0x00});
    const std::string stream = WriteStream(folder, bytes);
    const VeltRun run = Velt({"preview", stream, "--out", folder.Path().string()});
    EXPECT_EQ(run.code, velt::EXIT_MALFORMED_INPUT);
    EXPECT_NE(run.err.find(stream + ": error: offset " + std::to_string(bytes.size() - 6)), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("truncated raster data: 159 bytes missing"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(folder.Path() / "piece-002.png"));
}

TEST(VeltPreview, UsageAndFileErrorsSayWhatIsWrong) {
    TempFolder folder;
    const std::string missing = (folder.Path() / "none.bin").string();
    VeltRun run = Velt({"preview", missing, "--out", folder.Path().string()});
    EXPECT_EQ(run.code, velt::EXIT_FILE_ERROR);
    EXPECT_EQ(run.err, "velt preview: cannot read '" + missing + "': No such file or directory\n");

    run = Velt({"preview", missing});
    EXPECT_EQ(run.code, velt::EXIT_USAGE);
    EXPECT_EQ(run.err, "velt preview: --out DIR is required\n");

    run = Velt({"preview", "--paper", "60", missing, "--out", "x"});
    EXPECT_EQ(run.code, velt::EXIT_USAGE);
    EXPECT_EQ(run.err, "velt preview: --paper takes 58 or 80, not '60'\n");

    run = Velt({"unknown"});
    EXPECT_EQ(run.code, velt::EXIT_USAGE);
    EXPECT_EQ(run.err.rfind("velt: unknown command 'unknown'\n", 0), 0u);

    run = Velt({"help"});
    EXPECT_EQ(run.code, velt::EXIT_OK);
    EXPECT_NE(run.out.find("velt preview STREAM --out DIR"), std::string::npos);
}
