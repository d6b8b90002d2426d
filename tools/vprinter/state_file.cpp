#include "state_file.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace vprinter {
namespace {

using Json = nlohmann::json;

// A two-word key: the word for false, the word for true.
struct Switch {
    const char* key;
    const char* no;
    const char* yes;
    bool PrinterState::*field;
};

constexpr Switch SWITCHES[] = {
    {"paper", "ok", "out", &PrinterState::paperOut},
    {"door", "closed", "open", &PrinterState::doorOpen},
    {"cutter", "ok", "error", &PrinterState::cutterError},
};

constexpr Switch LATER_SWITCHES[] = {
    {"busy", "no", "yes", &PrinterState::busy},
    {"stopped", "no", "yes", &PrinterState::printingStopped},
};

// The head's faults share two bits of the reply: each key shows and sets one of them.
struct HeadKey {
    const char* key;
    const char* ok;
    const char* fault;
    HeadFault value;
};

constexpr HeadKey HEAD_KEYS[] = {
    {"head-temp", "ok", "error", HeadFault::Temperature},
    {"power", "ok", "error", HeadFault::PowerSupply},
    {"head", "ok", "disconnected", HeadFault::NotConnected},
};

std::string Choice(const std::string& key, const char* a, const char* b, const std::string& value) {
    return key + " takes " + a + " or " + b + ", not '" + value + "'";
}

// Internal fields the file keeps beside the user's keys.
constexpr char CONFIG_BYTE0_KEY[] = "config-byte0";
constexpr char MODEL_KEY[] = "model";

} // namespace

std::vector<std::pair<std::string, std::string>> StateWords(const PrinterState& state) {
    std::vector<std::pair<std::string, std::string>> words;
    for (const Switch& s : SWITCHES) words.emplace_back(s.key, state.*s.field ? s.yes : s.no);
    for (const HeadKey& h : HEAD_KEYS) words.emplace_back(h.key, state.headFault == h.value ? h.fault : h.ok);
    for (const Switch& s : LATER_SWITCHES) words.emplace_back(s.key, state.*s.field ? s.yes : s.no);
    words.emplace_back("width", state.paperWidth == PaperWidth::Mm58 ? "58" : "80");
    words.emplace_back("paper-colors", state.twoColourPaper ? "2" : "1");
    words.emplace_back("knife", state.knife ? "on" : "off");
    words.emplace_back("buffer", state.oneLineBuffer ? "line" : "4k");
    words.emplace_back("speed", std::to_string(state.speed));
    return words;
}

bool SetStateWord(PrinterState& state, const std::string& key, const std::string& value, std::string& error) {
    auto pick = [&](const char* a, const char* b, auto apply) {
        if (value == a || value == b) {
            apply(value == b);
            return true;
        }
        error = Choice(key, a, b, value);
        return false;
    };
    for (const Switch* list : {SWITCHES, LATER_SWITCHES}) {
        const size_t count = list == SWITCHES ? std::size(SWITCHES) : std::size(LATER_SWITCHES);
        for (size_t i = 0; i < count; ++i)
            if (key == list[i].key) return pick(list[i].no, list[i].yes, [&](bool on) { state.*list[i].field = on; });
    }
    for (const HeadKey& h : HEAD_KEYS)
        if (key == h.key)
            return pick(h.ok, h.fault, [&](bool fault) {
                if (fault)
                    state.headFault = h.value;
                else if (state.headFault == h.value)
                    state.headFault = HeadFault::None;
            });
    if (key == "width")
        return pick("80", "58", [&](bool narrow) { state.paperWidth = narrow ? PaperWidth::Mm58 : PaperWidth::Mm80; });
    if (key == "paper-colors") return pick("1", "2", [&](bool two) { state.twoColourPaper = two; });
    if (key == "knife") return pick("on", "off", [&](bool off) { state.knife = !off; });
    if (key == "buffer") return pick("4k", "line", [&](bool line) { state.oneLineBuffer = line; });
    if (key == "speed") {
        const bool digits =
            !value.empty() && value.size() <= 5 && value.find_first_not_of("0123456789") == std::string::npos;
        if (!digits) {
            error = "speed takes millimetres per second from 0 to 99999, not '" + value + "'";
            return false;
        }
        state.speed = static_cast<unsigned>(std::stoul(value));
        return true;
    }
    error = "unknown key '" + key + "'";
    return false;
}

bool ReadStateFile(const std::filesystem::path& file, PrinterState* state, std::string& error) {
    std::ifstream in(file);
    if (!in) {
        error = "cannot read '" + file.string() + "': " + std::strerror(errno);
        return false;
    }
    Json json = Json::parse(in, nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        error = "'" + file.string() + "' is not a printer state";
        return false;
    }
    PrinterState read = *state;
    for (const auto& [key, value] : json.items()) {
        if (key == CONFIG_BYTE0_KEY && value.is_number_unsigned() && value.get<unsigned>() <= 0xFF) {
            read.configByte0 = static_cast<uint8_t>(value.get<unsigned>());
        } else if (key == MODEL_KEY && value.is_string()) {
            read.dualSideModel = value.get<std::string>() != "single";
        } else if (!value.is_string() || !SetStateWord(read, key, value.get<std::string>(), error)) {
            error = "'" + file.string() + "': " + (value.is_string() ? error : key + " is not a word");
            return false;
        }
    }
    *state = read;
    return true;
}

bool WriteStateFile(const std::filesystem::path& file, const PrinterState& state, std::string& error) {
    Json json = Json::object();
    for (const auto& [key, value] : StateWords(state)) json[key] = value;
    json[CONFIG_BYTE0_KEY] = state.configByte0;
    json[MODEL_KEY] = state.dualSideModel ? "dual" : "single";
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    static std::atomic<unsigned> written{0};
    const std::filesystem::path temporary =
        file.string() + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++written);
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << json.dump(2) << '\n';
        out.close();
        if (!out) {
            error = "cannot write '" + temporary.string() + "': " + std::strerror(errno);
            std::filesystem::remove(temporary, ec);
            return false;
        }
    }
    std::filesystem::rename(temporary, file, ec);
    if (ec) {
        error = "cannot rename '" + temporary.string() + "' to '" + file.string() + "': " + ec.message();
        std::filesystem::remove(temporary, ec);
        return false;
    }
    return true;
}

} // namespace vprinter
