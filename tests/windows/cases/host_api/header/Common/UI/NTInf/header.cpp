// A library source that includes a host-only header. Read by the check's tests, never compiled.
#include "host/testing.h"
