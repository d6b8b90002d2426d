// Port backends registered by name prefix (HostRegisterPortBackend).
#pragma once

#include <string_view>

#include "host/portmon.h"

namespace host {

// The table serving a port name, or null.
const MONITOR* FindPortBackend(std::u16string_view portName);

} // namespace host
