// Exports of the diagnostic log library VELTlog. The rendering driver, the configuration interface and
// the language monitor each write their own family of text log files into a folder chosen per printer;
// a family's current file is rotated at 1 MB and the family is kept under a size limit of 1, 2, 5 or 10 MB.
//
// Calling order for each message: VLK_IsLogFileEnabled; if 1, VLK_LogCreateFile with the caller's module;
// if that gives a handle, VLK_LogWrite with the time stamp switched on, then VKL_LogFileClose.
#pragma once

#include <cstddef>

#include "platform.h"

#if defined(_WIN32)
#if defined(VELTLOG_BUILD)
#define VELTLOG_API __declspec(dllexport)
#else
#define VELTLOG_API __declspec(dllimport)
#endif
#else
#define VELTLOG_API __attribute__((visibility("default")))
#endif

// Name of the printer-data value that holds DRIVER_LOG_SETTINGS.
#define DRIVER_LOG_FILE_VALUE TEXT("DriverLogFile")

// Values of dlMaxSizeIndex: the total size limit of each file family.
#define LOG_MAX_SIZE_1MB 0
#define LOG_MAX_SIZE_2MB 1
#define LOG_MAX_SIZE_5MB 2
#define LOG_MAX_SIZE_10MB 3

// The printer-data value "DriverLogFile" (REG_BINARY, 528 bytes, little-endian), written by the driver
// setting page of the configuration interface.
typedef struct _DRIVER_LOG_SETTINGS {
    DWORD dlEnabled;          // non-zero: logging on
    BYTE dlMaxSizeIndex;      // LOG_MAX_SIZE_*; any other value switches logging off
    BYTE dlReserved;          // 0
    WCHAR dlFolder[MAX_PATH]; // folder of the log files without a trailing backslash, zero-terminated
    BYTE dlReserved2[2];      // 0
} DRIVER_LOG_SETTINGS, *PDRIVER_LOG_SETTINGS;

static_assert(sizeof(WCHAR) == 2);
static_assert(sizeof(DRIVER_LOG_SETTINGS) == 528);
static_assert(offsetof(DRIVER_LOG_SETTINGS, dlEnabled) == 0);
static_assert(offsetof(DRIVER_LOG_SETTINGS, dlMaxSizeIndex) == 4);
static_assert(offsetof(DRIVER_LOG_SETTINGS, dlReserved) == 5);
static_assert(offsetof(DRIVER_LOG_SETTINGS, dlFolder) == 6);
static_assert(offsetof(DRIVER_LOG_SETTINGS, dlReserved2) == 526);

// The module that writes: selects the file family and the header line.
typedef enum _LOG_MODULE : DWORD {
    LOG_MODULE_PRINTER_DRIVER = 0,   // VELT: "\VELTPD.log"
    LOG_MODULE_PRINTER_UI = 1,       // VELTui: "\VELTUI.log"
    LOG_MODULE_LANGUAGE_MONITOR = 2, // VELTlmon: "\VELTLMON.log"
} LOG_MODULE;

static_assert(sizeof(LOG_MODULE) == 4);

extern "C" {

// 1 if the printer's "DriverLogFile" value could be read and logging is on, else 0.
VELTLOG_API BOOL WINAPI VLK_IsLogFileEnabled(HANDLE printer);

// The module's current log file opened for appending (rotating and trimming the family first), or 0.
VELTLOG_API HANDLE WINAPI VLK_LogCreateFile(LOG_MODULE module, HANDLE printer);

// Appends one line (the time stamp first when timeStampSwitch is non-zero); 1 if it was written, else 0.
// When the file is full it is rotated and the line starts a new file; the handle stays valid for
// further writes and must still be passed to VKL_LogFileClose.
VELTLOG_API BOOL WINAPI VLK_LogWrite(HANDLE file, const char* text, DWORD timeStampSwitch);

// Closes a handle from VLK_LogCreateFile (or the file that replaced it); 1 if closed, else 0.
VELTLOG_API BOOL WINAPI VKL_LogFileClose(HANDLE file);

// Kept for callers of the interface: deletes nothing and answers 1.
VELTLOG_API BOOL WINAPI VKL_LogDeleteAllFiles(DWORD unused);

} // extern "C"
