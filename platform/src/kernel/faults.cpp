// The fault injection points and their testing switches.
#include "kernel/internal.h"

#include "host/testing.h"

namespace host {

FaultPoint& AllocationFault() {
    static FaultPoint point;
    return point;
}
FaultPoint& FileWriteFault() {
    static FaultPoint point;
    return point;
}
FaultPoint& PrinterDataReadFault() {
    static FaultPoint point;
    return point;
}
FaultPoint& PrinterWriteFault() {
    static FaultPoint point;
    return point;
}
std::atomic<DWORD>& PrinterWriteLimit() {
    static std::atomic<DWORD> limit{0};
    return limit;
}

void DisarmAllFaults() {
    AllocationFault().Arm(0);
    FileWriteFault().Arm(0);
    PrinterDataReadFault().Arm(0);
    PrinterWriteFault().Arm(0);
    PrinterWriteLimit() = 0;
}

} // namespace host

extern "C" {

void HostFailAllocation(unsigned nth) { host::AllocationFault().Arm(nth); }
void HostFailFileWrite(unsigned nth) { host::FileWriteFault().Arm(nth); }
void HostFailPrinterDataRead(unsigned nth) { host::PrinterDataReadFault().Arm(nth); }
void HostFailPrinterWrite(unsigned nth) { host::PrinterWriteFault().Arm(nth); }
void HostLimitPrinterWrite(DWORD most) { host::PrinterWriteLimit() = most; }

} // extern "C"
