// A library source that names the host's character type. Read by the check's tests, never compiled.
const char16_t* Name() { return nullptr; }
