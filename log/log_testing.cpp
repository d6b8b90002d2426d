#include "log_testing.h"

#include "log_handle_table.h"
#include "log_state.h"

namespace velt::log {

void ResetLogLibraryForTests() {
    const auto lock = LockProcessState();
    ProcessState() = LogProcessState{};
    ClearHandleTable();
}

} // namespace velt::log
