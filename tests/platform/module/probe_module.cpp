// A module for the loader tests: its entry point reports every call to the journal and answers
// PROBE_ATTACH_ANSWER to DLL_PROCESS_ATTACH.
#include "platform.h"
#include "probe_journal.h"

extern "C" BOOL WINAPI DllEntryPoint(HINSTANCE module, DWORD reason, LPVOID) {
    ProbeJournalRecord(module, reason);
    return reason == DLL_PROCESS_ATTACH ? PROBE_ATTACH_ANSWER : TRUE;
}

extern "C" int ProbeAnswer() { return 42; }
