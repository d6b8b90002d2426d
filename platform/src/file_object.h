// An open file behind a file handle: the descriptor, the granted access and its place in the
// share-mode table (left when the object dies).
#pragma once

#include "handles.h"
#include "share_modes.h"
#include "unique_fd.h"

namespace host {

class FileObject : public HostObject {
public:
    FileObject(UniqueFd fd, FileId id, DWORD access, DWORD share)
        : HostObject(HandleKind::File), fd_(std::move(fd)), id_(id), access_(access) {
        RegisterOpen(id_, this, access, share); // the caller holds the share lock
    }
    ~FileObject() override { UnregisterOpen(id_, this); }

    int Fd() const { return fd_.Get(); }
    DWORD Access() const { return access_; } // specific rights (share_modes.h)
    bool CanRead() const { return access_ & kReadData; }
    bool CanWrite() const { return access_ & (kWriteData | kAppendData); }

private:
    UniqueFd fd_;
    FileId id_;
    DWORD access_;
};

} // namespace host
