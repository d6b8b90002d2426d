// Where two printer streams part, for failure messages: as a gtest assertion that shows the bytes
// around the first difference, or as text that a test compares with "same".
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "printer_stream.h"

// Hex text of `count` bytes from `from`: "1B 40 0C ".
inline std::string HexText(const Bytes& bytes, size_t from = 0, size_t count = 48) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = from; i < bytes.size() && i < from + count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
        text += ' ';
    }
    return text;
}

// Succeeds if the streams are the same; otherwise shows both from 16 bytes before they part.
inline ::testing::AssertionResult SameStream(const Bytes& actual, const Bytes& expected) {
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) {
        ++at;
    }
    if (at == actual.size() && at == expected.size()) {
        return ::testing::AssertionSuccess();
    }
    size_t from = at > 16 ? at - 16 : 0;
    return ::testing::AssertionFailure() << "streams part at byte " << at << " (actual " << actual.size()
                                         << " bytes, expected " << expected.size()
                                         << ")\n  actual:   " << HexText(actual, from)
                                         << "\n  expected: " << HexText(expected, from);
}

// "same", or where the streams part: "first difference at byte 123 of 4567 (got 4568): expected 1B, got 0C".
inline std::string CompareStreams(const Bytes& expected, const Bytes& actual) {
    size_t n = expected.size() < actual.size() ? expected.size() : actual.size();
    size_t at = 0;
    while (at < n && expected[at] == actual[at]) ++at;
    if (at == n && expected.size() == actual.size()) return "same";
    char text[160];
    if (at == n)
        std::snprintf(text, sizeof text, "streams agree for %zu bytes; expected %zu bytes, got %zu", n, expected.size(),
                      actual.size());
    else
        std::snprintf(text, sizeof text, "first difference at byte %zu of %zu (got %zu): expected %02X, got %02X", at,
                      expected.size(), actual.size(), expected[at], actual[at]);
    return text;
}
