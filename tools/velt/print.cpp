// velt print [options] PICTURE...: prints each picture as one page through the whole road (the
// graphics engine, the rendering driver, the spooler and the printer's port), with the job's
// settings taken from the printer's default device mode and changed by the options.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "platform_owners.h"
#include "command_line.h"
#include "installation.h"
#include "job_bytes.h"
#include "job_watch.h"
#include "page_failure.h"
#include "piece_files.h"
#include "png_picture.h"
#include "port_backend.h"
#include "print_options.h"
#include "subcommands.h"
#include "virtual_printer.h"

namespace velt {
namespace {

namespace fs = std::filesystem;

// The job's device mode: the driver's record with the printer's defaults taken over, then the
// options; as an application gets it from the document settings and changes it.
bool JobDevmode(const std::u16string& printerName, const PrintOptions& options, DRIVER_DEVMODE* devmode,
                std::ostream& err) {
    const PrinterHandle printer = OpenPrinterFor(printerName.c_str(), PRINTER_ACCESS_USE);
    if (!printer.get()) {
        err << "velt print: there is no printer \"" << HostNarrow(printerName.c_str()) << "\" (error " << GetLastError()
            << ")\n";
        return false;
    }
    DevmodeSetDefaults(devmode, printerName.c_str());
    DWORD needed = 0;
    GetPrinterW(printer.get(), 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed);
    if (needed && GetPrinterW(printer.get(), 2, info.data(), needed, &needed)) {
        const auto* level2 = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
        if (level2->pDevMode)
            DevmodeMerge(devmode, level2->pDevMode, CONFIGURATION_INTERFACE_MERGE_RULES);
        else
            err << "velt print: printer \"" << HostNarrow(printerName.c_str())
                << "\" has no usable default device mode; the driver's defaults are used\n";
    }
    ApplyPrintOptions(options, devmode);
    return true;
}

// The roll of paper the job's device mode asks for, for the virtual printer's pictures.
vprinter::PrinterState PaperFor(const DRIVER_DEVMODE& devmode) {
    const DEVMODEW& dm = devmode.dmPublic;
    SHORT roll = dm.dmOrientation == DMORIENT_LANDSCAPE ? dm.dmPaperLength : dm.dmPaperWidth;
    vprinter::PrinterState state;
    state.paperWidth = roll == 580 ? vprinter::PaperWidth::Mm58 : vprinter::PaperWidth::Mm80;
    state.twoColourPaper = true;
    return state;
}

// The file is written whole under a temporary name in its folder, flushed to the disk and renamed over
// the final name, so that a run killed or failing half way leaves the previous file as it was.
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes, std::ostream& err) {
    std::error_code ec;
    if (fs::path parent = fs::path(path).parent_path(); !parent.empty()) fs::create_directories(parent, ec);
    const std::string temporary = path + ".part-" + std::to_string(getpid());
    int cause = 0; // the errno of the first step that failed
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) cause = errno;
    for (size_t done = 0; cause == 0 && done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (n == 0)
            cause = EIO;
        else if (errno != EINTR)
            cause = errno;
    }
    if (cause == 0 && fsync(fd) != 0) cause = errno;
    if (fd >= 0 && close(fd) != 0 && cause == 0) cause = errno;
    if (cause == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) cause = errno;
    if (cause != 0) {
        err << "velt print: cannot write '" << path << "': " << std::strerror(cause) << '\n';
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool WritePreview(const std::string& folder, const std::vector<uint8_t>& bytes, const DRIVER_DEVMODE& devmode,
                  std::ostream& out, std::ostream& err) {
    vprinter::VirtualPrinter printer(PaperFor(devmode));
    printer.Feed(bytes);
    vprinter::JobResult result = printer.Finish();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        err << "velt print: cannot create folder '" << folder << "': " << ec.message() << '\n';
        return false;
    }
    vprinter::RemovePieceFiles(folder);
    std::vector<std::string> paths;
    std::string error;
    if (!vprinter::WritePieceFiles(folder, result.pieces, paths, error)) {
        err << "velt print: " << error << '\n';
        return false;
    }
    for (const std::string& path : paths) out << "preview: " << path << '\n';
    return true;
}

// A picture larger than its page loses what lies outside the printable area: say so.
void WarnWhenCropped(const std::vector<HostPicture>& pictures, bool fit, SIZEL area, std::ostream& err) {
    for (size_t i = 0; i < pictures.size(); ++i) {
        const HostPicture& p = pictures[i];
        long long height = fit ? (static_cast<long long>(p.height) * area.cx + p.width / 2) / p.width : p.height;
        bool cropped = (!fit && p.width > area.cx) || height > area.cy;
        if (!cropped || area.cx <= 0 || area.cy <= 0) continue;
        err << "velt print: page " << i + 1 << ": the picture (" << p.width << " x " << height
            << " dots) is larger than the printable area (" << area.cx << " x " << area.cy
            << " dots) and is cut off; --paper sets the page size" << (fit ? "" : ", --fit scales to the width")
            << '\n';
    }
}

// Whether the spooler holds the job because the printer's configuration interface refused it
// (DevQueryPrintEx) before it was sent.
bool JobHeld(const std::u16string& printer, DWORD jobId) {
    for (const HostJobRecord& job : HostJobs(printer.c_str()))
        if (job.id == jobId) return (job.status & JOB_STATUS_BLOCKED_DEVQ) != 0;
    return false;
}

int Print(const PrintOptions& options, std::ostream& out, std::ostream& err) {
    std::vector<HostPicture> pictures(options.pictures.size());
    for (size_t i = 0; i < pictures.size(); ++i) {
        std::string error;
        if (!picture::LoadPng(options.pictures[i], &pictures[i], &error)) {
            err << "velt print: " << error << '\n';
            return EXIT_FILE_ERROR;
        }
    }

    if (!OpenHostStore(err)) return EXIT_SYSTEM_ERROR;
    InstallReport installed;
    if (!EnsureInstallation(std::nullopt, &installed, err)) return EXIT_SYSTEM_ERROR;
    if (installed.addedPrinter) out << "installed printer \"" << HostNarrow(PRINTER_NAME) << "\"\n";

    HostPrintJob job;
    job.printer = options.printer.empty() ? std::u16string(PRINTER_NAME) : HostWide(options.printer);
    DRIVER_DEVMODE devmode;
    if (!JobDevmode(job.printer, options, &devmode, err)) return EXIT_SYSTEM_ERROR;
    const BYTE* record = reinterpret_cast<const BYTE*>(&devmode);
    job.devmode.assign(record, record + sizeof devmode);
    job.document = HostWide(fs::path(options.pictures.front()).filename().string());
    for (const HostPicture& p : pictures)
        job.pages.push_back({&p, options.fit ? HostPlacement::FitWidth : HostPlacement::TopLeft});
    // The watch lives while the job goes through; after it velt alone writes to err again.
    std::optional<JobWatch> watch(std::in_place, job.printer, err);
    bool terminal = isatty(STDERR_FILENO) == 1;
    if (terminal)
        job.onPage = [&](size_t done, size_t total) {
            watch->Say("\rvelt print: page " + std::to_string(done) + " of " + std::to_string(total) +
                       (done == total ? "\n" : ""));
        };

    JobCapture capture(job.printer);
    HostPrintResult result = HostPrintPages(job);
    const bool cancelled = watch->Cancelled();
    const unsigned long cancelledJob = watch->CancelledJob() ? watch->CancelledJob() : result.jobId;
    watch.reset();
    if (cancelled) {
        err << "velt print: job " << cancelledJob << " on \"" << HostNarrow(job.printer.c_str()) << "\" cancelled\n";
        return EXIT_CANCELLED;
    }
    if (!result.ok) {
        if (terminal) err << '\n';
        const std::string cause = result.failedCall == "DrvNextBand" && result.page ? PageFailureCause() : "";
        if (!cause.empty())
            err << "velt: page " << result.page << " was not printed: " << cause << '\n';
        else
            err << "velt print: " << result.Message() << '\n';
        return EXIT_SYSTEM_ERROR;
    }
    WarnWhenCropped(pictures, options.fit, result.printableArea, err);
    if (JobHeld(job.printer, result.jobId)) {
        err << "velt print: job " << result.jobId << " is held in the queue of \"" << HostNarrow(job.printer.c_str())
            << "\": the printer's driver refused the job's settings (they name no paper)\n";
        return EXIT_SYSTEM_ERROR;
    }
    out << "printed " << result.pagesPrinted << (result.pagesPrinted == 1 ? " page" : " pages") << " on \""
        << HostNarrow(job.printer.c_str()) << "\" as job " << result.jobId << '\n';

    if (!options.spoolFile.empty() || !options.previewFolder.empty()) {
        std::vector<uint8_t> bytes;
        if (!capture.Bytes(result.jobId, &bytes)) {
            err << "velt print: the job's bytes are not available\n";
            return EXIT_SYSTEM_ERROR;
        }
        if (!options.spoolFile.empty()) {
            if (!WriteFile(options.spoolFile, bytes, err)) return EXIT_FILE_ERROR;
            out << "spool: " << options.spoolFile << " (" << bytes.size() << " bytes)\n";
        }
        if (!options.previewFolder.empty() && !WritePreview(options.previewFolder, bytes, devmode, out, err))
            return EXIT_FILE_ERROR;
    }
    return EXIT_OK;
}

} // namespace

void RegisterPrint(CommandLine& velt) {
    auto options = std::make_shared<PrintOptions>();
    CLI::App& print =
        velt.Add("print", "print PNG pictures, one per page, through the driver and the spooler to the printer",
                 [options](std::ostream& out, std::ostream& err) { return Print(*options, out, err); });
    AddPrintOptions(print, options.get());
}

} // namespace velt
