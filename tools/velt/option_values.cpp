#include "option_values.h"

namespace velt {
namespace {

// Decimal digits only, and no more of them than `max` has ("0024" is not 24 when max is 254).
std::optional<uint32_t> WholeNumber(const std::string& text, uint32_t min, uint32_t max) {
    if (text.empty() || text.size() > std::to_string(max).size()) return std::nullopt;
    uint64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<uint64_t>(c - '0');
    }
    if (n < min || n > max) return std::nullopt;
    return static_cast<uint32_t>(n);
}

} // namespace

std::string ShownName(const std::string& names) {
    std::vector<std::string> each = CLI::detail::split(names, ',');
    for (const std::string& name : each)
        if (name.rfind("--", 0) == 0) return name;
    return each.front();
}

std::string Alternatives(const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    return text;
}

CLI::Option* AddConverted(CLI::App& app, const std::string& name, const std::string& placeholder,
                          std::function<void(const std::string&)> convert, const std::string& description) {
    return app.add_option(name, CLI::callback_t{}, description)->type_name(placeholder)->each(std::move(convert));
}

CLI::Option* AddWholeNumber(CLI::App& app, const std::string& name, uint32_t min, uint32_t max,
                            std::optional<uint32_t>* target, const std::string& meaning,
                            const std::string& description) {
    auto convert = [=, shown = ShownName(name)](const std::string& text) {
        *target = WholeNumber(text, min, max);
        if (!*target)
            throw UsageError(shown + " must be a whole number from " + std::to_string(min) + " to " +
                             std::to_string(max) + " (" + meaning + "), not '" + text + "'");
    };
    return AddConverted(app, name, "N", std::move(convert), description);
}

CLI::Option* AddText(CLI::App& app, const std::string& name, const std::string& placeholder, std::string* target,
                     const std::string& description) {
    auto convert = [shown = ShownName(name), target](const std::string& text) {
        if (text.empty()) throw UsageError(shown + " needs a value");
        *target = text;
    };
    return AddConverted(app, name, placeholder, std::move(convert), description);
}

} // namespace velt
