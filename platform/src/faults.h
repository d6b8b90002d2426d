// Fault injection points: each one makes the Nth call from the moment it is armed fail.
// The engine's allocations check AllocationFault() as HeapAlloc does.
#pragma once

#include <atomic>

namespace host {

class FaultPoint {
public:
    void Arm(unsigned nth) { countdown_.store(nth); }
    // Counts one call; true when this is the call that must fail.
    bool Hit() {
        unsigned n = countdown_.load();
        while (n != 0) {
            if (countdown_.compare_exchange_weak(n, n - 1)) return n == 1;
        }
        return false;
    }

private:
    std::atomic<unsigned> countdown_{0};
};

FaultPoint& AllocationFault();
FaultPoint& FileWriteFault();
FaultPoint& PrinterDataReadFault();
FaultPoint& PrinterWriteFault();
void DisarmAllFaults();

} // namespace host
