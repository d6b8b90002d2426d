#include <gtest/gtest.h>

#include "platform.h"
#include "host_fixture.h"
#include "host/testing.h"
#include "port_backend.h"
#include "printer_stream.h"
#include "temp_folder.h"

using namespace vprinter;
using vprinter_test::TempFolder;

namespace {

// An open port of the host's port monitor, closed at the end of the test.
class HostPort {
public:
    explicit HostPort(const std::u16string& name) : name_(name) {
        EXPECT_TRUE(Monitor().pfnOpenPort(name_.data(), &handle_));
    }
    ~HostPort() {
        if (handle_ != nullptr) Monitor().pfnClosePort(handle_);
    }
    HostPort(const HostPort&) = delete;
    HostPort& operator=(const HostPort&) = delete;

    static const MONITOR& Monitor() { return *HostPortMonitor(); }
    HANDLE Handle() const { return handle_; }
    HANDLE Release() { return std::exchange(handle_, nullptr); }

private:
    std::u16string name_;
    HANDLE handle_ = nullptr;
};

} // namespace

TEST(VirtualPrinterBackend, AJobThroughTheHostPortMonitorComesOutAsPictures) {
    ASSERT_TRUE(RegisterVirtualPrinterBackend());
    TempFolder folder;
    const std::u16string name = u"VPRINTER:" + HostWide(folder.Path().string());
    HostPort port(name);
    const MONITOR& monitor = HostPort::Monitor();
    Bytes job = PrinterStream()
                    .Initialise()
                    .SideMode(0)
                    .PageMode()
                    .PrintArea(50)
                    .Raster(0, {PrinterLine::Mono().Dot(40)})
                    .FormFeed()
                    .Feed(180)
                    .Cut()
                    .Initialise()
                    .Data();
    DOC_INFO_1W info{};
    ASSERT_TRUE(
        monitor.pfnStartDocPort(port.Handle(), const_cast<LPWSTR>(u"Virtual"), 12, 1, reinterpret_cast<LPBYTE>(&info)));
    DWORD written = 0;
    ASSERT_TRUE(monitor.pfnWritePort(port.Handle(), job.data(), 20, &written));
    EXPECT_EQ(written, 20u);
    ASSERT_TRUE(monitor.pfnWritePort(port.Handle(), job.data() + 20, static_cast<DWORD>(job.size() - 20), &written));
    EXPECT_EQ(written, job.size() - 20);
    ASSERT_TRUE(monitor.pfnEndDocPort(port.Handle()));

    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "job-12" / "piece-001.png"));
    const std::vector<PortJob> jobs = VirtualPortOf(folder.Path())->Jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].summary.pieces, 1u);
    EXPECT_EQ(jobs[0].summary.bytes, job.size());
    EXPECT_EQ(HostPortBytes(name.c_str()), job);

    HANDLE closed = port.Release();
    EXPECT_TRUE(monitor.pfnClosePort(closed));
    EXPECT_FALSE(monitor.pfnClosePort(closed));
}

TEST(VirtualPrinterBackend, AnAttachedUsbPortAnswersStatusAndConfiguration) {
    TempFolder folder;
    ASSERT_TRUE(AttachVirtualPrinter(u"USB007", folder.Path()));
    PrinterState state;
    state.busy = true;
    state.twoColourPaper = false;
    VirtualPortOf(folder.Path())->SetState(state);

    HostPort port(u"usb007");
    const MONITOR& monitor = HostPort::Monitor();
    uint8_t request[1024] = {0x14, 0x01, 0x01};
    uint8_t reply[1024] = {};
    DWORD returned = 0;
    ASSERT_TRUE(monitor.pfnGetPrinterDataFromPort(port.Handle(), IOCTL_USBPRINT_VENDOR_GET_COMMAND, nullptr,
                                                  reinterpret_cast<LPWSTR>(request), sizeof request,
                                                  reinterpret_cast<LPWSTR>(reply), sizeof reply, &returned));
    EXPECT_EQ(returned, 4u);
    EXPECT_EQ(Bytes(reply, reply + 4), (Bytes{0x08, 0x00, 0x00, 0x00}));
    EXPECT_FALSE(monitor.pfnGetPrinterDataFromPort(port.Handle(), IOCTL_USBPRINT_GET_1284_ID, nullptr,
                                                   reinterpret_cast<LPWSTR>(request), sizeof request,
                                                   reinterpret_cast<LPWSTR>(reply), sizeof reply, &returned));

    // A configuration request as the language monitor makes it: job 0, the command, then a read.
    ASSERT_TRUE(monitor.pfnStartDocPort(port.Handle(), const_cast<LPWSTR>(u"Virtual"), 0, 1, nullptr));
    uint8_t command[] = {0x1B, 0x40, 0x1F, 0x31, 0x04};
    DWORD written = 0;
    ASSERT_TRUE(monitor.pfnWritePort(port.Handle(), command, sizeof command, &written));
    DWORD read = 0;
    ASSERT_TRUE(monitor.pfnReadPort(port.Handle(), reply, 4, &read));
    EXPECT_EQ(read, 4u);
    EXPECT_EQ(Bytes(reply, reply + 4), (Bytes{0x00, 0x00, 0x00, 0x00}));
    ASSERT_TRUE(monitor.pfnEndDocPort(port.Handle()));
    // The request left no job files; the folder keeps only the printer's state, set above.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"state.json"});
}

using VirtualPrinterSpoolerTest = HostTest;

TEST_F(VirtualPrinterSpoolerTest, APrintedDocumentIsDespooledIntoPictures) {
    ASSERT_TRUE(RegisterVirtualPrinterBackend());
    HANDLE printer = AddTestPrinter(u"Virtual", u"VELT", u"VPRINTER:" + PathIn("paper"));
    ASSERT_NE(printer, nullptr);
    Bytes stream = PrinterStream()
                       .Initialise()
                       .SideMode(0)
                       .PageMode()
                       .PrintArea(60)
                       .Raster(0, {PrinterLine::Mono().Dot(99)})
                       .FormFeed()
                       .Feed(180)
                       .Cut()
                       .Initialise()
                       .Data();
    std::u16string document = u"receipt";
    DOC_INFO_1W info{document.data(), nullptr, nullptr};
    const DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
    ASSERT_NE(job, 0u);
    DWORD written = 0;
    ASSERT_TRUE(StartPagePrinter(printer));
    ASSERT_TRUE(WritePrinter(printer, stream.data(), static_cast<DWORD>(stream.size()), &written));
    ASSERT_TRUE(EndPagePrinter(printer));
    ASSERT_TRUE(EndDocPrinter(printer));
    ClosePrinter(printer);

    const std::filesystem::path jobFolder = Folder() / "paper" / ("job-" + std::to_string(job));
    EXPECT_TRUE(std::filesystem::exists(jobFolder / "piece-001.png"));
    EXPECT_FALSE(std::filesystem::exists(jobFolder / "piece-002.png"));
    const std::vector<PortJob> jobs = VirtualPortOf(Folder() / "paper")->Jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].summary.rows, 1u);
    EXPECT_TRUE(jobs[0].errors.empty());
}
