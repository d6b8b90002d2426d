// The five exports of VELTlog, built without exceptions: a failure is only ever the result 0.
#include <cstring>

#include "VELTlog.h"
#include "log_append.h"
#include "log_family.h"
#include "log_format.h"
#include "log_handle_table.h"
#include "log_rotation.h"
#include "log_settings.h"
#include "log_state.h"
#include "platform_owners.h"

using namespace velt::log;

namespace {

// Opens the current file for a caller. A handle value still standing for a retired caller's handle would
// be mistaken for it, so such a value stays open (and unused, held by this call) until a fresh value has
// come; values can't come again while open, so this ends after at most one extra open per retired handle.
HANDLE OpenCurrentFileForCaller(const LogFamily& family) {
    velt::FileHandle file(OpenCurrentFile(family));
    if (!file) {
        return nullptr;
    }
    if (IsRetiredCallerHandle(file.get())) {
        return OpenCurrentFileForCaller(family);
    }
    return file.release();
}

// Trims the family and rotates a full current file before a caller opens it.
bool PrepareFamily(const LogFamily& family, DWORD limit) {
    FamilySizes sizes;
    if (!MeasureFamily(family, sizes)) {
        return false;
    }
    if (sizes.total >= limit) {
        DWORD current = 0;
        if (!DeleteWhileAtLimit(family, limit, sizes.total) || !MeasureCurrentFile(family, current)) {
            return false;
        }
        return current != kFullFileSize || RotateCurrentFile(family);
    }
    return sizes.current < kFullFileSize || RotateCurrentFile(family);
}

HANDLE CreateLogFile(LOG_MODULE module, HANDLE printer) {
    const auto lock = LockProcessState();
    LogProcessState& state = ProcessState();
    DRIVER_LOG_SETTINGS settings;
    if (!ReadLogSettings(printer, settings)) {
        return nullptr;
    }
    state.settings = settings;
    const DWORD limit = FamilyLimitBytes(settings.dlMaxSizeIndex);
    if (limit == 0 || NamesOfModule(module) == nullptr) {
        return nullptr;
    }
    state.module = module;
    LogFamily family;
    if (!OpenFamily(settings, module, family) || !PrepareFamily(family, limit)) {
        return nullptr;
    }
    return OpenCurrentFileForCaller(family);
}

// The caller's file is full, or the family is at its limit: closes the caller's file, makes room, moves the
// current file to its rotated name and writes the record at the top of a new current file, which from now
// on stands behind the caller's handle.
bool WriteIntoNewFile(HANDLE caller, HANDLE target, const LogFamily& family, DWORD limit, FamilySizes& sizes,
                      const SYSTEMTIME& now, bool withTimeStamp, const char* text, size_t textLength) {
    if (sizes.total < limit) {
        if (!FillToFullSize(target) || !RetireCallerHandle(caller) || !DeleteWhileAtLimit(family, limit, sizes.total)) {
            return false;
        }
    } else {
        if (!DeleteWhileAtLimit(family, limit, sizes.total) || !RetireCallerHandle(caller)) {
            return false;
        }
    }
    if (!RotateCurrentFile(family)) {
        return false;
    }
    const HANDLE replacement = OpenCurrentFile(family);
    if (replacement == nullptr) {
        return false;
    }
    SetReplacement(caller, replacement);
    return AppendRecord(replacement, *family.names, now, true, withTimeStamp, text, textLength);
}

bool WriteLogRecord(HANDLE caller, const char* text, bool withTimeStamp) {
    const auto lock = LockProcessState();
    LogProcessState& state = ProcessState();
    const HANDLE target = ResolveCallerHandle(caller);
    if (target == nullptr) {
        return false; // its file was closed by a rotation that failed
    }
    const DWORD limit = FamilyLimitBytes(state.settings.dlMaxSizeIndex);
    LogFamily family;
    FamilySizes sizes;
    if (limit == 0 || !OpenFamily(state.settings, state.module, family) || !MeasureFamily(family, sizes)) {
        return false;
    }

    SYSTEMTIME now;
    GetLocalTime(&now);
    const bool withHeader = sizes.current == 0 || !IsLastRecordDate(state, now);
    RememberRecordDate(state, now);

    const size_t textLength = std::strlen(text);
    const ULONGLONG headerAllowance = withHeader ? family.names->headerAllowance : 0;
    const ULONGLONG timeStampAllowance = withTimeStamp ? kTimeStampAllowance : 0;
    if (sizes.total < limit && textLength + headerAllowance + timeStampAllowance + sizes.current + 2 < kFullFileSize) {
        return AppendRecord(target, *family.names, now, withHeader, withTimeStamp, text, textLength);
    }
    return WriteIntoNewFile(caller, target, family, limit, sizes, now, withTimeStamp, text, textLength);
}

} // namespace

extern "C" {

VELTLOG_API BOOL WINAPI VLK_IsLogFileEnabled(HANDLE printer) {
    const auto lock = LockProcessState();
    DRIVER_LOG_SETTINGS settings;
    if (!ReadLogSettings(printer, settings)) {
        return FALSE;
    }
    ProcessState().settings = settings;
    return settings.dlEnabled != 0 ? TRUE : FALSE;
}

VELTLOG_API HANDLE WINAPI VLK_LogCreateFile(LOG_MODULE module, HANDLE printer) {
    return CreateLogFile(module, printer);
}

VELTLOG_API BOOL WINAPI VLK_LogWrite(HANDLE file, const char* text, DWORD timeStampSwitch) {
    if (file == nullptr || text == nullptr) {
        return FALSE;
    }
    return WriteLogRecord(file, text, timeStampSwitch != 0) ? TRUE : FALSE;
}

VELTLOG_API BOOL WINAPI VKL_LogFileClose(HANDLE file) {
    if (file == nullptr) {
        return FALSE;
    }
    const auto lock = LockProcessState();
    return CloseCallerHandle(file) ? TRUE : FALSE;
}

VELTLOG_API BOOL WINAPI VKL_LogDeleteAllFiles(DWORD /*unused*/) { return TRUE; }

} // extern "C"
