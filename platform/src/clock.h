// The host clock: the system clock, or a test clock that moves only when advanced.
#pragma once

#include <cstdint>

namespace host {

// Milliseconds since an arbitrary start, never going back; GetTickCount is its low 32 bits.
uint64_t TickMs();
bool TestClockActive();

// Waits with a time-out listen to the test clock: each listener runs after the clock has moved.
using ClockListener = void (*)();
void AddClockListener(ClockListener listener);
void NotifyClockAdvanced();

} // namespace host
