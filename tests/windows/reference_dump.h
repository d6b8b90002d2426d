// One text form of what the driver libraries give, written by the host's reference program from the
// host build and by the loading program under the platform's loader from the cross build, so that the
// two can be compared line for line: every resource's bytes and every string of the resource library,
// and the files the log library leaves in a folder. Standard C++ only: both builds compile it.
//
// Lines, sorted:
//   resource TYPE NAME LANGUAGE SIZE HEX        (TYPE and NAME numbers, or names in quotes)
//   string ID HEX                               (the UTF-16 units of the text, as LoadStringW reads it)
//   log STEP NAME SIZE HASH                     (digits of the name as '#', dates in the bytes masked)
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace reference {

inline std::string Hex(const void* data, size_t size) {
    static const char digits[] = "0123456789abcdef";
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::string out;
    out.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

inline std::string ResourceLine(const std::string& type, const std::string& name, unsigned language, const void* data,
                                size_t size) {
    std::string line = "resource ";
    line.append(type).append(" ").append(name).append(" ").append(std::to_string(language));
    line.append(" ").append(std::to_string(size)).append(" ").append(Hex(data, size));
    return line;
}

inline std::string StringLine(unsigned id, const uint16_t* units, size_t count) {
    std::string line = "string ";
    line.append(std::to_string(id)).append(" ").append(Hex(units, count * 2));
    return line;
}

// The ids and texts of a string-table block (name `block`): 16 counted strings, ids (block - 1) * 16 on.
struct BlockString {
    unsigned id;
    std::vector<uint16_t> units;
};
inline std::vector<BlockString> StringsOfBlock(unsigned block, const unsigned char* data, size_t size) {
    std::vector<BlockString> out;
    size_t at = 0;
    for (unsigned i = 0; i < 16 && at + 2 <= size; ++i) {
        const size_t count = data[at] | (data[at + 1] << 8);
        at += 2;
        BlockString s{(block - 1) * 16 + i, {}};
        for (size_t c = 0; c < count && at + 2 <= size; ++c, at += 2) {
            s.units.push_back(static_cast<uint16_t>(data[at] | (data[at + 1] << 8)));
        }
        if (count != 0) out.push_back(std::move(s));
    }
    return out;
}

// A log file's bytes with every date of the form "05.Mar.2024" (a header's) masked, so that runs on
// different days compare equal; FNV-1a over the result.
inline uint64_t MaskedHash(std::vector<unsigned char> bytes) {
    auto digit = [](unsigned char c) { return c >= '0' && c <= '9'; };
    for (size_t i = 0; i + 11 <= bytes.size(); ++i) {
        const unsigned char* b = &bytes[i];
        if (digit(b[0]) && digit(b[1]) && b[2] == '.' && b[3] >= 'A' && b[3] <= 'Z' && b[4] >= 'a' && b[4] <= 'z' &&
            b[5] >= 'a' && b[5] <= 'z' && b[6] == '.' && digit(b[7]) && digit(b[8]) && digit(b[9]) && digit(b[10])) {
            std::fill(bytes.begin() + static_cast<long>(i), bytes.begin() + static_cast<long>(i) + 11, '#');
            i += 10;
        }
    }
    uint64_t hash = 14695981039346656037ULL;
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ULL;
    return hash;
}

// Every file of `folder` after log step `step`: its name with digits masked (rotated names carry the
// time), its size and its masked hash.
inline std::vector<std::string> LogFolderLines(const std::string& step, const std::filesystem::path& folder) {
    std::vector<std::string> out;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        std::replace_if(
            name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }, '#');
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        char hash[17];
        std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(MaskedHash(bytes)));
        std::string line = "log ";
        line.append(step).append(" ").append(name).append(" ").append(std::to_string(bytes.size()));
        line.append(" ").append(hash);
        out.push_back(std::move(line));
    }
    return out;
}

// The records each log step writes, the same on both builds: a first session long enough to fill a
// file and rotate it, then one short record that finds the family over its 1 MB limit.
inline std::string LogRecord(int i) {
    char text[128];
    std::snprintf(text, sizeof text, "Record %05d of the reference run: the same text on every build of the library",
                  i);
    return text;
}
inline constexpr int kRecordsOfFirstSession = 14000;

inline bool WriteLines(std::vector<std::string> lines, const std::filesystem::path& file) {
    std::sort(lines.begin(), lines.end());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const auto& line : lines) out << line << '\n';
    return static_cast<bool>(out);
}

} // namespace reference
