// A tiny built-in bitmap font for labels drawn into pictures: 3x5 glyphs for
// digits, letters (lower case drawn as upper case) and a few signs; any other
// character is drawn as '?'. Glyphs are scaled by whole factors.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/pixel_buffer.h"

namespace zanhost::cli {

constexpr int kGlyphWidth = 3;
constexpr int kGlyphHeight = 5;

// Width of the text at the scale, one blank column between glyphs.
int TextWidth(std::string_view text, int scale);

// Draws the text's set pixels in `color` with its top left corner at (x, y);
// what falls outside the 32-bit picture is clipped.
void DrawText(PixelBuffer &picture, int x, int y, std::string_view text, uint32_t color, int scale);

}  // namespace zanhost::cli
