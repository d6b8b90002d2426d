// What the probe modules' entry points were told, kept in a library that outlives the probes.
#pragma once

#include <vector>

#include "platform.h"

struct ProbeCall {
    HINSTANCE module;
    DWORD reason;
    friend bool operator==(const ProbeCall&, const ProbeCall&) = default;
};

extern "C" void ProbeJournalRecord(HINSTANCE module, DWORD reason);

std::vector<ProbeCall> ProbeJournalTake();
