// Entry points that the spooler and the print subsystem look up by name keep default visibility;
// everything else in the module stays hidden.
#pragma once

#if defined(_WIN32)
#define UIAPI_EXPORT extern "C" __declspec(dllexport)
#else
#define UIAPI_EXPORT extern "C" __attribute__((visibility("default")))
#endif
