// Text helpers inside the host: UTF-8 <-> UTF-16 and the platform's case-insensitive comparison.
#pragma once

#include <string>
#include <string_view>

#include "host/types.h"

namespace host {

// A null platform string reads as empty.
inline std::u16string_view View(LPCWSTR s) { return s ? std::u16string_view(s) : std::u16string_view(); }

std::u16string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::u16string_view wide);

// Upper-cases one UTF-16 unit the way the platform compares names (file names, keys, printers).
char16_t FoldChar(char16_t c);
std::u16string FoldCase(std::u16string_view s);
bool EqualNoCase(std::u16string_view a, std::u16string_view b);

} // namespace host
