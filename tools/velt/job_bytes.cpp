#include "job_bytes.h"

#include "host/testing.h"

namespace velt {

JobCapture::JobCapture(std::u16string printer) : printer_(std::move(printer)) { HostKeepJobData(TRUE); }

JobCapture::~JobCapture() { HostKeepJobData(FALSE); }

bool JobCapture::Bytes(DWORD jobId, std::vector<uint8_t>* bytes) const {
    return HostJobData(printer_.c_str(), jobId, bytes);
}

} // namespace velt
