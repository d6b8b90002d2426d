// A library source that declares a host-only function itself and calls it (read by the boundary
// check's tests only).
extern "C" void HostUseTemporaryStore(void);
void StartAfresh() { HostUseTemporaryStore(); }
