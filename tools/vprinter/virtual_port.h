// A printer port with the virtual printer behind it, for the host's port monitor. Each document's bytes
// go to the printer, and every byte of a job is kept, in order, in <folder>/job-<job id>/port.bin; when
// the document ends, its pictures (piece-001.png, ...) and a report.txt (summary, warnings, errors) are
// written beside it. A document of job 0 that produced no paper and no problem (a configuration
// request) writes nothing. The printer's state lives in <folder>/state.json once it has been set: it is
// read again whenever another process has changed it, and written when it changes here (a set-
// configuration command). With a speed set, writing takes as long as the paper takes to come out.
// Calls may come from several threads (the spooler's and a status worker's): every call takes the
// port's lock, and none holds it while the paper comes out.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "printer_state.h"
#include "virtual_printer.h"

namespace vprinter {

struct PortJob {
    uint32_t jobId = 0;
    std::filesystem::path folder; // empty when nothing was written
    Summary summary;
    std::vector<std::string> pictures;
    std::vector<StreamError> errors;
    std::vector<Notice> warnings;
};

class VirtualPort {
public:
    explicit VirtualPort(std::filesystem::path folder, const PrinterState& state = {});

    void StartDoc(uint32_t jobId);
    void Write(std::span<const uint8_t> bytes);
    // Bytes the printer sent back (configuration replies); returns the count copied.
    size_t Read(std::span<uint8_t> out);
    // Ends the document and writes its files; false with the reason when a file cannot be written.
    bool EndDoc(std::string& error);

    // The USB printing class vendor command: a status query gets the 4-byte status reply. Returns the
    // count of reply bytes, 0 for a request the printer does not answer.
    size_t VendorCommand(std::span<const uint8_t> request, std::span<uint8_t> reply);

    PrinterState State() const;
    // Sets the state and keeps it in the folder's state file.
    void SetState(const PrinterState& state);
    std::vector<PortJob> Jobs() const;
    const std::filesystem::path& Folder() const { return folder_; }

private:
    // Lock held: the state file changed since it was last read or written here: read it again.
    void FollowStateFile() const;
    void SaveStateFile();
    std::filesystem::path JobFolder(uint32_t jobId) const;

    const std::filesystem::path folder_;
    mutable std::mutex mutex_;
    mutable VirtualPrinter printer_;
    mutable std::filesystem::file_time_type stateSeen_{};
    uint32_t jobId_ = 0;
    std::ofstream portBytes_;
    std::vector<PortJob> jobs_;
};

} // namespace vprinter
