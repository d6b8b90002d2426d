// Options whose values velt converts itself, so that a bad value is refused in velt's words
// ("--color takes mono or 2color, not 'blue'", exit code 2) rather than in CLI11's.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "command_line.h"

namespace velt {

// One of the names an option takes, and what it stands for.
template <typename T>
struct Choice {
    std::string name;
    T value;
};

// "a or b", "a, b or c".
std::string Alternatives(const std::vector<std::string>& names);

// The name that messages give an option declared as "-o,--out": its first long name.
std::string ShownName(const std::string& names);

// An option with a value that `convert` turns into the option's setting, or refuses by throwing
// UsageError. Each value given goes through it in the order given, as velt always read them: a bad
// value is refused even when another follows, and of good ones the last one counts.
CLI::Option* AddConverted(CLI::App& app, const std::string& name, const std::string& placeholder,
                          std::function<void(const std::string&)> convert, const std::string& description);

// An option that takes one of the names, in the order the help shows them (--color mono|2color);
// the chosen name's value goes to *target.
template <typename T, typename Target>
CLI::Option* AddChoice(CLI::App& app, const std::string& name, std::vector<Choice<T>> choices, Target* target,
                       const std::string& description) {
    std::vector<std::string> names;
    for (const Choice<T>& choice : choices) names.push_back(choice.name);
    std::string placeholder;
    for (const std::string& n : names) placeholder += (placeholder.empty() ? "" : "|") + n;
    auto convert = [shown = ShownName(name), names, choices = std::move(choices), target](const std::string& text) {
        for (const Choice<T>& choice : choices)
            if (text == choice.name) {
                *target = choice.value;
                return;
            }
        throw UsageError(shown + " takes " + Alternatives(names) + ", not '" + text + "'");
    };
    return AddConverted(app, name, placeholder, std::move(convert), description);
}

// An option that takes a whole decimal number from min to max; `meaning` says what it counts
// ("rows per raster block") in the refusal.
CLI::Option* AddWholeNumber(CLI::App& app, const std::string& name, uint32_t min, uint32_t max,
                            std::optional<uint32_t>* target, const std::string& meaning,
                            const std::string& description);

// An option that takes a text which must not be empty (a file, a folder, a printer's name).
CLI::Option* AddText(CLI::App& app, const std::string& name, const std::string& placeholder, std::string* target,
                     const std::string& description);

} // namespace velt
