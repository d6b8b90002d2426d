#include "probe_journal.h"

#include <utility>

namespace {
std::vector<ProbeCall>& Journal() {
    static std::vector<ProbeCall> calls;
    return calls;
}
} // namespace

extern "C" void ProbeJournalRecord(HINSTANCE module, DWORD reason) { Journal().push_back({module, reason}); }

std::vector<ProbeCall> ProbeJournalTake() { return std::exchange(Journal(), {}); }
