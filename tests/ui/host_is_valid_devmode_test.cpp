#include <gtest/gtest.h>

#include "devmode_bytes.h"
#include "host/devmode_check.h"

namespace {

TEST(HostIsValidDevmode, DeclaredSizesMustFitTheBytesGiven) {
    DevmodeBytes record = DevmodeBytes::Defaults(236, 220, 16);
    EXPECT_TRUE(HostIsValidDevmode(record.record(), 236));
    EXPECT_TRUE(HostIsValidDevmode(record.record(), 4096));
    EXPECT_FALSE(HostIsValidDevmode(record.record(), 235));

    record.Put16(70, 0xFFFF); // a private part far beyond the buffer
    EXPECT_FALSE(HostIsValidDevmode(record.record(), 236));
    record.Put16(68, 0xFFFF);
    EXPECT_FALSE(HostIsValidDevmode(record.record(), 236));
}

TEST(HostIsValidDevmode, RecordMustHoldItsOwnHeader) {
    DevmodeBytes header = DevmodeBytes::Defaults(72, 72, 0);
    EXPECT_TRUE(HostIsValidDevmode(header.record(), 72));
    EXPECT_FALSE(HostIsValidDevmode(header.record(), 71));
    header.Put16(68, 71);
    EXPECT_FALSE(HostIsValidDevmode(header.record(), 72));
    header.Put16(68, 0);
    EXPECT_FALSE(HostIsValidDevmode(header.record(), 72));
    EXPECT_FALSE(HostIsValidDevmode(nullptr, 236));
}

TEST(HostIsValidDevmode, RecordMaySitAtAnyAddress) {
    DevmodeBytes shifted(237);
    DevmodeBytes record = DevmodeBytes::Defaults(236, 220, 16);
    std::copy(record.bytes().begin(), record.bytes().end(), shifted.bytes().begin() + 1);
    EXPECT_TRUE(HostIsValidDevmode(shifted.bytes().data() + 1, 236));
}

} // namespace
