// The last-error check: it passes only on the error the call under test set, says so when the call
// set none, and runs the call exactly once.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "host_fixture.h"
#include "last_error.h"

namespace {

using LastError = HostTest;

TEST_F(LastError, EveryTestStartsWithTheSentinel) { EXPECT_EQ(GetLastError(), kSentinelLastError); }

TEST_F(LastError, PassesOnTheErrorTheCallSets) {
    EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, SetLastError(ERROR_INVALID_PARAMETER));
    EXPECT_LAST_ERROR(ERROR_SUCCESS, SetLastError(ERROR_SUCCESS));
    SetSentinelLastError();
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_LAST_ERROR(ERROR_ACCESS_DENIED);
    EXPECT_LAST_ERROR(kSentinelLastError, (void)0); // a call that must leave the last error alone
}

TEST_F(LastError, AnErrorLeftByAnEarlierCallDoesNotPass) {
    SetLastError(ERROR_INVALID_HANDLE);
    EXPECT_NONFATAL_FAILURE(EXPECT_LAST_ERROR(ERROR_INVALID_HANDLE, (void)0), "the call set no last error");
}

TEST_F(LastError, FailuresNameBothCodesAndCarryTheTestsMessage) {
    EXPECT_NONFATAL_FAILURE(EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, SetLastError(ERROR_ACCESS_DENIED)),
                            "last error 5 (0x5), expected ERROR_INVALID_PARAMETER = 87 (0x57)");
    EXPECT_NONFATAL_FAILURE(EXPECT_LAST_ERROR(ERROR_INVALID_PARAMETER, (void)0),
                            "last error 3735928559 (0xDEADBEEF), the sentinel, expected");
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_NONFATAL_FAILURE(EXPECT_LAST_ERROR(kSentinelLastError) << "id 7",
                            "expected kSentinelLastError = 3735928559 (0xDEADBEEF), the sentinel\nid 7");
}

TEST_F(LastError, TheStatementRunsOnceWithItsOwnChecks) {
    int calls = 0;
    EXPECT_LAST_ERROR(ERROR_FILE_NOT_FOUND, {
        ++calls;
        SetLastError(ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(calls, 1);
    });
    EXPECT_EQ(calls, 1);
    EXPECT_NONFATAL_FAILURE(EXPECT_LAST_ERROR(ERROR_SUCCESS, EXPECT_EQ(1, 2); SetLastError(ERROR_SUCCESS)),
                            "Expected equality");
}

} // namespace
