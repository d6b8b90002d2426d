// The print spooler: printers, printer handles with access rights, printer data, printer information,
// jobs. Printers and their data live in the host's persistent store.
#pragma once

#include <windows.h>

#define STANDARD_RIGHTS_REQUIRED 0x000F0000
#define SERVER_ACCESS_ADMINISTER 0x00000001
#define PRINTER_ACCESS_ADMINISTER 0x00000004
#define PRINTER_ACCESS_USE 0x00000008
#define PRINTER_ALL_ACCESS (STANDARD_RIGHTS_REQUIRED | PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_USE)

#define PRINTER_ATTRIBUTE_QUEUED 0x00000001
#define PRINTER_ATTRIBUTE_DEFAULT 0x00000004
#define PRINTER_ATTRIBUTE_LOCAL 0x00000040
#define PRINTER_ATTRIBUTE_WORK_OFFLINE 0x00000400
#define PRINTER_ATTRIBUTE_ENABLE_BIDI 0x00000800

#define PRINTER_CONTROL_PAUSE 1
#define PRINTER_CONTROL_RESUME 2
#define PRINTER_CONTROL_PURGE 3
#define PRINTER_CONTROL_SET_STATUS 4

#define PRINTER_STATUS_PAUSED 0x00000001
#define PRINTER_STATUS_ERROR 0x00000002
#define PRINTER_STATUS_PENDING_DELETION 0x00000004
#define PRINTER_STATUS_PAPER_JAM 0x00000008
#define PRINTER_STATUS_PAPER_OUT 0x00000010
#define PRINTER_STATUS_PAPER_PROBLEM 0x00000040
#define PRINTER_STATUS_OFFLINE 0x00000080
#define PRINTER_STATUS_BUSY 0x00000200
#define PRINTER_STATUS_PRINTING 0x00000400
#define PRINTER_STATUS_NOT_AVAILABLE 0x00001000
#define PRINTER_STATUS_USER_INTERVENTION 0x00100000
#define PRINTER_STATUS_DOOR_OPEN 0x00400000

#define JOB_STATUS_PAUSED 0x00000001
#define JOB_STATUS_ERROR 0x00000002
#define JOB_STATUS_DELETING 0x00000004
#define JOB_STATUS_SPOOLING 0x00000008
#define JOB_STATUS_PRINTING 0x00000010
#define JOB_STATUS_OFFLINE 0x00000020
#define JOB_STATUS_PAPEROUT 0x00000040
#define JOB_STATUS_PRINTED 0x00000080
#define JOB_STATUS_DELETED 0x00000100
#define JOB_STATUS_BLOCKED_DEVQ 0x00000200
#define JOB_STATUS_USER_INTERVENTION 0x00000400
#define JOB_STATUS_RESTART 0x00000800
#define JOB_STATUS_COMPLETE 0x00001000

#define JOB_CONTROL_PAUSE 1
#define JOB_CONTROL_RESUME 2
#define JOB_CONTROL_CANCEL 3
#define JOB_CONTROL_RESTART 4
#define JOB_CONTROL_DELETE 5
#define JOB_CONTROL_SENT_TO_PRINTER 6
#define JOB_CONTROL_LAST_PAGE_EJECTED 7

#define JOB_POSITION_UNSPECIFIED 0

typedef struct _PRINTER_DEFAULTSW {
    LPWSTR pDatatype;
    LPDEVMODEW pDevMode;
    ACCESS_MASK DesiredAccess;
} PRINTER_DEFAULTSW, *PPRINTER_DEFAULTSW, *LPPRINTER_DEFAULTSW;

typedef struct _PRINTER_INFO_2W {
    LPWSTR pServerName;
    LPWSTR pPrinterName;
    LPWSTR pShareName;
    LPWSTR pPortName;
    LPWSTR pDriverName;
    LPWSTR pComment;
    LPWSTR pLocation;
    LPDEVMODEW pDevMode;
    LPWSTR pSepFile;
    LPWSTR pPrintProcessor;
    LPWSTR pDatatype;
    LPWSTR pParameters;
    void* pSecurityDescriptor;
    DWORD Attributes;
    DWORD Priority;
    DWORD DefaultPriority;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD Status;
    DWORD cJobs;
    DWORD AveragePPM;
} PRINTER_INFO_2W, *PPRINTER_INFO_2W, *LPPRINTER_INFO_2W;

typedef struct _PRINTER_INFO_6 {
    DWORD dwStatus;
} PRINTER_INFO_6, *PPRINTER_INFO_6, *LPPRINTER_INFO_6;

typedef struct _DOC_INFO_1W {
    LPWSTR pDocName;
    LPWSTR pOutputFile;
    LPWSTR pDatatype;
} DOC_INFO_1W, *PDOC_INFO_1W, *LPDOC_INFO_1W;

typedef struct _JOB_INFO_1W {
    DWORD JobId;
    LPWSTR pPrinterName;
    LPWSTR pMachineName;
    LPWSTR pUserName;
    LPWSTR pDocument;
    LPWSTR pDatatype;
    LPWSTR pStatus;
    DWORD Status;
    DWORD Priority;
    DWORD Position;
    DWORD TotalPages;
    DWORD PagesPrinted;
    SYSTEMTIME Submitted;
} JOB_INFO_1W, *PJOB_INFO_1W, *LPJOB_INFO_1W;

typedef struct _JOB_INFO_2W {
    DWORD JobId;
    LPWSTR pPrinterName;
    LPWSTR pMachineName;
    LPWSTR pUserName;
    LPWSTR pDocument;
    LPWSTR pNotifyName;
    LPWSTR pDatatype;
    LPWSTR pPrintProcessor;
    LPWSTR pParameters;
    LPWSTR pDriverName;
    LPDEVMODEW pDevMode;
    LPWSTR pStatus;
    void* pSecurityDescriptor;
    DWORD Status;
    DWORD Priority;
    DWORD Position;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD TotalPages;
    DWORD Size;
    SYSTEMTIME Submitted;
    DWORD Time;
    DWORD PagesPrinted;
} JOB_INFO_2W, *PJOB_INFO_2W, *LPJOB_INFO_2W;

// Printer drivers as the spooler installs them (levels 2 and 3), and the local printers (level 4).
typedef struct _DRIVER_INFO_2W {
    DWORD cVersion;
    LPWSTR pName;
    LPWSTR pEnvironment;
    LPWSTR pDriverPath;
    LPWSTR pDataFile;
    LPWSTR pConfigFile;
} DRIVER_INFO_2W, *PDRIVER_INFO_2W, *LPDRIVER_INFO_2W;

// A printer driver (level 3): its modules and the language monitor its printers' jobs go through.
typedef struct _DRIVER_INFO_3W {
    DWORD cVersion;
    LPWSTR pName;
    LPWSTR pEnvironment;
    LPWSTR pDriverPath;
    LPWSTR pDataFile;
    LPWSTR pConfigFile;
    LPWSTR pHelpFile;
    LPWSTR pDependentFiles;
    LPWSTR pMonitorName;
    LPWSTR pDefaultDataType;
} DRIVER_INFO_3W, *PDRIVER_INFO_3W, *LPDRIVER_INFO_3W;

// A print monitor (level 2): its name and the module that implements it.
typedef struct _MONITOR_INFO_2W {
    LPWSTR pName;
    LPWSTR pEnvironment;
    LPWSTR pDLLName;
} MONITOR_INFO_2W, *PMONITOR_INFO_2W, *LPMONITOR_INFO_2W;

typedef struct _PRINTER_INFO_4W {
    LPWSTR pPrinterName;
    LPWSTR pServerName;
    DWORD Attributes;
} PRINTER_INFO_4W, *PPRINTER_INFO_4W, *LPPRINTER_INFO_4W;

#define PRINTER_ENUM_DEFAULT 0x00000001
#define PRINTER_ENUM_LOCAL 0x00000002

extern "C" {

BOOL OpenPrinterW(LPWSTR printerName, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults);
BOOL ClosePrinter(HANDLE printer);

// Printer data: returns an ERROR_* code. A short or absent buffer answers ERROR_MORE_DATA with *needed set;
// a name that is not stored answers ERROR_FILE_NOT_FOUND. Setting needs PRINTER_ACCESS_ADMINISTER.
DWORD GetPrinterDataW(HANDLE printer, LPWSTR valueName, LPDWORD type, LPBYTE data, DWORD size, LPDWORD needed);
DWORD SetPrinterDataW(HANDLE printer, LPWSTR valueName, DWORD type, LPBYTE data, DWORD size);
DWORD DeletePrinterDataW(HANDLE printer, LPWSTR valueName);

// Printers (levels 2 and 6). GetPrinterW with a short buffer fails with ERROR_INSUFFICIENT_BUFFER and *needed.
HANDLE AddPrinterW(LPWSTR serverName, DWORD level, LPBYTE printerInfo);
BOOL DeletePrinter(HANDLE printer);
BOOL GetPrinterW(HANDLE printer, DWORD level, LPBYTE data, DWORD size, LPDWORD needed);
BOOL SetPrinterW(HANDLE printer, DWORD level, LPBYTE data, DWORD command);

// Jobs: the bytes of WritePrinter go to the printer's current job; EndDocPrinter despools it to the port.
DWORD StartDocPrinterW(HANDLE printer, DWORD level, LPBYTE docInfo);
BOOL StartPagePrinter(HANDLE printer);
BOOL WritePrinter(HANDLE printer, LPVOID data, DWORD bytes, LPDWORD written);
BOOL EndPagePrinter(HANDLE printer);
BOOL EndDocPrinter(HANDLE printer);
BOOL AbortPrinter(HANDLE printer);

// Jobs in the queue (levels 1 and 2). A short buffer fails with ERROR_INSUFFICIENT_BUFFER and *needed.
// SetJobW level 0 only runs the command; levels 1 and 2 also set the document name, the status text
// (pStatus), the status bits a monitor reports, the priority and the position.
BOOL EnumJobsW(HANDLE printer, DWORD firstJob, DWORD noJobs, DWORD level, LPBYTE jobs, DWORD size, LPDWORD needed,
               LPDWORD returned);
BOOL GetJobW(HANDLE printer, DWORD jobId, DWORD level, LPBYTE job, DWORD size, LPDWORD needed);
BOOL SetJobW(HANDLE printer, DWORD jobId, DWORD level, LPBYTE job, DWORD command);

// The local printers (level 4), in the order of their names. A short buffer fails with
// ERROR_INSUFFICIENT_BUFFER and *needed; no printers need no buffer.
BOOL EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE printers, DWORD size, LPDWORD needed,
                   LPDWORD returned);

// Print monitors and drivers. AddMonitorW (level 2) records a monitor's module. AddPrinterDriverW
// installs a driver (level 2 or 3) under its name; the files are known by their names in the printer
// driver folder. A driver that names a monitor (level 3) has its printers' jobs go through that
// language monitor, which the spooler loads (InitializePrintMonitor) the first time a job needs it.
// Installing a driver of a name that is installed already replaces it and upgrades every printer of
// the driver (its configuration interface's DrvUpgradePrinter).
BOOL AddMonitorW(LPWSTR serverName, DWORD level, LPBYTE monitorInfo);
BOOL AddPrinterDriverW(LPWSTR serverName, DWORD level, LPBYTE driverInfo);
// The driver of a printer at level 2, its files as full paths; a short buffer fails with
// ERROR_INSUFFICIENT_BUFFER and *needed; a printer whose driver is not installed with
// ERROR_UNKNOWN_PRINTER_DRIVER.
BOOL GetPrinterDriverW(HANDLE printer, LPWSTR environment, DWORD level, LPBYTE driverInfo, DWORD size, LPDWORD needed);

} // extern "C"
