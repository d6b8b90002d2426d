// Internal to the host: the port monitor's backends, registered by name prefix, and what the host
// keeps about its ports for tests (every byte a port took, and the ports made to take no bytes).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <winsplp.h>
#include <windef.h>

namespace host {

// The backend table serving a port name (HostRegisterPortBackend), or null.
const MONITOR* FindPortBackend(std::u16string_view portName);

// What a port name is attached to (HostAttachPort): another port's name, or empty.
std::u16string AttachedTarget(std::u16string_view portName);

void RecordPortBytes(std::u16string_view port, const BYTE* data, size_t size);
bool PortStalled(std::u16string_view port);
void ResetPortRecords();

} // namespace host
