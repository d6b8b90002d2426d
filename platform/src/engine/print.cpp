// The engine's side of printing: one job of picture pages through the printer's rendering driver.
// The order of calls is the platform's: the printer and its job, the driver and its function
// table, the device instance and its surface, the document, and per page DrvStartPage and the band
// loop; then DrvEndDoc and EndDocPrinter, which sends the job through the port. The session object
// holds every resource and gives back whatever is still held, in reverse order, when it ends.
#include <cstdint>
#include <cstring>
#include <new>

#include "engine/internal.h"
#include "host/devmode_check.h"
#include "host/engine.h"
#include <winbase.h>
#include <libloaderapi.h>
#include <winspool.h>
#include "host/testing.h"

namespace {

using host::eng::DriverFunctions;

// An export goes back to its own signature through the generic function type.
template <typename F>
F Export(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The rendering driver a printer uses when the job names none.
constexpr char16_t kDefaultRenderingModule[] = u"VELT";
// Pattern surfaces the engine offers every device instance (the platform's six hatch brushes).
constexpr ULONG kPatterns = 6;

class PrintSession {
public:
    explicit PrintSession(const HostPrintJob& job) : job_(job) {}
    ~PrintSession();
    PrintSession(const PrintSession&) = delete;
    PrintSession& operator=(const PrintSession&) = delete;

    HostPrintResult Run();

private:
    // Records the failure of a call just made, with the thread's last error.
    bool Fail(const char* call, std::string detail = {}, size_t page = 0);

    bool CheckPages();
    bool OpenPrinter();
    bool ReadPrinterInfo();
    bool StartJob();
    bool LoadDriver();
    bool EnableDevice();
    bool EnableSurface();
    bool PrintPage(size_t index);
    bool Finish();

    const HostPrintJob& job_;
    HostPrintResult result_;

    std::vector<BYTE> devmode_;     // the job's device mode, once checked
    std::vector<BYTE> printerInfo_; // PRINTER_INFO_2W and everything it points to
    std::u16string printerName_;    // a writable copy: the driver's calls take LPWSTR
    std::u16string documentName_;
    std::u16string portName_;

    HANDLE printer_ = nullptr;
    bool jobStarted_ = false;
    HMODULE module_ = nullptr;
    PFN_DrvDisableDriver disableDriver_ = nullptr;
    bool driverEnabled_ = false;
    DriverFunctions driver_;
    HDEV device_ = nullptr;
    DHPDEV pdev_ = nullptr;
    GDIINFO gdiInfo_{};
    DEVINFO devInfo_{};
    HSURF patterns_[kPatterns]{};
    bool surfaceEnabled_ = false;
    SURFOBJ* surface_ = nullptr; // the driver's surface, locked while the session uses it
    bool docStarted_ = false;
};

PrintSession::~PrintSession() {
    // A document or job that did not finish is abandoned, never sent.
    if (docStarted_) driver_.endDoc(surface_, ED_ABORTDOC);
    if (jobStarted_) AbortPrinter(printer_);
    if (surface_) EngUnlockSurface(surface_);
    if (surfaceEnabled_) driver_.disableSurface(pdev_);
    if (pdev_) driver_.disablePdev(pdev_);
    if (device_) HostEngineDeleteDevice(device_);
    if (driverEnabled_ && disableDriver_) disableDriver_();
    if (module_) FreeLibrary(module_);
    if (printer_) ClosePrinter(printer_);
}

bool PrintSession::Fail(const char* call, std::string detail, size_t page) {
    result_.error = GetLastError();
    result_.failedCall = call;
    result_.detail = std::move(detail);
    result_.page = page;
    return false;
}

bool PrintSession::CheckPages() {
    if (job_.pages.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return Fail("HostPrintPages", "the job has no pages");
    }
    for (size_t i = 0; i < job_.pages.size(); ++i) {
        const HostPicture* p = job_.pages[i].picture;
        bool sound = p && p->width > 0 && p->height > 0 && p->stride >= static_cast<int64_t>(p->width) * 3 &&
                     p->pixels.size() >= static_cast<size_t>(p->stride) * static_cast<size_t>(p->height);
        if (!sound) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return Fail("HostPrintPages", "the page's picture is empty or shorter than its size", i + 1);
        }
    }
    if (!job_.devmode.empty()) {
        if (!HostIsValidDevmode(job_.devmode.data(), job_.devmode.size())) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return Fail("HostIsValidDevmode", "the job's device mode is malformed");
        }
        devmode_ = job_.devmode;
    }
    return true;
}

bool PrintSession::OpenPrinter() {
    printerName_ = job_.printer;
    PRINTER_DEFAULTSW defaults{nullptr, devmode_.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(devmode_.data()),
                               PRINTER_ACCESS_USE};
    if (!OpenPrinterW(printerName_.data(), &printer_, &defaults)) {
        printer_ = nullptr;
        return Fail("OpenPrinterW");
    }
    return true;
}

bool PrintSession::ReadPrinterInfo() {
    DWORD needed = 0;
    GetPrinterW(printer_, 2, nullptr, 0, &needed);
    if (needed == 0) return Fail("GetPrinterW");
    printerInfo_.resize(needed);
    if (!GetPrinterW(printer_, 2, printerInfo_.data(), needed, &needed)) return Fail("GetPrinterW");
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(printerInfo_.data());
    if (info->pPortName) portName_ = info->pPortName;
    // The printer's default device mode comes from the spooler's buffer: it may claim no more than the buffer holds.
    if (devmode_.empty() && info->pDevMode) {
        const BYTE* at = reinterpret_cast<const BYTE*>(info->pDevMode);
        const BYTE* end = printerInfo_.data() + printerInfo_.size();
        if (at < printerInfo_.data() || at >= end || !HostIsValidDevmode(at, static_cast<size_t>(end - at))) {
            SetLastError(ERROR_INVALID_DATA);
            return Fail("HostIsValidDevmode", "the printer's default device mode is malformed");
        }
        const auto* dm = reinterpret_cast<const DEVMODEW*>(at);
        devmode_.assign(at, at + dm->dmSize + dm->dmDriverExtra);
    }
    return true;
}

bool PrintSession::StartJob() {
    documentName_ = job_.document;
    std::u16string datatype = u"RAW";
    DOC_INFO_1W doc{documentName_.data(), nullptr, datatype.data()};
    DWORD id = StartDocPrinterW(printer_, 1, reinterpret_cast<LPBYTE>(&doc));
    if (id == 0) return Fail("StartDocPrinterW");
    jobStarted_ = true;
    result_.jobId = id;
    return true;
}

bool PrintSession::LoadDriver() {
    std::u16string name = job_.driverModule.empty() ? kDefaultRenderingModule : job_.driverModule;
    module_ = LoadLibraryW(name.c_str());
    if (!module_) return Fail("LoadLibraryW", "the rendering driver " + HostNarrow(name.c_str()));
    auto enable = Export<PFN_DrvEnableDriver>(module_, "DrvEnableDriver");
    if (!enable) return Fail("GetProcAddress", "the driver exports no DrvEnableDriver");
    disableDriver_ = Export<PFN_DrvDisableDriver>(module_, "DrvDisableDriver");

    DRVENABLEDATA data{};
    if (!enable(DDI_DRIVER_VERSION_NT5, sizeof data, &data)) return Fail("DrvEnableDriver");
    driverEnabled_ = true;
    std::string missing;
    if (!host::eng::TakeDriverFunctions(data, &driver_, &missing)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return Fail("DrvEnableDriver", "the driver's function table has no " + missing);
    }
    return true;
}

bool PrintSession::EnableDevice() {
    device_ = HostEngineCreateDevice();
    if (!device_) return Fail("HostEngineCreateDevice");
    std::memset(&gdiInfo_, 0, sizeof gdiInfo_);
    std::memset(&devInfo_, 0, sizeof devInfo_);
    auto* dm = devmode_.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(devmode_.data());
    pdev_ = driver_.enablePdev(dm, portName_.empty() ? nullptr : portName_.data(), kPatterns, patterns_,
                               sizeof gdiInfo_, reinterpret_cast<ULONG*>(&gdiInfo_), sizeof devInfo_, &devInfo_,
                               device_, printerName_.data(), printer_);
    if (!pdev_) return Fail("DrvEnablePDEV");
    result_.printableArea = {static_cast<LONG>(gdiInfo_.ulHorzRes), static_cast<LONG>(gdiInfo_.ulVertRes)};
    // From here the device's surfaces reach this PDEV.
    HostEngineSetDevicePdev(device_, pdev_);
    driver_.completePdev(pdev_, device_);
    return true;
}

bool PrintSession::EnableSurface() {
    HSURF handle = driver_.enableSurface(pdev_);
    if (!handle) return Fail("DrvEnableSurface");
    surfaceEnabled_ = true;
    surface_ = EngLockSurface(handle);
    if (!surface_) return Fail("DrvEnableSurface", "the surface it returned is not an engine surface");
    return true;
}

bool PrintSession::PrintPage(size_t index) {
    const HostPrintPage& page = job_.pages[index];
    size_t number = index + 1;
    host::eng::PictureSurface picture(*page.picture);
    if (!picture.Get()) return Fail("EngCreateBitmap", "the page's picture", number);

    // The spooler counts the job's pages, as for any application printing directly.
    if (!StartPagePrinter(printer_)) return Fail("StartPagePrinter", {}, number);
    if (!driver_.startPage(surface_)) return Fail("DrvStartPage", {}, number);
    SIZEL pageSize = result_.printableArea;
    POINTL origin{0, 0};
    if (!driver_.startBanding(surface_, &origin)) return Fail("DrvStartBanding", {}, number);
    size_t limit = host::eng::BandLimit(pageSize, surface_->sizlBitmap);
    for (size_t band = 0;; ++band) {
        if (band == limit) {
            SetLastError(ERROR_INVALID_FUNCTION);
            return Fail("DrvNextBand", "the driver never reported the end of the page", number);
        }
        const char* call = nullptr;
        if (!host::eng::DrawBand(driver_, surface_, pageSize, page.placement, picture.Get(), origin, &call))
            return Fail(call, {}, number);
        if (!driver_.nextBand(surface_, &origin)) return Fail("DrvNextBand", {}, number);
        if (origin.x == -1 && origin.y == -1) break;
    }
    if (!EndPagePrinter(printer_)) return Fail("EndPagePrinter", {}, number);
    result_.pagesPrinted = number;
    if (job_.onPage) job_.onPage(number, job_.pages.size());
    return true;
}

bool PrintSession::Finish() {
    docStarted_ = false;
    if (!driver_.endDoc(surface_, 0)) return Fail("DrvEndDoc");
    // The job now belongs to the spooler, whether or not it reaches the port.
    jobStarted_ = false;
    if (!EndDocPrinter(printer_)) return Fail("EndDocPrinter");
    return true;
}

HostPrintResult PrintSession::Run() {
    if (!CheckPages() || !OpenPrinter() || !ReadPrinterInfo() || !StartJob() || !LoadDriver() || !EnableDevice() ||
        !EnableSurface())
        return result_;
    if (!driver_.startDoc(surface_, documentName_.data(), result_.jobId)) {
        Fail("DrvStartDoc");
        return result_;
    }
    docStarted_ = true;
    for (size_t i = 0; i < job_.pages.size(); ++i)
        if (!PrintPage(i)) return result_;
    if (!Finish()) return result_;
    result_.ok = true;
    return result_;
}

} // namespace

std::string HostPrintResult::Message() const {
    if (ok) return "printed " + std::to_string(pagesPrinted) + " page(s) as job " + std::to_string(jobId);
    std::string text = failedCall + " failed";
    if (page) text += " on page " + std::to_string(page);
    if (!detail.empty()) text += ": " + detail;
    text += " (error " + std::to_string(error) + ")";
    return text;
}

HostPrintResult HostPrintPages(const HostPrintJob& job) {
    try {
        PrintSession session(job);
        return session.Run();
    } catch (const std::bad_alloc&) {
        // The session has already given back what it held.
        HostPrintResult result;
        result.failedCall = "HostPrintPages";
        result.detail = "out of memory";
        result.error = ERROR_NOT_ENOUGH_MEMORY;
        return result;
    }
}
