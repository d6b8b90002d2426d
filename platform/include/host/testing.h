// The host as a test harness: which store it uses, the clock, and fault injection.
// Only tests, benchmarks, fuzz targets and tools call these; the five libraries never do.
#pragma once

#include <string>
#include <vector>

#include "host/path_map.h" // HostLinuxPath, HostHomeFolder
#include "host/types.h"

extern "C" {

// Store. HostUseStore opens (creating it) the persistent store in a folder; a null folder means $VELT_HOME,
// or the user's data folder when VELT_HOME is unset. HostUseTemporaryStore starts a fresh, empty store
// that vanishes with the process. Either call drops every open printer and registry handle.
BOOL HostUseStore(const char* folderUtf8);
void HostUseTemporaryStore(void);

// Clock. Once set, GetLocalTime and GetTickCount run from the set time and move only when advanced
// (Sleep advances it too); HostUseRealClock goes back to the system clock.
void HostSetLocalTime(const SYSTEMTIME* now);
void HostAdvanceClock(DWORD milliseconds);
void HostUseRealClock(void);

// Fault injection: the Nth call from now (1 = the next one) fails with the platform's error; 0 disarms.
void HostFailAllocation(unsigned nth);   // HeapAlloc, LocalAlloc and the engine's allocations
void HostFailFileWrite(unsigned nth);    // WriteFile
void HostFailPrinterDataRead(unsigned nth); // GetPrinterDataW
void HostFailPrinterWrite(unsigned nth); // WritePrinter

// How many heap blocks (HeapAlloc, LocalAlloc) are in use: a library that frees what it takes leaves
// the count where it found it.
long HostHeapBlocksInUse(void);

} // extern "C"

// Every line given to OutputDebugStringW (the most recent 10000), oldest first.
std::vector<std::u16string> HostDebugOutput();
void HostClearDebugOutput();

// Text conversions for tools and tests (not for the libraries).
std::u16string HostWide(const std::string& utf8);
std::string HostNarrow(const char16_t* wide);
