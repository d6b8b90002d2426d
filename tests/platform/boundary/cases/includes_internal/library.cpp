// A library source that reaches into the host's internals (read by the boundary check's tests only).
#include "kernel/internal.h"
