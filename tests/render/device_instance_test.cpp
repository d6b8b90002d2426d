// The driver's answers to the engine: driver information, the function table, GDIINFO and DEVINFO,
// the pattern array, the surface, the debugger texts and the log lines of the entry points.
#include <fstream>
#include <sstream>

#include "driver_harness.h"
#include "VELTlog.h"

namespace {

using DeviceInstance = RenderTest;

TEST(DriverInfo, AnswersOnlyUserModeIntoAFourByteBuffer) {
    DWORD value = 0, needed = 0;
    EXPECT_TRUE(DrvQueryDriverInfo(DRVQUERY_USERMODE, &value, sizeof value, &needed));
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(needed, 4u);
    needed = 0;
    uint16_t small = 0;
    EXPECT_FALSE(DrvQueryDriverInfo(DRVQUERY_USERMODE, &small, sizeof small, &needed));
    EXPECT_EQ(needed, 4u);
    EXPECT_FALSE(DrvQueryDriverInfo(DRVQUERY_USERMODE, nullptr, 4, &needed));
    EXPECT_FALSE(DrvQueryDriverInfo(2, &value, sizeof value, &needed));
}

TEST_F(DeviceInstance, EnableDriverGivesTheTableInItsOrder) {
    DRVENABLEDATA data{};
    EXPECT_FALSE(DrvEnableDriver(0x00010000, sizeof data, &data));
    EXPECT_FALSE(DrvEnableDriver(DDI_DRIVER_VERSION_NT5, 8, &data));
    EXPECT_EQ(data.pdrvfn, nullptr) << "the table is not filled for a refused engine";
    if constexpr (sizeof(DRVENABLEDATA) > 12) { // 12 bytes hold the record only with 32-bit pointers
        EXPECT_FALSE(DrvEnableDriver(DDI_DRIVER_VERSION_NT5, 12, &data));
        EXPECT_EQ(data.pdrvfn, nullptr) << "a 12-byte record has no room for a 64-bit table pointer";
    }

    const HostEngineCounts before = HostEngineLiveObjects();
    ASSERT_TRUE(DrvEnableDriver(DDI_DRIVER_VERSION_NT5, sizeof data, &data));
    EXPECT_EQ(data.iDriverVersion, 0x00020000u);
    ASSERT_EQ(data.c, 21u);
    const ULONG order[] = {0, 7, 1, 2, 3, 4, 23, 37, 32, 33, 35, 34, 18, 20, 19, 31, 14, 15, 16, 57, 58};
    for (ULONG i = 0; i < 21; ++i) {
        EXPECT_EQ(data.pdrvfn[i].iFunc, order[i]) << "entry " << i;
    }
    EXPECT_EQ(reinterpret_cast<void (*)()>(data.pdrvfn[0].pfn), reinterpret_cast<void (*)()>(&DrvEnablePDEV));
    EXPECT_EQ(reinterpret_cast<void (*)()>(data.pdrvfn[20].pfn), reinterpret_cast<void (*)()>(&DrvNextBand));
    DrvDisableDriver();
    EXPECT_EQ(HostEngineLiveObjects(), before) << "the glyph set is released";
}

TEST_F(DeviceInstance, EnablingTwiceHoldsOneGlyphSetAndDisablingGivesItBack) {
    const HostEngineCounts before = HostEngineLiveObjects();
    const struct {
        int enables;
        int cycles;
    } cases[] = {{1, 1}, {2, 1}, {3, 4}};
    for (const auto& c : cases) {
        for (int cycle = 0; cycle < c.cycles; ++cycle) {
            for (int i = 0; i < c.enables; ++i) {
                DRVENABLEDATA data{};
                ASSERT_TRUE(DrvEnableDriver(DDI_DRIVER_VERSION_NT5, sizeof data, &data));
                EXPECT_EQ(HostEngineLiveObjects().memoryBlocks, before.memoryBlocks + 1)
                    << c.enables << " enables: one glyph set";
            }
            DrvDisableDriver();
            EXPECT_EQ(HostEngineLiveObjects(), before) << c.enables << " enables, cycle " << cycle;
        }
    }
}

TEST_F(DeviceInstance, GdiInfoOfAnEightyMillimetrePage) {
    Device device(printer(), JobSettings{});
    ASSERT_TRUE(device.ok());
    const GDIINFO& g = device.gdiInfo();
    EXPECT_EQ(g.ulVersion, 0x400u);
    EXPECT_EQ(g.ulTechnology, 2u);
    EXPECT_EQ(g.ulHorzSize, 72u);
    EXPECT_EQ(g.ulVertSize, 27u);
    EXPECT_EQ(g.ulHorzRes, 576u);
    EXPECT_EQ(g.ulVertRes, 220u);
    EXPECT_EQ(g.cBitsPixel, 1u);
    EXPECT_EQ(g.cPlanes, 1u);
    EXPECT_EQ(g.ulNumColors, 2u);
    EXPECT_EQ(g.ulLogPixelsX, 203u);
    EXPECT_EQ(g.ulLogPixelsY, 203u);
    EXPECT_EQ(g.flTextCaps, 0x19EFu);
    EXPECT_EQ(g.ulAspectX, 20u);
    EXPECT_EQ(g.ulAspectY, 20u);
    EXPECT_EQ(g.ulAspectXY, 28u);
    EXPECT_EQ(g.xStyleStep, 1);
    EXPECT_EQ(g.yStyleStep, 1);
    EXPECT_EQ(g.denStyleStep, 8);
    EXPECT_EQ(g.ptlPhysOffset.x, 32);
    EXPECT_EQ(g.ptlPhysOffset.y, 140);
    EXPECT_EQ(g.szlPhysSize.cx, 640);
    EXPECT_EQ(g.szlPhysSize.cy, 400);
    EXPECT_EQ(g.ulNumPalReg, 256u);
    EXPECT_EQ(g.ciDevice.Red.x, 6700);
    EXPECT_EQ(g.ciDevice.Red.y, 3300);
    EXPECT_EQ(g.ciDevice.Green.x, 2100);
    EXPECT_EQ(g.ciDevice.Green.y, 7100);
    EXPECT_EQ(g.ciDevice.Blue.x, 1400);
    EXPECT_EQ(g.ciDevice.Blue.y, 800);
    EXPECT_EQ(g.ciDevice.Cyan.x, 0);
    EXPECT_EQ(g.ciDevice.AlignmentWhite.x, 3127);
    EXPECT_EQ(g.ciDevice.AlignmentWhite.y, 3290);
    EXPECT_EQ(g.ciDevice.RedGamma, 20000);
    EXPECT_EQ(g.ciDevice.BlueGamma, 20000);
    EXPECT_EQ(g.ciDevice.MagentaInYellowDye, 0);
    EXPECT_EQ(g.ulDevicePelsDPI, 203u);
    EXPECT_EQ(g.ulPrimaryOrder, 0u);
    EXPECT_EQ(g.ulHTOutputFormat, 6u);
    EXPECT_EQ(g.flHTFlags, 4u);
    EXPECT_EQ(device.pdev().cxPage, 576);
    EXPECT_EQ(device.pdev().cyPage, 220);
    EXPECT_EQ(device.pdev().iBitmapFormat, static_cast<ULONG>(BMF_24BPP));
    EXPECT_EQ(device.pdev().dmWork.dmPublic.dmPrintQuality, 203);
}

struct EnabledPdev {
    GDIINFO gdi{};
    DEVINFO dev{};
    DHPDEV pdev = nullptr;
    HDEV hdev = HostEngineCreateDevice();
    EnabledPdev(HANDLE printer, DRIVER_DEVMODE dm, ULONG patterns = 0, HSURF* patternArray = nullptr,
                ULONG devInfoSize = sizeof(DEVINFO)) {
        std::u16string name = kPrinterName;
        pdev = DrvEnablePDEV(&dm.dmPublic, nullptr, patterns, patternArray, sizeof gdi, reinterpret_cast<ULONG*>(&gdi),
                             devInfoSize, &dev, hdev, name.data(), printer);
    }
    ~EnabledPdev() {
        if (pdev != nullptr) {
            DrvDisablePDEV(pdev);
        }
        HostEngineDeleteDevice(hdev);
    }
};

TEST_F(DeviceInstance, GeometryOfTheOtherRollsAndOrientations) {
    struct Case {
        JobSettings settings;
        ULONG horz, vert;
        LONG offsetX, offsetY;
    };
    JobSettings dual;
    dual.duplex = 2;
    JobSettings narrow;
    narrow.paperWidth = 580;
    narrow.paperLength = 2720;
    JobSettings landscape;
    landscape.orientation = 2;
    landscape.paperLength = 2000;
    JobSettings wide;
    wide.paperWidth = 2100;
    for (const Case& c : {Case{dual, 576, 32, 32, 140}, Case{narrow, 432, 1996, 16, 140},
                          Case{landscape, 1420, 576, 40, 32}, Case{wide, 1680, 220, 0, 140}}) {
        EnabledPdev enabled(printer(), Devmode(c.settings));
        ASSERT_NE(enabled.pdev, nullptr);
        EXPECT_EQ(enabled.gdi.ulHorzRes, c.horz);
        EXPECT_EQ(enabled.gdi.ulVertRes, c.vert);
        EXPECT_EQ(enabled.gdi.ptlPhysOffset.x, c.offsetX);
        EXPECT_EQ(enabled.gdi.ptlPhysOffset.y, c.offsetY);
    }
}

TEST_F(DeviceInstance, FieldsTheDriverDoesNotSetKeepTheEnginesValues) {
    DRIVER_DEVMODE dm = Devmode(JobSettings{});
    GDIINFO gdi{};
    gdi.ulHTPatternSize = 0x1234;
    gdi.ulPanningHorzRes = 77;
    DEVINFO dev{};
    HDEV hdev = HostEngineCreateDevice();
    std::u16string name = kPrinterName;
    DHPDEV pdev = DrvEnablePDEV(&dm.dmPublic, nullptr, 0, nullptr, sizeof gdi, reinterpret_cast<ULONG*>(&gdi),
                                sizeof dev, &dev, hdev, name.data(), printer());
    ASSERT_NE(pdev, nullptr);
    EXPECT_EQ(gdi.ulHTPatternSize, 0x1234u);
    EXPECT_EQ(gdi.ulPanningHorzRes, 77u);
    DrvDisablePDEV(pdev);
    HostEngineDeleteDevice(hdev);
}

TEST_F(DeviceInstance, DevInfoIsCompleteAndCopiedOnlyAsFarAsAsked) {
    EnabledPdev full(printer(), Devmode(JobSettings{}));
    ASSERT_NE(full.pdev, nullptr);
    EXPECT_EQ(full.dev.flGraphicsCaps, 0u);
    EXPECT_EQ(full.dev.lfDefaultFont.lfHeight, -83);
    EXPECT_EQ(full.dev.lfDefaultFont.lfWeight, 400);
    EXPECT_EQ(full.dev.lfDefaultFont.lfPitchAndFamily, 0x31);
    EXPECT_EQ(full.dev.lfDefaultFont.lfFaceName[0], 0);
    EXPECT_EQ(full.dev.lfAnsiVarFont.lfHeight, 0);
    EXPECT_EQ(full.dev.iDitherFormat, static_cast<ULONG>(BMF_24BPP));
    EXPECT_NE(full.dev.hpalDefault, nullptr);
    EXPECT_EQ(full.dev.hpalDefault, reinterpret_cast<PDEV*>(full.pdev)->hpalDefault);

    // An engine that asks for eight bytes gets eight: the rest of its record is left alone.
    struct Guarded {
        DEVINFO dev;
        BYTE guard[16];
    };
    Guarded guarded;
    std::memset(&guarded, 0xCD, sizeof guarded);
    DRIVER_DEVMODE dm = Devmode(JobSettings{});
    GDIINFO gdi{};
    HDEV hdev = HostEngineCreateDevice();
    std::u16string name = kPrinterName;
    DHPDEV pdev = DrvEnablePDEV(&dm.dmPublic, nullptr, 0, nullptr, sizeof gdi, reinterpret_cast<ULONG*>(&gdi), 8,
                                &guarded.dev, hdev, name.data(), printer());
    ASSERT_NE(pdev, nullptr);
    EXPECT_EQ(guarded.dev.flGraphicsCaps, 0u);
    EXPECT_EQ(guarded.dev.lfDefaultFont.lfHeight, -83);
    EXPECT_EQ(guarded.dev.lfDefaultFont.lfWidth, static_cast<LONG>(0xCDCDCDCD));
    DrvDisablePDEV(pdev);
    HostEngineDeleteDevice(hdev);
}

TEST_F(DeviceInstance, PatternArrayGetsItsNumbersWithinItsLength) {
    auto id = [](ULONG_PTR i) { return reinterpret_cast<HSURF>(i); };
    HSURF six[6];
    { EnabledPdev enabled(printer(), Devmode(JobSettings{}), 6, six); }
    for (ULONG_PTR i = 0; i < 6; ++i) {
        EXPECT_EQ(six[i], id(i));
    }
    HSURF eight[8];
    std::fill(std::begin(eight), std::end(eight), id(0x99));
    { EnabledPdev enabled(printer(), Devmode(JobSettings{}), 8, eight); }
    EXPECT_EQ(eight[5], id(5));
    EXPECT_EQ(eight[6], nullptr);
    EXPECT_EQ(eight[7], nullptr);
    // Three entries followed by guards: only the three are written.
    HSURF three[6];
    std::fill(std::begin(three), std::end(three), id(0x99));
    { EnabledPdev enabled(printer(), Devmode(JobSettings{}), 3, three); }
    EXPECT_EQ(three[0], id(0));
    EXPECT_EQ(three[2], id(2));
    EXPECT_EQ(three[3], id(0x99));
    EXPECT_EQ(three[5], id(0x99));
}

TEST_F(DeviceInstance, SurfaceIsAWhiteTwentyFourBitBandingBitmap) {
    Device device(printer(), JobSettings{});
    ASSERT_TRUE(device.ok());
    SURFOBJ* s = device.surface();
    EXPECT_EQ(s->sizlBitmap.cx, 576);
    EXPECT_EQ(s->sizlBitmap.cy, 220);
    EXPECT_EQ(s->iBitmapFormat, static_cast<ULONG>(BMF_24BPP));
    EXPECT_EQ(s->dhpdev, reinterpret_cast<DHPDEV>(&device.pdev()));
    const BYTE* bits = static_cast<const BYTE*>(s->pvScan0);
    for (LONG y = 0; y < 220; y += 73) {
        for (LONG x = 0; x < 576 * 3; ++x) {
            ASSERT_EQ(bits[y * s->lDelta + x], 0xFF);
        }
    }
}

TEST_F(DeviceInstance, TooShortOrTooLargeAPageHasNoSurface) {
    JobSettings shortPage;
    shortPage.paperLength = 200; // 160 - 180 rows
    {
        EnabledPdev enabled(printer(), Devmode(shortPage));
        ASSERT_NE(enabled.pdev, nullptr);
        EXPECT_EQ(enabled.gdi.ulVertRes, 0u) << "no negative height reported as a huge one";
        EXPECT_EQ(DrvEnableSurface(enabled.pdev), nullptr);
    }
    JobSettings huge;
    huge.paperWidth = 32767;
    huge.paperLength = 32767;
    const long heapBefore = HostHeapBlocksInUse();
    {
        EnabledPdev enabled(printer(), Devmode(huge));
        ASSERT_NE(enabled.pdev, nullptr);
        EXPECT_EQ(DrvEnableSurface(enabled.pdev), nullptr);
    }
    EXPECT_EQ(HostHeapBlocksInUse(), heapBefore);
}

TEST_F(DeviceInstance, EnablePdevFailsCleanlyWithoutMemory) {
    const long heapBefore = HostHeapBlocksInUse();
    const HostEngineCounts engineBefore = HostEngineLiveObjects();
    // Whichever allocation fails, the instance is either made whole or not made at all.
    int refused = 0;
    for (unsigned nth = 1; nth <= 8; ++nth) {
        HostFailAllocation(nth);
        EnabledPdev enabled(printer(), Devmode(JobSettings{}));
        HostFailAllocation(0);
        if (enabled.pdev == nullptr) {
            ++refused;
        } else {
            // Made whole: with the job's 80 mm paper, or with the defaults' 58 mm when the merge's
            // scratch copy was the allocation refused (a failed merge is not an error).
            const LONG width = reinterpret_cast<PDEV*>(enabled.pdev)->cxPage;
            EXPECT_TRUE(width == 576 || width == 432) << width;
        }
    }
    EXPECT_GE(refused, 2) << "the list head and the instance block";
    EXPECT_EQ(HostHeapBlocksInUse(), heapBefore);
    EXPECT_EQ(HostEngineLiveObjects(), engineBefore);
}

TEST_F(DeviceInstance, DrawingEntryPointsAnswer) {
    EnabledPdev enabled(printer(), Devmode(JobSettings{}));
    EXPECT_EQ(DrvGetGlyphMode(enabled.pdev, nullptr), static_cast<ULONG>(FO_GLYPHBITS));
    EXPECT_TRUE(DrvRealizeBrush(nullptr, nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_TRUE(DrvResetPDEV(enabled.pdev, enabled.pdev));
}

// The module as the engine loads it: every entry point exported by its plain name, and the debugger
// told of the attach and the detach.
TEST_F(DeviceInstance, ModuleExportsItsEntryPointsAndTellsTheDebugger) {
    HostClearDebugOutput();
    HMODULE module = LoadLibraryW(u"VELT");
    ASSERT_NE(module, nullptr);
    for (const char* name :
         {"DllEntryPoint",   "DrvQueryDriverInfo", "DrvEnableDriver",      "DrvDisableDriver", "DrvEnablePDEV",
          "DrvCompletePDEV", "DrvResetPDEV",       "DrvDisablePDEV",       "DrvEnableSurface", "DrvDisableSurface",
          "DrvStartDoc",     "DrvStartPage",       "DrvSendPage",          "DrvEndDoc",        "DrvStartBanding",
          "DrvNextBand",     "DrvBitBlt",          "DrvStretchBlt",        "DrvCopyBits",      "DrvLineTo",
          "DrvStrokePath",   "DrvFillPath",        "DrvStrokeAndFillPath", "DrvTextOut",       "DrvGetGlyphMode",
          "DrvRealizeBrush"}) {
        EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
    }
    EXPECT_EQ(GetProcAddress(module, "PageOutput"), nullptr) << "internal functions stay hidden";
    EXPECT_EQ(GetProcAddress(module, "ConvertMono"), nullptr);
    auto entry = reinterpret_cast<BOOL (*)(HANDLE, DWORD, LPVOID)>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "DllEntryPoint")));
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry(module, DLL_THREAD_ATTACH, nullptr)); // other reasons say nothing
    EXPECT_TRUE(FreeLibrary(module));
    std::vector<std::u16string> lines = HostDebugOutput();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], u"INSIDE PROCESS ATTACH");
    EXPECT_EQ(lines[1], u"INSIDE PROCESS DETTACH");
}

TEST_F(DeviceInstance, EntryPointsWriteTheirLinesToThePrintersLog) {
    DRIVER_LOG_SETTINGS settings{};
    settings.dlEnabled = 1;
    settings.dlMaxSizeIndex = LOG_MAX_SIZE_1MB;
    const std::u16string folder = FolderPath();
    std::copy(folder.begin(), folder.end(), settings.dlFolder);
    ASSERT_EQ(SetPrinterDataW(printer(), const_cast<LPWSTR>(DRIVER_LOG_FILE_VALUE), REG_BINARY,
                              reinterpret_cast<LPBYTE>(&settings), sizeof settings),
              static_cast<DWORD>(ERROR_SUCCESS));
    PrintDocument(JobSettings::Rows(220), {Picture(576, 220)});

    std::ifstream in(Folder() / "VELTPD.log", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string log = text.str();
    for (const char* entry :
         {"DrvEnablePDEV", "DrvCompletePDEV", "DrvEnableSurface", "DrvStartDoc", "DrvStartPage", "DrvStartBanding",
          "DrvNextBand", "PageOutput", "DrvEndDoc", "DrvDisableSurface", "DrvDisablePDEV"}) {
        EXPECT_NE(log.find(std::string("Entering the function ") + entry + "\r\n"), std::string::npos) << entry;
    }
}

} // namespace
