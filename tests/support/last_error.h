// Checks of the last error that tell an error the call under test set from one an earlier call left:
// before the call the test puts a sentinel in the last error, a value no function sets.
//
//   EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, EXPECT_EQ(LoadStringW(module, 102, nullptr, 16), 0));
//
// sets the sentinel, runs the statement and expects the last error it leaves. When the call's result
// is needed afterwards, or other checks come first:
//
//   SetSentinelLastError();
//   const BOOL done = CallUnderTest();
//   EXPECT_LAST_ERROR(ERROR_ACCESS_DENIED) << "why";
//
// HostTest puts the sentinel in the last error before each test. A call that must leave the last
// error alone expects kSentinelLastError. An ASSERT_ inside the statement ends only the statement.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform.h"

inline constexpr DWORD kSentinelLastError = 0xDEADBEEF;

inline void SetSentinelLastError() { SetLastError(kSentinelLastError); }

namespace last_error {

inline std::string Describe(DWORD code) {
    char text[32];
    std::snprintf(text, sizeof text, "%lu (0x%lX)", static_cast<unsigned long>(code), static_cast<unsigned long>(code));
    return code == kSentinelLastError ? std::string(text) + ", the sentinel" : std::string(text);
}

// The check's formatter: `name` is the expected code as the test wrote it.
inline ::testing::AssertionResult Is(const char*, const char*, const char*, const char* name, DWORD expected,
                                     DWORD actual) {
    if (actual == expected) return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "last error " << Describe(actual) << ", expected " << name << " = " << Describe(expected);
    if (actual == kSentinelLastError) failure << "\n  the call set no last error";
    return failure;
}

} // namespace last_error

// EXPECT_LAST_ERROR(code): the last error is `code` now.
// EXPECT_LAST_ERROR(code, statement): sets the sentinel, runs `statement` (which may hold EXPECT_
// checks of its own), then expects the last error to be `code`. Either form takes a message with <<;
// a failure names both codes, and says so when the call set none (the sentinel is still there).
#define EXPECT_LAST_ERROR(expected, ...)                                                                               \
    EXPECT_PRED_FORMAT3(::last_error::Is, #expected, expected, (__VA_OPT__([&] {                                       \
                            ::SetSentinelLastError();                                                                  \
                            __VA_ARGS__;                                                                               \
                        }(), )::GetLastError()))
