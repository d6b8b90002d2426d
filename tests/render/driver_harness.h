// Drives the rendering driver's entry points the way the engine does, on a host printer whose port is
// a file, so that a test reads back every byte the driver sent through the spooler.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device_instance.h"
#include "driver_devmode.h"
#include "driver_entry_points.h"
#include "pictures.h"
#include "host/engine.h"
#include "host_fixture.h"
#include "platform.h"
#include "printer_stream.h"
#include "stream_difference.h"

// The job settings a test varies; everything else is the device mode's default.
struct JobSettings {
    SHORT orientation = 1;
    SHORT paperWidth = 800;
    SHORT paperLength = 500;
    SHORT duplex = 1;
    SHORT colour = 1;
    SHORT pageModeControl = 0; // 0 page mode, 1 standard mode
    SHORT cuttingControl = 0;  // 0 cut after each page, 1 cut at the end of the document

    // An 80 mm portrait page of `rows` printer rows (single side: length x 4/5 - 180 = rows).
    static JobSettings Rows(int rows) {
        JobSettings s;
        s.paperLength = static_cast<SHORT>((rows + 180) * 5 / 4 + ((rows + 180) * 5 % 4 != 0));
        return s;
    }
};

inline constexpr char16_t kPrinterName[] = u"Calvix Test";

class RenderTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        SetVerticalDotCount(24);
        port_ = Folder() / "port.bin";
        printer_ = AddTestPrinter(kPrinterName, u"VELT", u"FILE:" + HostWide(port_.string()));
        ASSERT_NE(printer_, nullptr);
    }

    void TearDown() override {
        if (printer_ != nullptr) {
            ClosePrinter(printer_);
        }
        HostTest::TearDown();
    }

    static void SetVerticalDotCount(DWORD count) { SetVerticalDotCountValue(REG_DWORD, &count, sizeof count); }

    static void SetVerticalDotCountValue(DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Calvix", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, u"VerticalDotCount", 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    static void RemoveVerticalDotCount() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Calvix", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, u"VerticalDotCount");
            RegCloseKey(key);
        }
    }

    // The job's device mode as an application hands it over.
    static DRIVER_DEVMODE Devmode(const JobSettings& s) {
        DRIVER_DEVMODE dm{};
        DevmodeSetDefaults(&dm, kPrinterName);
        dm.dmPublic.dmOrientation = s.orientation;
        dm.dmPublic.dmPaperWidth = s.paperWidth;
        dm.dmPublic.dmPaperLength = s.paperLength;
        dm.dmPublic.dmDuplex = s.duplex;
        dm.dmPublic.dmColor = s.colour;
        dm.dmPageModeControl = s.pageModeControl;
        dm.dmCuttingControl = s.cuttingControl;
        return dm;
    }

    // One device instance with its surface, enabled and completed as the engine does it.
    class Device {
    public:
        Device(HANDLE printer, const JobSettings& settings) : devmode_(Devmode(settings)) {
            hdev_ = HostEngineCreateDevice();
            gdiInfo_ = GDIINFO{};
            devInfo_ = DEVINFO{};
            std::u16string name = kPrinterName;
            pdev_ = DrvEnablePDEV(&devmode_.dmPublic, nullptr, 0, nullptr, sizeof gdiInfo_,
                                  reinterpret_cast<ULONG*>(&gdiInfo_), sizeof devInfo_, &devInfo_, hdev_, name.data(),
                                  printer);
            if (pdev_ == nullptr) {
                return;
            }
            HostEngineSetDevicePdev(hdev_, pdev_);
            DrvCompletePDEV(pdev_, hdev_);
            hsurf_ = DrvEnableSurface(pdev_);
            if (hsurf_ != nullptr) {
                surface_ = EngLockSurface(hsurf_);
            }
        }
        ~Device() {
            if (surface_ != nullptr) {
                EngUnlockSurface(surface_);
            }
            if (pdev_ != nullptr) {
                DrvDisableSurface(pdev_);
                DrvDisablePDEV(pdev_);
            }
            HostEngineDeleteDevice(hdev_);
        }
        Device(const Device&) = delete;
        Device& operator=(const Device&) = delete;

        bool ok() const { return surface_ != nullptr; }
        SURFOBJ* surface() const { return surface_; }
        PDEV& pdev() const { return *reinterpret_cast<PDEV*>(pdev_); }
        const GDIINFO& gdiInfo() const { return gdiInfo_; }

        // One page: start, band, the picture copied into the surface, end of band (which sends it).
        bool Page(const Picture& picture) {
            if (!DrvStartPage(surface_)) {
                return false;
            }
            return Band(picture);
        }
        bool Band(const Picture& picture) {
            POINTL origin{7, 7};
            if (!DrvStartBanding(surface_, &origin) || origin.x != 0 || origin.y != 0) {
                return false;
            }
            auto* bits = static_cast<BYTE*>(surface_->pvScan0);
            const int rows = std::min<int>(picture.height, surface_->sizlBitmap.cy);
            const size_t bytes = std::min<size_t>(picture.width, surface_->sizlBitmap.cx) * 3;
            for (int y = 0; y < rows; ++y) {
                std::memcpy(bits + y * surface_->lDelta, picture.bytes.data() + y * picture.stride, bytes);
            }
            lastNextBand_ = DrvNextBand(surface_, &origin);
            return lastNextBand_ && origin.x == -1 && origin.y == -1;
        }
        // A white page of the surface's size.
        bool BlankPage() { return Page(Picture(surface_->sizlBitmap.cx, surface_->sizlBitmap.cy)); }
        bool lastNextBand() const { return lastNextBand_; }

    private:
        DRIVER_DEVMODE devmode_;
        HDEV hdev_ = nullptr;
        DHPDEV pdev_ = nullptr;
        HSURF hsurf_ = nullptr;
        SURFOBJ* surface_ = nullptr;
        GDIINFO gdiInfo_;
        DEVINFO devInfo_;
        bool lastNextBand_ = false;
    };

    // Starts a spooler job on the test printer; EndJob sends it to the port and returns its bytes.
    void StartJob() {
        std::u16string document = u"Render test", datatype = u"RAW";
        DOC_INFO_1W doc{document.data(), nullptr, datatype.data()};
        ASSERT_NE(StartDocPrinterW(printer_, 1, reinterpret_cast<LPBYTE>(&doc)), 0u);
    }
    Bytes EndJob() {
        EXPECT_TRUE(EndDocPrinter(printer_));
        Bytes bytes = ReadBytes(port_);
        std::filesystem::remove(port_);
        return bytes;
    }

    // Runs a whole document: the pictures as pages between DrvStartDoc and DrvEndDoc; each page's
    // DrvNextBand must answer pagesPrint (FALSE when its page output fails).
    Bytes PrintDocument(const JobSettings& settings, const std::vector<Picture>& pages, bool pagesPrint = true) {
        StartJob();
        {
            Device device(printer_, settings);
            EXPECT_TRUE(device.ok());
            if (device.ok()) {
                EXPECT_TRUE(DrvStartDoc(device.surface(), nullptr, 1));
                for (const Picture& page : pages) {
                    EXPECT_EQ(device.Page(page), pagesPrint);
                }
                EXPECT_TRUE(DrvEndDoc(device.surface(), 0));
            }
        }
        return EndJob();
    }

    HANDLE printer() const { return printer_; }

private:
    std::filesystem::path port_;
    HANDLE printer_ = nullptr;
};

// Pictures of whole rows: black, white, red.
inline Picture RowsPicture(int width, int height, const std::function<uint32_t(int row)>& colour) {
    Picture p(width, height);
    for (int y = 0; y < height; ++y) {
        uint32_t c = colour(y);
        for (int x = 0; x < width; ++x) {
            p.Set(x, y, static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16));
        }
    }
    return p;
}
