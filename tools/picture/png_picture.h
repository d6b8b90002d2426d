// Pictures from and to PNG files, as the engine's printing takes them: 24-bit, top-down, B, G, R.
#pragma once

#include <string>

#include "host/engine.h"

namespace picture {

// Reads any PNG (1- to 16-bit; grey, grey with alpha, palette, RGB, RGBA; interlaced or not).
// Transparency is composed over white paper; 16-bit samples are scaled to 8 bits, rounded.
// On failure returns false and says why in `error`, starting with the file's name.
bool LoadPng(const std::string& path, HostPicture* picture, std::string* error);

// Writes the picture as an 8-bit RGB PNG. On failure returns false and says why in `error`.
bool SavePng(const std::string& path, const HostPicture& picture, std::string* error);

// The largest picture LoadPng accepts, in pixels: far beyond any roll of paper, and small enough
// that its pixels fit in memory.
constexpr unsigned long long kMaxPixels = 1ull << 26;

} // namespace picture
