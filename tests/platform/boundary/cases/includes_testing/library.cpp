// A library source that includes the host's testing header (read by the boundary check's tests only).
#include "platform.h"
#include "host/testing.h"
