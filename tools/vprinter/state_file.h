// The virtual printer's state as a file in its folder (state.json), so that another process (velt
// virtual-printer set, in another shell) can change it while a job prints, and as the words a user
// gives it: KEY=VALUE with the keys paper, door, cutter, head-temp, power, head, busy, stopped, width,
// paper-colors, knife, buffer and speed.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "printer_state.h"

namespace vprinter {

constexpr char STATE_FILE_NAME[] = "state.json";

// Every key with its value in the user's words, in the order above.
std::vector<std::pair<std::string, std::string>> StateWords(const PrinterState& state);

// Sets one key from the user's words; false with "KEY takes A or B, not 'C'" (or "unknown key 'K'").
bool SetStateWord(PrinterState& state, const std::string& key, const std::string& value, std::string& error);

// Reads the file; false with the reason when it is missing, unreadable or not a state. Keys the file
// lacks keep their value in *state.
bool ReadStateFile(const std::filesystem::path& file, PrinterState* state, std::string& error);

// Writes the file under a temporary name and renames it, so that a reader never sees half of it.
bool WriteStateFile(const std::filesystem::path& file, const PrinterState& state, std::string& error);

} // namespace vprinter
