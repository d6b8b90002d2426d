// A library header that includes the host's engine API in angle brackets (read by the boundary
// check's tests only).
#pragma once
#include <host/engine.h>
