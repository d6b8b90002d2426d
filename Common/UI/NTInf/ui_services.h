// The services every page and entry point of the configuration interface shares: the printer being
// worked on, its printer-data values, the checks made before every request to the printer, log lines,
// the resource library with its texts, and the library's load and unload work.
#pragma once

#include "custom_paper_list.h"
#include "platform.h"
#include "platform_owners.h"

// Room for the longest printer name the spooler accepts, a connection's "\\server\printer" included
// (the platform's limit is MAX_PATH characters), and its terminator.
#define CURRENT_PRINTER_NAME_CHARS (MAX_PATH + 1)

// The printer that the most recently opened sheet (or capability query) works on; always terminated.
extern WCHAR currentPrinterName[CURRENT_PRINTER_NAME_CHARS];

// Copies a name into currentPrinterName, cut to fit; none empties it.
void SetCurrentPrinterName(LPCWSTR name);

// The in-memory copy of the user-defined paper sizes: the built-in table until a stored one is read.
CUSTOM_PAPER_LIST& InMemoryCustomPaperList();

// ---- Printer data of currentPrinterName --------------------------------------------------------

// Opens currentPrinterName for use and reads the value into a new buffer of `size` bytes, which the
// caller owns from then on (also on failure). TRUE when the read call succeeded.
BOOL ReadPrinterValue(LPCWSTR valueName, DWORD size, velt::HeapBlock* buffer);

// Opens currentPrinterName with all access and stores `size` bytes as REG_BINARY; the outcome is not
// reported.
void WritePrinterValue(LPCWSTR valueName, const BYTE* data, DWORD size);

// ---- Printer state ---------------------------------------------------------------------------------

// The check before every request to the printer: its information can be read and its queue is empty.
bool IsPrinterIdle(HANDLE printer);

// The printer's level-2 information through the handle, in a block of its own; empty on failure.
velt::HeapBlock ReadPrinterInfo2(HANDLE printer);

// currentPrinterName's attributes: bidirectional communication, and working offline (false when the
// printer's information cannot be read).
bool IsBidiEnabled();
bool IsPrinterOffline();

// ---- Log -----------------------------------------------------------------------------------------

// One line to the configuration interface's log of the printer behind the handle, when logging is on
// for it. True when a line was written.
bool WriteUiLog(const char* text, HANDLE printer);

// Opens the named printer with all access, writes the line and closes it again; a printer that does
// not open only loses the line.
void WriteUiLogFor(LPCWSTR printerName, const char* text);

// ---- Resource library ------------------------------------------------------------------------------

// Loads VELTrc by its full path on the first use and counts its users; a library that can't be loaded
// leaves the count as it is.
void AcquireResourceLibrary();
// One user less; the last one unloads the library.
void ReleaseResourceLibrary();
// The loaded resource library, or none.
HMODULE ResourceLibrary();
WORD ResourceLibraryUsers();

// The string of that id from VELTrc in the one shared buffer (the next call overwrites it); empty when
// the library or the string is missing.
LPCWSTR LoadUiText(UINT id);

// ---- Load and unload -----------------------------------------------------------------------------

// The library's load work: keeps its own module loaded for the rest of the process (module may be
// none, for code that takes the library's internals in) and creates the critical section.
void UiLibraryAttach(HMODULE module);
// The unload work: one resource library user less, then the critical section goes.
void UiLibraryDetach();

// The module's critical section, which serialises the upgrade.
LPCRITICAL_SECTION UiLock();
