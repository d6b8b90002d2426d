#include "log_module_names.h"

#include <iterator>

namespace velt::log {

namespace {

constexpr LogModuleNames kModules[] = {
    {"\\VELTPD.log", "\\VELTPD*.log", "\\VELTPD", "\\VELTPD2000_01_01_00_00_00.log", "Module Name: Printer Driver", 47},
    {"\\VELTUI.log", "\\VELTUI*.log", "\\VELTUI", "\\VELTUI2000_01_01_00_00_00.log", "Module Name: Printer UI", 43},
    {"\\VELTLMON.log", "\\VELTLMON*.log", "\\VELTLMON", "\\VELTLMON2000_01_01_00_00_00.log",
     "Module Name: Language Monitor", 49},
};

} // namespace

const LogModuleNames* NamesOfModule(LOG_MODULE module) {
    if (static_cast<DWORD>(module) >= std::size(kModules)) {
        return nullptr;
    }
    return &kModules[module];
}

} // namespace velt::log
