#include "viewer/character_code.h"

#include "fontfile/char_map.h"

namespace {

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// Digits only, at most `max_digits` of them (enough for 0x10FFFF), so nothing overflows.
std::optional<uint32_t> ParseNumber(std::u16string_view digits, int base, size_t max_digits) {
  if (digits.empty() || digits.size() > max_digits) return std::nullopt;
  uint32_t value = 0;
  for (char16_t c : digits) {
    const int digit = HexDigit(c);
    if (digit < 0 || digit >= base) return std::nullopt;
    value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
  }
  return value;
}

std::optional<uint32_t> ParseHex(std::u16string_view digits) { return ParseNumber(digits, 16, 6); }
std::optional<uint32_t> ParseDecimal(std::u16string_view digits) {
  return ParseNumber(digits, 10, 7);
}

// After '#': the zoom box writes hexadecimal then decimal, so a lone number is
// hexadecimal exactly when it needs a letter to be.
std::optional<uint32_t> ParseHashCode(std::u16string_view rest) {
  const size_t slash = rest.find(u'/');
  if (slash != std::u16string_view::npos) {
    std::optional<uint32_t> hex = ParseHex(rest.substr(0, slash));
    std::optional<uint32_t> decimal = ParseDecimal(rest.substr(slash + 1));
    if (hex && decimal && *hex == *decimal) return hex;
    return std::nullopt;
  }
  if (rest.find_first_not_of(u"0123456789") == std::u16string_view::npos)
    return ParseDecimal(rest);
  return ParseHex(rest);
}

// Whether the text begins as a code does: "U+", "u+", "0x" or "0X", or '#' with
// more after it (a lone '#' is the character).
bool LooksLikeCode(std::u16string_view text) {
  const std::u16string_view prefix = text.substr(0, 2);
  if (prefix == u"U+" || prefix == u"u+" || prefix == u"0x" || prefix == u"0X") return true;
  return text.size() > 1 && text[0] == u'#';
}

std::optional<uint32_t> ParseCode(std::u16string_view text) {
  if (text[0] == u'#') return ParseHashCode(text.substr(1));
  return ParseHex(text.substr(2));
}

constexpr bool IsSurrogate(uint32_t code) { return code >= 0xD800 && code <= 0xDFFF; }

}  // namespace

std::optional<CharacterQuery> ParseCharacterQuery(std::u16string_view text) {
  if (text.empty()) return std::nullopt;
  std::u16string_view trimmed = text;
  while (!trimmed.empty() && trimmed.front() == u' ') trimmed.remove_prefix(1);
  while (!trimmed.empty() && trimmed.back() == u' ') trimmed.remove_suffix(1);
  if (LooksLikeCode(trimmed)) {
    // A mistyped code names nothing rather than its first character.
    std::optional<uint32_t> code = ParseCode(trimmed);
    if (!code || *code > kLastCodePoint || IsSurrogate(*code)) return std::nullopt;
    return CharacterQuery{true, *code};
  }

  const char16_t first = text[0];
  if (first >= 0xD800 && first <= 0xDBFF && text.size() > 1 && text[1] >= 0xDC00 &&
      text[1] <= 0xDFFF) {
    const uint32_t high = first - 0xD800u, low = text[1] - 0xDC00u;
    return CharacterQuery{false, 0x10000u + (high << 10) + low};
  }
  if (IsSurrogate(first)) return std::nullopt;
  return CharacterQuery{false, first};
}
