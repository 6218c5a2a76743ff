#include "tools/bitmap_font.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace zanhost::cli {
namespace {

struct Glyph {
  char character;
  std::array<const char *, kGlyphHeight> rows;  // '#' marks a set pixel
};

constexpr Glyph kGlyphs[] = {
    {'0', {"###", "#.#", "#.#", "#.#", "###"}}, {'1', {".#.", "##.", ".#.", ".#.", "###"}},
    {'2', {"###", "..#", "###", "#..", "###"}}, {'3', {"###", "..#", ".##", "..#", "###"}},
    {'4', {"#.#", "#.#", "###", "..#", "..#"}}, {'5', {"###", "#..", "###", "..#", "###"}},
    {'6', {"###", "#..", "###", "#.#", "###"}}, {'7', {"###", "..#", "..#", ".#.", ".#."}},
    {'8', {"###", "#.#", "###", "#.#", "###"}}, {'9', {"###", "#.#", "###", "..#", "###"}},
    {'A', {".#.", "#.#", "###", "#.#", "#.#"}}, {'B', {"##.", "#.#", "##.", "#.#", "##."}},
    {'C', {".##", "#..", "#..", "#..", ".##"}}, {'D', {"##.", "#.#", "#.#", "#.#", "##."}},
    {'E', {"###", "#..", "##.", "#..", "###"}}, {'F', {"###", "#..", "##.", "#..", "#.."}},
    {'G', {".##", "#..", "#.#", "#.#", ".##"}}, {'H', {"#.#", "#.#", "###", "#.#", "#.#"}},
    {'I', {"###", ".#.", ".#.", ".#.", "###"}}, {'J', {"..#", "..#", "..#", "#.#", ".#."}},
    {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}}, {'L', {"#..", "#..", "#..", "#..", "###"}},
    {'M', {"#.#", "###", "###", "#.#", "#.#"}}, {'N', {"##.", "#.#", "#.#", "#.#", "#.#"}},
    {'O', {".#.", "#.#", "#.#", "#.#", ".#."}}, {'P', {"##.", "#.#", "##.", "#..", "#.."}},
    {'Q', {".#.", "#.#", "#.#", "##.", ".##"}}, {'R', {"##.", "#.#", "##.", "#.#", "#.#"}},
    {'S', {".##", "#..", ".#.", "..#", "##."}}, {'T', {"###", ".#.", ".#.", ".#.", ".#."}},
    {'U', {"#.#", "#.#", "#.#", "#.#", "###"}}, {'V', {"#.#", "#.#", "#.#", "#.#", ".#."}},
    {'W', {"#.#", "#.#", "###", "###", "#.#"}}, {'X', {"#.#", "#.#", ".#.", "#.#", "#.#"}},
    {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}}, {'Z', {"###", "..#", ".#.", "#..", "###"}},
    {' ', {"...", "...", "...", "...", "..."}}, {'.', {"...", "...", "...", "...", ".#."}},
    {',', {"...", "...", "...", ".#.", "#.."}}, {':', {"...", ".#.", "...", ".#.", "..."}},
    {'=', {"...", "###", "...", "###", "..."}}, {'-', {"...", "...", "###", "...", "..."}},
    {'+', {"...", ".#.", "###", ".#.", "..."}}, {'/', {"..#", "..#", ".#.", "#..", "#.."}},
    {'(', {".#.", "#..", "#..", "#..", ".#."}}, {')', {".#.", "..#", "..#", "..#", ".#."}},
    {'%', {"#.#", "..#", ".#.", "#..", "#.#"}}, {'_', {"...", "...", "...", "...", "###"}},
    {'?', {"###", "..#", ".#.", "...", ".#."}},
};

const Glyph &GlyphFor(char character) {
  const char wanted = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
  for (const Glyph &glyph : kGlyphs) {
    if (glyph.character == wanted) {
      return glyph;
    }
  }
  return GlyphFor('?');
}

void FillSquare(PixelBuffer &picture, int left, int top, int size, uint32_t color) {
  for (int y = std::max(top, 0); y < std::min(top + size, picture.Height()); ++y) {
    for (int x = std::max(left, 0); x < std::min(left + size, picture.Width()); ++x) {
      picture.Row32(y)[x] = color;
    }
  }
}

}  // namespace

int TextWidth(std::string_view text, int scale) {
  return text.empty() ? 0 : static_cast<int>(text.size()) * (kGlyphWidth + 1) * scale - scale;
}

void DrawText(PixelBuffer &picture, int x, int y, std::string_view text, uint32_t color,
              int scale) {
  for (char character : text) {
    const Glyph &glyph = GlyphFor(character);
    for (int row = 0; row < kGlyphHeight; ++row) {
      for (int column = 0; column < kGlyphWidth; ++column) {
        if (glyph.rows[static_cast<size_t>(row)][column] == '#') {
          FillSquare(picture, x + column * scale, y + row * scale, scale, color);
        }
      }
    }
    x += (kGlyphWidth + 1) * scale;
  }
}

}  // namespace zanhost::cli
