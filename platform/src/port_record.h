// What the host keeps about its ports for tests: every byte a port took, and the ports made to
// take no bytes at all.
#pragma once

#include <string_view>

#include "host/types.h"

namespace host {

void RecordPortBytes(std::u16string_view port, const BYTE* data, size_t size);
bool PortStalled(std::u16string_view port);
void ResetPortRecords();

} // namespace host
