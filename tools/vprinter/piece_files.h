// The pictures of a stream's pieces as files in a folder: piece-001.png, piece-002.png, ...
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "paper.h"

namespace vprinter {

std::string PieceFileName(size_t number); // piece-001.png, ..., piece-1000.png

// Removes the piece pictures an earlier stream left in the folder, so that they do not mix with new ones.
void RemovePieceFiles(const std::filesystem::path& folder);

// Writes one picture per piece, numbered from 1, into an existing folder. On failure stops and returns
// false with "cannot write 'path': reason" in error.
bool WritePieceFiles(const std::filesystem::path& folder, const std::vector<Piece>& pieces,
                     std::vector<std::string>& paths, std::string& error);

} // namespace vprinter
