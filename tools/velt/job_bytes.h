// The bytes of one print job exactly as the rendering driver wrote them to the spooler (the job's
// spool data), kept by the host while the capture lives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform.h"

namespace velt {

class JobCapture {
public:
    explicit JobCapture(std::u16string printer);
    ~JobCapture();
    JobCapture(const JobCapture&) = delete;
    JobCapture& operator=(const JobCapture&) = delete;

    // The job's bytes; false when the host has none for it.
    bool Bytes(DWORD jobId, std::vector<uint8_t>* bytes) const;

private:
    std::u16string printer_;
};

} // namespace velt
