#include "virtual_port.h"

#include <algorithm>
#include <fstream>

#include "job_report.h"
#include "piece_files.h"

namespace vprinter {

VirtualPort::VirtualPort(std::filesystem::path folder, const PrinterState& state)
    : folder_(std::move(folder)), printer_(state) {}

void VirtualPort::StartDoc(uint32_t jobId) {
    std::lock_guard lock(mutex_);
    jobId_ = jobId;
}

void VirtualPort::Write(std::span<const uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    printer_.Feed(bytes);
}

size_t VirtualPort::Read(std::span<uint8_t> out) {
    std::lock_guard lock(mutex_);
    return printer_.ReadReply(out);
}

bool VirtualPort::EndDoc(std::string& error) {
    std::lock_guard lock(mutex_);
    JobResult result = printer_.Finish();
    PortJob job{jobId_, {}, result.summary, {}, result.errors, result.warnings};
    jobId_ = 0;
    bool written = true;
    if (!result.pieces.empty() || !result.errors.empty() || !result.warnings.empty()) {
        job.folder = folder_ / ("job-" + std::to_string(job.jobId));
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
    const Reply status = StatusReply(printer_.State());
    const size_t count = std::min(reply.size(), status.size());
    std::copy_n(status.begin(), count, reply.begin());
    return count;
}

PrinterState VirtualPort::State() const {
    std::lock_guard lock(mutex_);
    return printer_.State();
}

void VirtualPort::SetState(const PrinterState& state) {
    std::lock_guard lock(mutex_);
    printer_.State() = state;
}

std::vector<PortJob> VirtualPort::Jobs() const {
    std::lock_guard lock(mutex_);
    return jobs_;
}

} // namespace vprinter
