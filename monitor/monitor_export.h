// Entry points that the spooler looks up by name keep default visibility; everything else in the
// module stays hidden.
#pragma once

#if defined(_WIN32)
#define LMON_EXPORT extern "C" __declspec(dllexport)
#else
#define LMON_EXPORT extern "C" __attribute__((visibility("default")))
#endif
