#include "virtual_port.h"

#include <algorithm>
#include <fstream>

#include "job_report.h"
#include "piece_files.h"
#include "platform.h"
#include "state_file.h"

namespace vprinter {

namespace {

// Bytes fed to the printer at a time while it prints at a set speed, so that the time paper takes to
// come out follows the stream closely.
constexpr size_t SPEED_SLICE = 800;
constexpr uint64_t DOTS_PER_MM = 8;

} // namespace

VirtualPort::VirtualPort(std::filesystem::path folder, const PrinterState& state)
    : folder_(std::move(folder)), printer_(state) {
    std::lock_guard lock(mutex_);
    FollowStateFile();
}

void VirtualPort::FollowStateFile() const {
    std::error_code ec;
    const std::filesystem::path file = folder_ / STATE_FILE_NAME;
    const auto stamp = std::filesystem::last_write_time(file, ec);
    if (ec || stamp == stateSeen_) return;
    PrinterState state = printer_.State();
    std::string error;
    if (ReadStateFile(file, &state, error)) printer_.State() = state;
    stateSeen_ = stamp;
}

void VirtualPort::SaveStateFile() {
    std::string error;
    const std::filesystem::path file = folder_ / STATE_FILE_NAME;
    if (!WriteStateFile(file, printer_.State(), error)) return; // the state lives on in memory
    std::error_code ec;
    stateSeen_ = std::filesystem::last_write_time(file, ec);
}

std::filesystem::path VirtualPort::JobFolder(uint32_t jobId) const {
    return folder_ / ("job-" + std::to_string(jobId));
}

void VirtualPort::StartDoc(uint32_t jobId) {
    std::lock_guard lock(mutex_);
    FollowStateFile();
    jobId_ = jobId;
    portBytes_.close();
    if (jobId == 0) return; // a configuration request keeps no files of its own
    std::error_code ec;
    std::filesystem::create_directories(JobFolder(jobId), ec);
    portBytes_.open(JobFolder(jobId) / "port.bin", std::ios::binary | std::ios::trunc);
}

void VirtualPort::Write(std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        uint64_t advanced = 0;
        unsigned speed = 0;
        size_t slice = bytes.size();
        {
            std::lock_guard lock(mutex_);
            FollowStateFile();
            speed = printer_.State().speed;
            if (speed != 0) slice = std::min(slice, SPEED_SLICE);
            const auto piece = bytes.first(slice);
            if (portBytes_.is_open()) {
                portBytes_.write(reinterpret_cast<const char*>(piece.data()), static_cast<std::streamsize>(slice));
                portBytes_.flush(); // another process may follow the job's bytes as they come
            }
            const uint64_t before = printer_.AdvancedRows();
            const PrinterState state = printer_.State();
            printer_.Feed(piece);
            advanced = printer_.AdvancedRows() - before;
            if (!(printer_.State() == state)) SaveStateFile(); // a set-configuration command
        }
        bytes = bytes.subspan(slice);
        // The host's Sleep: under a test clock the paper's time passes at once.
        if (speed != 0 && advanced != 0) Sleep(static_cast<DWORD>(advanced * 1000 / DOTS_PER_MM / speed));
    }
}

size_t VirtualPort::Read(std::span<uint8_t> out) {
    std::lock_guard lock(mutex_);
    return printer_.ReadReply(out);
}

bool VirtualPort::EndDoc(std::string& error) {
    std::lock_guard lock(mutex_);
    portBytes_.close();
    JobResult result = printer_.Finish();
    PortJob job{jobId_, {}, result.summary, {}, result.errors, result.warnings};
    jobId_ = 0;
    bool written = true;
    if (job.jobId != 0 || !result.pieces.empty() || !result.errors.empty() || !result.warnings.empty()) {
        job.folder = JobFolder(job.jobId);
        std::error_code ec;
        std::filesystem::create_directories(job.folder, ec);
        if (ec) {
            error = "cannot create folder '" + job.folder.string() + "': " + ec.message();
            written = false;
        } else {
            RemovePieceFiles(job.folder);
            written = WritePieceFiles(job.folder, result.pieces, job.pictures, error);
            const std::filesystem::path reportPath = job.folder / "report.txt";
            std::ofstream report(reportPath);
            report << "job " << job.jobId << ": " << SummaryLine(result.summary) << '\n';
            WriteProblems(report, "job " + std::to_string(job.jobId), result);
            report.close();
            if (written && !report) {
                error = "cannot write '" + reportPath.string() + "'";
                written = false;
            }
        }
    }
    jobs_.push_back(std::move(job));
    return written;
}

size_t VirtualPort::VendorCommand(std::span<const uint8_t> request, std::span<uint8_t> reply) {
    std::lock_guard lock(mutex_);
    if (!IsStatusQuery(request)) return 0;
    FollowStateFile();
    const Reply status = StatusReply(printer_.State());
    const size_t count = std::min(reply.size(), status.size());
    std::copy_n(status.begin(), count, reply.begin());
    return count;
}

PrinterState VirtualPort::State() const {
    std::lock_guard lock(mutex_);
    FollowStateFile();
    return printer_.State();
}

void VirtualPort::SetState(const PrinterState& state) {
    std::lock_guard lock(mutex_);
    printer_.State() = state;
    SaveStateFile();
}

std::vector<PortJob> VirtualPort::Jobs() const {
    std::lock_guard lock(mutex_);
    return jobs_;
}

} // namespace vprinter
