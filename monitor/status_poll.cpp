// One poll of the printer's status: the query over USB, the printer status word, the current job's
// status text, and the ready event that holds writers back while the printer reports an error.
#include <cstdio>

#include "job_info.h"
#include "monitor_log.h"
#include "monitor_state.h"
#include "monitor_text.h"
#include "platform_owners.h"
#include "status_reply.h"
#include "status_worker.h"

#define JOB_STATUS_TEXT_CHARS 512 // 1024 bytes

namespace lmon {

namespace {

// The printer the poll reports to: the current job's, or before any job the one the port was opened
// for.
velt::PrinterHandle OpenPollPrinter() {
    WCHAR name[CURRENT_JOB_PRINTER_NAME_CHARS] = {};
    CopyCurrentJobPrinterName(name, CURRENT_JOB_PRINTER_NAME_CHARS);
    if (name[0] == 0) {
        CopyOpenedPrinterName(name, CURRENT_JOB_PRINTER_NAME_CHARS);
    }
    if (name[0] == 0) {
        return velt::PrinterHandle();
    }
    return velt::OpenPrinterFor(name, PRINTER_ALL_ACCESS);
}

void LogReply(const BYTE reply[4], HANDLE printer) {
    char line[260];
    // Each byte widened as a signed character: 0x80 and above print as eight hex digits.
    std::snprintf(line, sizeof line, "Data received from the printer: 0X%x 0X%x 0X%x 0X%x",
                  static_cast<unsigned>(static_cast<int>(static_cast<signed char>(reply[0]))),
                  static_cast<unsigned>(static_cast<int>(static_cast<signed char>(reply[1]))),
                  static_cast<unsigned>(static_cast<int>(static_cast<signed char>(reply[2]))),
                  static_cast<unsigned>(static_cast<int>(static_cast<signed char>(reply[3]))));
    WriteMonitorLog(line, printer);
}

void UpdateJob(HANDLE printer, DWORD jobId, LPWSTR text, DWORD status) {
    const auto info = ReadJobInfo(printer, jobId);
    if (!info) {
        return;
    }
    info->pStatus = text;
    info->Status = status;
    info->Position = JOB_POSITION_UNSPECIFIED;
    SetJobW(printer, jobId, 1, reinterpret_cast<LPBYTE>(info.get()), 0);
}

// Applies a reply: printer status word, job status and text, ready event. TRUE when it shows no error.
BOOL ApplyReply(PortRecord* port, HANDLE printer, const BYTE reply[4], WCHAR* text) {
    const StatusReplyMeaning meaning = DecodeStatusReply(reply);
    for (int i = 0; i < meaning.textCount; ++i) {
        AppendMonitorText(meaning.textIds[i], text, JOB_STATUS_TEXT_CHARS);
    }
    PRINTER_INFO_6 status{meaning.printerStatus};
    SetPrinterW(printer, 6, reinterpret_cast<LPBYTE>(&status), 0); // 0 clears an earlier status

    const DWORD jobId = Monitor().currentJobId.load();
    HANDLE ready = port->hReadyEvent.load();
    if (meaning.printerStatus != 0) {
        UpdateJob(printer, jobId, text, JOB_STATUS_ERROR);
    } else {
        SetEvent(ready);
        WCHAR empty[1] = {0};
        UpdateJob(printer, jobId, empty, JOB_STATUS_PRINTING);
    }
    if (JobIsCancelled(printer, jobId)) {
        SetEvent(ready); // a writer held back by the error can finish the cancelled job
    }
    return meaning.printerStatus == 0 ? TRUE : FALSE;
}

} // namespace

BOOL PollPrinterStatus(PortRecord* port) {
    WCHAR portName[MAX_PATH] = {};
    lstrcpynW(portName, port->portName, MAX_PATH);
    const velt::PrinterHandle printer = OpenPollPrinter();
    if (!printer) {
        return FALSE;
    }
    AcquireMonitorResources();
    auto text = velt::HeapAllocate<WCHAR>(HEAP_ZERO_MEMORY, JOB_STATUS_TEXT_CHARS * sizeof(WCHAR));
    if (!text) {
        ReleaseMonitorResources();
        return FALSE;
    }
    BOOL noError = TRUE;
    if (PortNameBegins(portName, "USB")) {
        HANDLE ready = port->hReadyEvent.load();
        ResetEvent(ready);
        BYTE query[STATUS_QUERY_BYTES] = {};
        BYTE reply[STATUS_REPLY_BYTES] = {};
        for (size_t i = 0; i < sizeof kStatusQuery; ++i) {
            query[i] = kStatusQuery[i];
        }
        WriteMonitorLog("Data sent to the printer: 0X14 0X01 0X01", printer.get());
        DWORD returned = 0;
        const auto ask = port->portMonitor.pfnGetPrinterDataFromPort;
        const BOOL answered =
            ask != nullptr && ask(port->portHandle, STATUS_QUERY_CONTROL, nullptr, reinterpret_cast<LPWSTR>(query),
                                  STATUS_QUERY_BYTES, reinterpret_cast<LPWSTR>(reply), STATUS_REPLY_BYTES, &returned);
        if (!answered || returned == 0) {
            SetEvent(ready);
        } else {
            LogReply(reply, printer.get());
            noError = ApplyReply(port, printer.get(), reply, text.get());
        }
    }
    Sleep(POLL_PAUSE);
    text.reset();
    if (noError) {
        port->lastGoodPollTick = GetTickCount();
    }
    ReleaseMonitorResources();
    return noError;
}

} // namespace lmon
