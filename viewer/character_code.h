// What a search on the Glyphs page names: a code as the zoom box labels it, or
// a character typed as itself. Plain text handling, built on every system.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

struct CharacterQuery {
  bool is_code = false;  // a grid code (cell); otherwise a character's code point
  uint32_t value = 0;
};

// Codes: "U+20AC", "u+20ac", "0x20AC" (hexadecimal), "#20AC" (hexadecimal: it has
// a digit A-F), "#8364" (decimal: only the digits 0-9), and the zoom box's whole
// label "#20AC/8364", whose two halves must agree. Spaces around a code are
// ignored. Any other text names its first character, a surrogate pair counting
// as one. std::nullopt, naming nothing, for an empty text, for a text that begins
// as a code does but is no code of U+0000-U+10FFFF ("0xZZ", "#20AC/8365"; a lone
// '#' is the character), and for a surrogate, as a code or a lone unit: it is
// no character.
std::optional<CharacterQuery> ParseCharacterQuery(std::u16string_view text);
