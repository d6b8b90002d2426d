// The status worker: one low-priority thread per open port that polls the printer's status over USB,
// shows it in the spooler, holds writers back while the printer reports an error, and releases held
// job records once their end-of-job wait has passed.
#pragma once

#include "platform.h"
#include "port_record.h"

namespace lmon {

#define STATUS_WORKER_STACK 16384
#define IDLE_RELEASE_AFTER 240000 // no error-free poll for this long, and no document: release all
#define IDLE_RELEASE_PORT_WAIT 100
#define POLL_PAUSE 100
#define STATUS_QUERY_CONTROL IOCTL_USBPRINT_VENDOR_GET_COMMAND

// Starts the worker: takes hPortEvent (the worker gives it back as its first act), makes hWakeEvent
// and the thread. FALSE when the event or the thread cannot be made; no worker runs then.
BOOL StartStatusWorker(PortRecord* port);

// Signals hWakeEvent, so that the worker ends its wait at once.
void WakeStatusWorker(PortRecord* port);

// The thread procedure.
DWORD WINAPI StatusWorker(LPVOID port);

// One poll: TRUE when it found no error (also when no query was made), FALSE when the reply showed an
// error or the poll could not start.
BOOL PollPrinterStatus(PortRecord* port);

// Whether a port name begins with `prefix` (three upper-case letters) with all three letters in one
// case: "USB001" and "usb001" do, "Usb001" does not.
bool PortNameBegins(LPCWSTR portName, const char prefix[4]);

} // namespace lmon
