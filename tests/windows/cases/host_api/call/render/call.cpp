// A library source that calls a host-only function. Read by the check's tests, never compiled.
void Reset() { HostUseTemporaryStore(); }
