// The virtual printer behind the host's port monitor. Once registered, every port named
// "VPRINTER:<folder>" (a Linux path, or a platform drive path mapped as the host maps it) is served by the VirtualPort
// of that folder: each job's bytes go to the printer model and the job's pictures land in <folder>/job-<id>. A port
// name of the real kind ("USB001") can be attached to a folder too, so that the language monitor, which sends status
// queries and configuration requests only through USB, COM and LPT ports, talks to the virtual printer through it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "virtual_port.h"

namespace vprinter {

constexpr char16_t VPRINTER_PORT_PREFIX[] = u"VPRINTER:";

// Registers the "VPRINTER:" prefix with the host's port monitor; false when the host refuses it.
bool RegisterVirtualPrinterBackend();

// Attaches the port of that name (USB001) to the VirtualPort of the folder, through the host's port
// attachments (kept in the store, so that other processes print there too), and registers the backend.
bool AttachVirtualPrinter(const std::u16string& portName, const std::filesystem::path& folder);

// The VirtualPort that serves a folder, created on first use and kept for the life of the process, so
// that its printer state (paper, errors) persists from job to job and can be set before a job.
std::shared_ptr<VirtualPort> VirtualPortOf(const std::filesystem::path& folder);

} // namespace vprinter
