// What the engine can observe of the entry points beyond a page that prints: every GDIINFO and DEVINFO
// field written over engine records that are not zero, the palette and surface the engine is asked
// for, DrvEnableDriver's refusals, the drawing forwards' hand-over to the engine, DrvSendPage's page
// output, and the log line of every entry point.
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "driver_harness.h"
#include "VELTlog.h"

namespace {

using EntryPointContract = RenderTest;

constexpr BYTE kEngineFill = 0xCD;

// A record as the engine hands it over before the driver fills it: not a zero byte in it.
template <typename Record>
Record EngineFilled() {
    Record record;
    std::memset(&record, kEngineFill, sizeof record);
    return record;
}

// Names the 32-bit words in which two records differ ("" when they are the same byte for byte).
template <typename Record>
std::string Differences(const Record& actual, const Record& expected) {
    static_assert(sizeof(Record) % 4 == 0);
    std::ostringstream text;
    for (size_t at = 0; at < sizeof(Record); at += 4) {
        uint32_t a, e;
        std::memcpy(&a, reinterpret_cast<const BYTE*>(&actual) + at, 4);
        std::memcpy(&e, reinterpret_cast<const BYTE*>(&expected) + at, 4);
        if (a != e) {
            text << std::hex << " [byte " << std::dec << at << ": 0x" << std::hex << a << ", expected 0x" << e << "]";
        }
    }
    return text.str();
}

// A device instance enabled on engine records that are already filled; disabled when it goes.
struct FilledRecordsPdev {
    GDIINFO gdi = EngineFilled<GDIINFO>();
    DEVINFO dev = EngineFilled<DEVINFO>();
    HDEV hdev = HostEngineCreateDevice();
    DHPDEV pdev = nullptr;

    FilledRecordsPdev(HANDLE printer, DRIVER_DEVMODE dm) {
        std::u16string name = kPrinterName;
        pdev = DrvEnablePDEV(&dm.dmPublic, nullptr, 0, nullptr, sizeof gdi, reinterpret_cast<ULONG*>(&gdi), sizeof dev,
                             &dev, hdev, name.data(), printer);
    }
    ~FilledRecordsPdev() {
        if (pdev != nullptr) {
            DrvDisablePDEV(pdev);
        }
        HostEngineDeleteDevice(hdev);
    }
    FilledRecordsPdev(const FilledRecordsPdev&) = delete;
    FilledRecordsPdev& operator=(const FilledRecordsPdev&) = delete;
    PDEV& instance() const { return *reinterpret_cast<PDEV*>(pdev); }
};

// The page a GDIINFO describes.
struct Page {
    ULONG horzMm, vertMm, horzRes, vertRes;
    POINTL offset;
    SIZEL physical;
};

// The engine's record with every field the driver answers for set, the rest as the engine filled it.
GDIINFO ExpectedGdiInfo(const Page& page) {
    GDIINFO g = EngineFilled<GDIINFO>();
    g.ulVersion = 0x400;
    g.ulTechnology = 2; // DT_RASPRINTER
    g.ulHorzSize = page.horzMm;
    g.ulVertSize = page.vertMm;
    g.ulHorzRes = page.horzRes;
    g.ulVertRes = page.vertRes;
    g.cBitsPixel = 1;
    g.cPlanes = 1;
    g.ulNumColors = 2;
    g.flRaster = 0;
    g.ulLogPixelsX = g.ulLogPixelsY = 203;
    g.flTextCaps = 0x19EF;
    g.ulDACRed = g.ulDACGreen = g.ulDACBlue = 0;
    g.ulAspectX = g.ulAspectY = 20;
    g.ulAspectXY = 28;
    g.xStyleStep = g.yStyleStep = 1;
    g.denStyleStep = 8;
    g.ptlPhysOffset = page.offset;
    g.szlPhysSize = page.physical;
    g.ulNumPalReg = 256;
    g.ciDevice = COLORINFO{}; // cyan, magenta and yellow, and the six dye fields: 0
    g.ciDevice.Red = {6700, 3300, 0};
    g.ciDevice.Green = {2100, 7100, 0};
    g.ciDevice.Blue = {1400, 800, 0};
    g.ciDevice.AlignmentWhite = {3127, 3290, 0};
    g.ciDevice.RedGamma = g.ciDevice.GreenGamma = g.ciDevice.BlueGamma = 20000;
    g.ulDevicePelsDPI = 203;
    g.ulPrimaryOrder = 0;   // PRIMARY_ORDER_ABC
    g.ulHTOutputFormat = 6; // HT_FORMAT_24BPP
    g.flHTFlags = 4;        // HT_FLAG_ADDITIVE_PRIMS
    g.ulVRefresh = 0;
    g.ulBltAlignment = 0;
    return g;
}

TEST_F(EntryPointContract, GdiInfoOverwritesEveryAnsweredFieldAndLeavesTheEnginesOwn) {
    JobSettings portrait80, dual80, landscape80, portrait58, landscape58;
    dual80.duplex = 2;
    landscape80.orientation = 2;
    landscape80.paperLength = 2000;
    portrait58.paperWidth = 580;
    portrait58.paperLength = 2720;
    landscape58.orientation = 2;
    landscape58.paperWidth = 580;
    landscape58.paperLength = 2000;
    const struct {
        const char* name;
        JobSettings settings;
        Page page;
    } cases[] = {
        {"80 mm portrait", portrait80, {72, 27, 576, 220, {32, 140}, {640, 400}}},
        {"80 mm dual side", dual80, {72, 4, 576, 32, {32, 140}, {640, 400}}},
        {"80 mm landscape", landscape80, {177, 72, 1420, 576, {40, 32}, {1600, 640}}},
        {"58 mm portrait", portrait58, {54, 249, 432, 1996, {16, 140}, {464, 2176}}},
        {"58 mm landscape", landscape58, {177, 54, 1420, 432, {40, 16}, {1600, 464}}},
    };
    for (const auto& c : cases) {
        FilledRecordsPdev enabled(printer(), Devmode(c.settings));
        ASSERT_NE(enabled.pdev, nullptr) << c.name;
        EXPECT_EQ(Differences(enabled.gdi, ExpectedGdiInfo(c.page)), "") << c.name;
        EXPECT_EQ(enabled.instance().cxPage, static_cast<LONG>(c.page.horzRes)) << c.name;
        EXPECT_EQ(enabled.instance().cyPage, static_cast<LONG>(c.page.vertRes)) << c.name;
    }
}

TEST_F(EntryPointContract, DevInfoIsZeroButItsNamedFieldsAndItsPaletteIsAnEmptyRgbOne) {
    FilledRecordsPdev enabled(printer(), Devmode(JobSettings{}));
    ASSERT_NE(enabled.pdev, nullptr);
    const DEVINFO& d = enabled.dev;
    EXPECT_EQ(d.flGraphicsCaps, 0u);
    LOGFONTW font{};
    font.lfHeight = -83;
    font.lfWeight = 400;
    font.lfPitchAndFamily = 0x31; // FIXED_PITCH | FF_MODERN
    EXPECT_EQ(Differences(d.lfDefaultFont, font), "");
    EXPECT_EQ(Differences(d.lfAnsiVarFont, LOGFONTW{}), "");
    EXPECT_EQ(Differences(d.lfAnsiFixFont, LOGFONTW{}), "");
    EXPECT_EQ(d.cFonts, 0u);
    EXPECT_EQ(d.iDitherFormat, 5u); // BMF_24BPP
    EXPECT_EQ(d.cxDither, 0);
    EXPECT_EQ(d.cyDither, 0);
    EXPECT_EQ(d.flGraphicsCaps2, 0u);

    ASSERT_NE(d.hpalDefault, nullptr);
    EXPECT_EQ(d.hpalDefault, enabled.instance().hpalDefault);
    HostPaletteInfo palette;
    ASSERT_TRUE(HostEnginePaletteInfo(d.hpalDefault, &palette));
    EXPECT_EQ(palette.mode, static_cast<ULONG>(PAL_RGB));
    EXPECT_EQ(palette.colors, 0u);
    EXPECT_EQ(palette.red, 0u);
    EXPECT_EQ(palette.green, 0u);
    EXPECT_EQ(palette.blue, 0u);
}

TEST_F(EntryPointContract, EnableDriverRefusalsLeaveTheRecordUntouched) {
    // Room for the record and a guard behind it; no refused call writes a byte of either.
    alignas(DRVENABLEDATA) BYTE record[sizeof(DRVENABLEDATA) + 8];
    auto* data = reinterpret_cast<DRVENABLEDATA*>(record);
    const struct {
        ULONG version, size;
    } refused[] = {
        {0x0001FFFF, sizeof(DRVENABLEDATA)}, // just older than the engine the driver is written for
        {0, sizeof(DRVENABLEDATA)},
        {DDI_DRIVER_VERSION_NT5, 11},
        {DDI_DRIVER_VERSION_NT5, sizeof(DRVENABLEDATA) - 1}, // no room for the whole table pointer
    };
    for (const auto& r : refused) {
        std::memset(record, kEngineFill, sizeof record);
        EXPECT_FALSE(DrvEnableDriver(r.version, r.size, data)) << std::hex << r.version << " " << std::dec << r.size;
        EXPECT_EQ(std::count(std::begin(record), std::end(record), kEngineFill), std::ssize(record))
            << std::hex << r.version << " " << std::dec << r.size;
    }
    // A newer engine is served like the one the driver is written for.
    std::memset(record, kEngineFill, sizeof record);
    ASSERT_TRUE(DrvEnableDriver(0x00030000, sizeof(DRVENABLEDATA), data));
    EXPECT_EQ(data->iDriverVersion, 0x00020000u);
    EXPECT_EQ(data->c, 21u);
    EXPECT_NE(data->pdrvfn, nullptr);
    EXPECT_EQ(record[sizeof(DRVENABLEDATA)], kEngineFill);
    DrvDisableDriver();
}

TEST_F(EntryPointContract, EnableDriverWithoutAGlyphSetFailsWithTheTableFilled) {
    DRVENABLEDATA good{};
    ASSERT_TRUE(DrvEnableDriver(DDI_DRIVER_VERSION_NT5, sizeof good, &good));
    DrvDisableDriver();

    const long heapBefore = HostHeapBlocksInUse();
    const HostEngineCounts engineBefore = HostEngineLiveObjects();
    DRVENABLEDATA data{};
    HostFailAllocation(1); // the glyph set is the driver's only allocation here
    EXPECT_FALSE(DrvEnableDriver(DDI_DRIVER_VERSION_NT5, sizeof data, &data));
    HostFailAllocation(0);
    EXPECT_EQ(data.iDriverVersion, 0x00020000u);
    EXPECT_EQ(data.c, 21u);
    EXPECT_EQ(data.pdrvfn, good.pdrvfn);
    EXPECT_EQ(HostEngineLiveObjects(), engineBefore);
    EXPECT_EQ(HostHeapBlocksInUse(), heapBefore);

    // The failure leaves nothing behind that a later enable would trip over.
    ASSERT_TRUE(DrvEnableDriver(DDI_DRIVER_VERSION_NT5, sizeof data, &data));
    DrvDisableDriver();
    EXPECT_EQ(HostEngineLiveObjects(), engineBefore);
}

TEST_F(EntryPointContract, SurfaceIsATopDownBandingBitmapOfTheDeviceAllWhite) {
    Device device(printer(), JobSettings{});
    ASSERT_TRUE(device.ok());
    SURFOBJ* s = device.surface();
    EXPECT_EQ(s->fjBitmap, BMF_TOPDOWN | BMF_NOZEROINIT);
    EXPECT_EQ(s->lDelta, 576 * 3);
    EXPECT_EQ(s->pvScan0, s->pvBits);
    EXPECT_EQ(s->iType, STYPE_BITMAP);
    EXPECT_EQ(s->hdev, device.pdev().hdev);
    EXPECT_EQ(s->hsurf, device.pdev().hsurfPage);
    HostSurfaceInfo info;
    ASSERT_TRUE(HostEngineSurfaceInfo(s->hsurf, &info));
    EXPECT_TRUE(info.banding);
    EXPECT_EQ(info.hooks, 0u);
    const auto* bits = static_cast<const BYTE*>(s->pvBits);
    EXPECT_EQ(std::count(bits, bits + s->cjBits, 0xFF), static_cast<std::ptrdiff_t>(576 * 3 * 220));
}

TEST_F(EntryPointContract, SurfaceRefusedByTheEngineLeavesNothingAndTheInstanceUsable) {
    const long heapBefore = HostHeapBlocksInUse();
    const HostEngineCounts engineBefore = HostEngineLiveObjects();
    {
        FilledRecordsPdev enabled(printer(), Devmode(JobSettings{}));
        ASSERT_NE(enabled.pdev, nullptr);
        HostEngineSetDevicePdev(enabled.hdev, enabled.pdev);
        DrvCompletePDEV(enabled.pdev, enabled.hdev);
        const HostEngineCounts withInstance = HostEngineLiveObjects();

        HostFailAllocation(1); // the bitmap
        EXPECT_EQ(DrvEnableSurface(enabled.pdev), nullptr);
        HostFailAllocation(0);
        EXPECT_EQ(enabled.instance().hsurfPage, nullptr);
        EXPECT_EQ(HostEngineLiveObjects(), withInstance);

        HSURF surface = DrvEnableSurface(enabled.pdev);
        ASSERT_NE(surface, nullptr);
        EXPECT_EQ(HostEngineLiveObjects().surfaces, withInstance.surfaces + 1);
        DrvDisableSurface(enabled.pdev);
        EXPECT_EQ(enabled.instance().hsurfPage, nullptr);
        EXPECT_EQ(HostEngineLiveObjects(), withInstance);
    }
    EXPECT_EQ(HostHeapBlocksInUse(), heapBefore);
    EXPECT_EQ(HostEngineLiveObjects(), engineBefore);
}

// An engine bitmap with a pattern that differs from pixel to pixel, locked while it lives.
class Bitmap {
public:
    explicit Bitmap(BYTE seed, ULONG format = BMF_24BPP, LONG cx = 40, LONG cy = 30) {
        handle_ = reinterpret_cast<HSURF>(EngCreateBitmap(SIZEL{cx, cy}, 0, format, BMF_TOPDOWN, nullptr));
        surface_ = handle_ != nullptr ? EngLockSurface(handle_) : nullptr;
        if (surface_ != nullptr) {
            auto* bits = static_cast<BYTE*>(surface_->pvBits);
            for (ULONG i = 0; i < surface_->cjBits; ++i) {
                bits[i] = static_cast<BYTE>(seed + i * 7 + i / 97);
            }
        }
    }
    ~Bitmap() {
        if (surface_ != nullptr) {
            EngUnlockSurface(surface_);
        }
        if (handle_ != nullptr) {
            EngDeleteSurface(handle_);
        }
    }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    SURFOBJ* obj() const { return surface_; }
    Bytes Pixels() const {
        const auto* bits = static_cast<const BYTE*>(surface_->pvBits);
        return Bytes(bits, bits + surface_->cjBits);
    }

private:
    HSURF handle_ = nullptr;
    SURFOBJ* surface_ = nullptr;
};

// What a drawing call did: its result and whether the target's pixels changed.
struct Outcome {
    BOOL result;
    bool drew;
    bool operator==(const Outcome&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    return out << "{result " << o.result << ", drew " << o.drew << "}";
}

// Draws once through the driver's entry point and once through the engine function of the same
// operation, each on a fresh pair of identical bitmaps: the results, the pixels and, for a failure, the
// last-error code must be the same. `draw` gets the function to call, a target and a source.
template <typename Function, typename Draw>
Outcome ThroughTheDriver(Function* entryPoint, Function* engine, Draw draw, ULONG sourceFormat = BMF_24BPP) {
    Bitmap driverTarget(0x11), driverSource(0x80, sourceFormat), engineTarget(0x11), engineSource(0x80, sourceFormat);
    const Bytes untouched = driverTarget.Pixels();
    SetSentinelLastError();
    const BOOL driverResult = draw(entryPoint, driverTarget.obj(), driverSource.obj());
    const DWORD driverError = GetLastError();
    SetSentinelLastError();
    const BOOL engineResult = draw(engine, engineTarget.obj(), engineSource.obj());
    EXPECT_EQ(driverResult, engineResult);
    if (!engineResult) {
        EXPECT_LAST_ERROR(driverError) << "the engine's reason for the failure";
    }
    EXPECT_TRUE(driverTarget.Pixels() == engineTarget.Pixels()) << "the driver drew something else";
    return {driverResult, driverTarget.Pixels() != untouched};
}

TEST_F(EntryPointContract, BlitsReachTheEngineWithTheirArgumentsAndResults) {
    RECTL part{5, 4, 25, 20};
    POINTL from{10, 7};
    BRUSHOBJ brush{0x123456, nullptr, 0};
    CLIPOBJ clip{1, {0, 0, 18, 30}, DC_RECT, 0, 0, 0};
    auto copyBits = [&](auto call, SURFOBJ* t, SURFOBJ* s) { return call(t, s, &clip, nullptr, &part, &from); };
    EXPECT_EQ(ThroughTheDriver(DrvCopyBits, EngCopyBits, copyBits), (Outcome{TRUE, true}));
    EXPECT_EQ(ThroughTheDriver(DrvCopyBits, EngCopyBits, copyBits, BMF_32BPP), (Outcome{FALSE, false}));

    auto bitBlt = [&](ROP4 rop) {
        return [&, rop](auto call, SURFOBJ* t, SURFOBJ* s) {
            return call(t, s, nullptr, &clip, nullptr, &part, &from, nullptr, &brush, nullptr, rop);
        };
    };
    EXPECT_EQ(ThroughTheDriver(DrvBitBlt, EngBitBlt, bitBlt(HOST_ROP4_SRCCOPY)), (Outcome{TRUE, true}));
    EXPECT_EQ(ThroughTheDriver(DrvBitBlt, EngBitBlt, bitBlt(HOST_ROP4_PATCOPY)), (Outcome{TRUE, true}));
    EXPECT_EQ(ThroughTheDriver(DrvBitBlt, EngBitBlt, bitBlt(0x5A5A)), (Outcome{FALSE, false}));

    RECTL whole{0, 0, 40, 30};
    auto stretch = [&](ULONG mode) {
        return [&, mode](auto call, SURFOBJ* t, SURFOBJ* s) {
            return call(t, s, nullptr, nullptr, nullptr, nullptr, nullptr, &whole, &part, nullptr, mode);
        };
    };
    EXPECT_EQ(ThroughTheDriver(DrvStretchBlt, EngStretchBlt, stretch(HALFTONE)), (Outcome{TRUE, true}));
    EXPECT_EQ(ThroughTheDriver(DrvStretchBlt, EngStretchBlt, stretch(COLORONCOLOR)), (Outcome{TRUE, true}));
    EXPECT_EQ(ThroughTheDriver(DrvStretchBlt, EngStretchBlt, stretch(HALFTONE), BMF_8BPP), (Outcome{FALSE, false}));
}

TEST_F(EntryPointContract, LinesPathsAndTextReachTheEngineWithTheirArgumentsAndResults) {
    BRUSHOBJ brush{0x123456, nullptr, 0};
    auto line = [&](MIX mix) {
        return
            [&, mix](auto call, SURFOBJ* t, SURFOBJ*) { return call(t, nullptr, &brush, 2, 3, 35, 20, nullptr, mix); };
    };
    EXPECT_EQ(ThroughTheDriver(DrvLineTo, EngLineTo, line(R2_COPYPEN)), (Outcome{TRUE, true}));
    EXPECT_EQ(ThroughTheDriver(DrvLineTo, EngLineTo, line(R2_NOP)), (Outcome{TRUE, false}));
    EXPECT_EQ(ThroughTheDriver(DrvLineTo, EngLineTo, line(5)), (Outcome{FALSE, false}));

    RECTL opaque{3, 3, 30, 12};
    std::u16string chars = u"AB";
    STROBJ text{2, 0, 0, opaque, nullptr, chars.data()};
    auto textOut = [&](STROBJ* str) {
        return [&, str](auto call, SURFOBJ* t, SURFOBJ*) {
            return call(t, str, nullptr, nullptr, nullptr, &opaque, &brush, &brush, nullptr, R2_COPYPEN);
        };
    };
    EXPECT_EQ(ThroughTheDriver(DrvTextOut, EngTextOut, textOut(&text)), (Outcome{TRUE, true}));
    EXPECT_EQ(ThroughTheDriver(DrvTextOut, EngTextOut, textOut(nullptr)), (Outcome{FALSE, false}));

    PATHOBJ path{0, 1};
    LINEATTRS attrs{};
    for (PATHOBJ* p : {&path, static_cast<PATHOBJ*>(nullptr)}) {
        const Outcome expected{p != nullptr, false};
        EXPECT_EQ(ThroughTheDriver(DrvStrokePath, EngStrokePath,
                                   [&](auto call, SURFOBJ* t, SURFOBJ*) {
                                       return call(t, p, nullptr, nullptr, &brush, nullptr, &attrs, R2_COPYPEN);
                                   }),
                  expected);
        EXPECT_EQ(ThroughTheDriver(DrvFillPath, EngFillPath,
                                   [&](auto call, SURFOBJ* t, SURFOBJ*) {
                                       return call(t, p, nullptr, &brush, nullptr, R2_COPYPEN, 0);
                                   }),
                  expected);
        EXPECT_EQ(ThroughTheDriver(DrvStrokeAndFillPath, EngStrokeAndFillPath,
                                   [&](auto call, SURFOBJ* t, SURFOBJ*) {
                                       return call(t, p, nullptr, nullptr, &brush, &attrs, &brush, nullptr, R2_COPYPEN,
                                                   0);
                                   }),
                  expected);
    }
}

// DrvSendPage after DrvStartPage sends what the page's last band would have sent: the page's rows and
// the page ending that its settings ask for.
TEST_F(EntryPointContract, SendPageRunsThePageOutput) {
    JobSettings standard = JobSettings::Rows(220), dual;
    standard.pageModeControl = 1;
    dual.duplex = 2; // 32 rows
    for (const auto& [settings, rows] :
         {std::pair{JobSettings::Rows(220), 220}, std::pair{standard, 220}, std::pair{dual, 32}}) {
        const Bytes banded = PrintDocument(settings, {Picture(576, rows), Picture(576, rows)});
        StartJob();
        {
            Device device(printer(), settings);
            ASSERT_TRUE(device.ok());
            ASSERT_TRUE(DrvStartDoc(device.surface(), nullptr, 1));
            for (int page = 0; page < 2; ++page) {
                ASSERT_TRUE(DrvStartPage(device.surface()));
                EXPECT_TRUE(DrvSendPage(device.surface()));
            }
            EXPECT_TRUE(DrvEndDoc(device.surface(), 0));
        }
        EXPECT_TRUE(SameStream(EndJob(), banded))
            << "duplex " << settings.duplex << ", page mode control " << settings.pageModeControl;
    }

    // A page whose band is waiting: its rows go out as a band of the same page would send them.
    Picture fiveBlack = RowsPicture(576, 220, [](int y) { return y < 5 ? 0x000000u : 0xFFFFFFu; });
    const Bytes banded = PrintDocument(JobSettings::Rows(220), {fiveBlack});
    StartJob();
    {
        Device device(printer(), JobSettings::Rows(220));
        ASSERT_TRUE(device.ok());
        ASSERT_TRUE(DrvStartPage(device.surface()));
        auto* raster = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 72 * 220));
        auto* band = static_cast<BAND_NODE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(BAND_NODE)));
        ASSERT_TRUE(raster != nullptr && band != nullptr);
        std::memset(raster, 0xFF, 72 * 5);
        *band = BAND_NODE{raster, nullptr, 72 * 220};
        device.pdev().pBandHead = device.pdev().pBandTail = band;
        EXPECT_TRUE(DrvSendPage(device.surface()));
        EXPECT_EQ(device.pdev().pBandHead, nullptr) << "the band is released with the page";
        EXPECT_TRUE(DrvEndDoc(device.surface(), 0));
    }
    EXPECT_TRUE(SameStream(EndJob(), banded));

    // No device instance behind the surface: nothing to send.
    Bitmap loose(0);
    EXPECT_FALSE(DrvSendPage(loose.obj()));
}

// Switches the driver's log on for a printer, into a folder of its own.
void LogInto(HANDLE printer, const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    DRIVER_LOG_SETTINGS settings{};
    settings.dlEnabled = 1;
    settings.dlMaxSizeIndex = LOG_MAX_SIZE_1MB;
    const std::u16string path = HostWide(folder.string());
    std::copy(path.begin(), path.end(), settings.dlFolder);
    ASSERT_EQ(SetPrinterDataW(printer, const_cast<LPWSTR>(DRIVER_LOG_FILE_VALUE), REG_BINARY,
                              reinterpret_cast<LPBYTE>(&settings), sizeof settings),
              static_cast<DWORD>(ERROR_SUCCESS));
}

// The entry points named in a driver log, in the order of their lines, one space apart.
std::string EnteredFunctions(const std::filesystem::path& folder) {
    std::ifstream in(folder / "VELTPD.log", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string log = text.str(), prefix = "Entering the function ";
    std::string names;
    for (size_t at = log.find(prefix); at != std::string::npos; at = log.find(prefix, at)) {
        at += prefix.size();
        names += (names.empty() ? "" : " ") + log.substr(at, log.find("\r\n", at) - at);
    }
    return names;
}

TEST_F(EntryPointContract, EveryEntryPointWritesItsLineToItsPrintersLog) {
    const auto folder = Folder() / "log";
    LogInto(printer(), folder);
    StartJob();
    {
        Device device(printer(), JobSettings::Rows(220));
        ASSERT_TRUE(device.ok());
        SURFOBJ* s = device.surface();
        const auto pdev = reinterpret_cast<DHPDEV>(&device.pdev());
        Bitmap other(0); // an engine bitmap not of the device
        RECTL rect{0, 0, 8, 8};
        POINTL at{0, 0};
        PATHOBJ path{0, 1};
        STROBJ text{};
        DRVENABLEDATA data{};

        ASSERT_TRUE(DrvEnableDriver(DDI_DRIVER_VERSION_NT5, sizeof data, &data)); // no printer known: no line
        EXPECT_TRUE(DrvResetPDEV(pdev, pdev));
        EXPECT_EQ(DrvGetGlyphMode(pdev, nullptr), 1u);
        EXPECT_TRUE(DrvRealizeBrush(nullptr, s, nullptr, nullptr, nullptr, 0));
        EXPECT_TRUE(DrvBitBlt(s, nullptr, nullptr, nullptr, nullptr, &rect, nullptr, nullptr, nullptr, nullptr,
                              HOST_ROP4_WHITENESS));
        EXPECT_TRUE(DrvLineTo(s, nullptr, nullptr, 0, 0, 5, 5, nullptr, R2_BLACK));
        EXPECT_TRUE(DrvStrokePath(s, &path, nullptr, nullptr, nullptr, nullptr, nullptr, R2_COPYPEN));
        EXPECT_TRUE(DrvFillPath(s, &path, nullptr, nullptr, nullptr, R2_COPYPEN, 0));
        EXPECT_TRUE(
            DrvStrokeAndFillPath(s, &path, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, R2_COPYPEN, 0));
        EXPECT_TRUE(DrvTextOut(s, &text, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, R2_COPYPEN));
        EXPECT_TRUE(DrvCopyBits(s, other.obj(), nullptr, nullptr, &rect, &at));
        EXPECT_TRUE(DrvCopyBits(other.obj(), s, nullptr, nullptr, &rect, &at)); // read back from the page
        EXPECT_TRUE(DrvStretchBlt(s, other.obj(), nullptr, nullptr, nullptr, nullptr, nullptr, &rect, &rect, nullptr,
                                  COLORONCOLOR));
        EXPECT_TRUE(DrvBitBlt(other.obj(), s, nullptr, nullptr, nullptr, &rect, &at, nullptr, nullptr, nullptr,
                              HOST_ROP4_SRCCOPY));
        ASSERT_TRUE(DrvStartPage(s));
        EXPECT_TRUE(DrvSendPage(s));
        DrvDisableDriver(); // no line either
    }
    EndJob();
    EXPECT_EQ(EnteredFunctions(folder),
              "DrvEnablePDEV DrvCompletePDEV DrvEnableSurface DrvResetPDEV DrvGetGlyphMode DrvRealizeBrush "
              "DrvBitBlt DrvLineTo DrvStrokePath DrvFillPath DrvStrokeAndFillPath DrvTextOut DrvCopyBits "
              "DrvCopyBits DrvStretchBlt DrvBitBlt DrvStartPage DrvSendPage PageOutput DrvDisableSurface "
              "DrvDisablePDEV");
}

TEST_F(EntryPointContract, EnablePdevWritesToTheLogOfThePrinterItEnables) {
    const auto firstLog = Folder() / "first", secondLog = Folder() / "second";
    LogInto(printer(), firstLog);
    HANDLE second = AddTestPrinter(u"Calvix Second");
    ASSERT_NE(second, nullptr);
    LogInto(second, secondLog);

    { Device device(printer(), JobSettings{}); }
    DRIVER_DEVMODE dm = Devmode(JobSettings{});
    const std::u16string name = u"Calvix Second";
    std::fill(std::begin(dm.dmPublic.dmDeviceName), std::end(dm.dmPublic.dmDeviceName), 0);
    std::copy(name.begin(), name.end(), dm.dmPublic.dmDeviceName);
    { FilledRecordsPdev enabled(second, dm); }
    ClosePrinter(second);

    EXPECT_EQ(EnteredFunctions(firstLog),
              "DrvEnablePDEV DrvCompletePDEV DrvEnableSurface DrvDisableSurface DrvDisablePDEV");
    EXPECT_EQ(EnteredFunctions(secondLog), "DrvEnablePDEV DrvDisablePDEV");
}

} // namespace
