// Matching names against the platform's search patterns: '*' any run of characters, '?' one
// character, case-insensitive; "*.*" matches every name, with or without a dot.
#pragma once

#include <string_view>

namespace host {

bool MatchesPattern(std::u16string_view name, std::u16string_view pattern);

} // namespace host
