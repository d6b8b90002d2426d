// Entry points that the spooler and the print subsystem look up by name keep default visibility;
// everything else in the module stays hidden.
#pragma once

#if defined(_WIN32)
#define UIAPI_EXPORT extern "C" __declspec(dllexport)
#else
#define UIAPI_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// The module's entry point: the platform's loader finds it through the module header, so it is not
// exported there; the host's loader looks it up by name.
#if defined(_WIN32)
#define UI_ENTRY_POINT extern "C"
#else
#define UI_ENTRY_POINT extern "C" __attribute__((visibility("default")))
#endif
