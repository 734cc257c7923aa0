#include "viewer/text_match.h"

#include <algorithm>

namespace {

bool IsWholeWord(std::u16string_view text, size_t start, size_t length,
                 bool (*is_word_unit)(char16_t)) {
  if (!is_word_unit) return true;
  if (start > 0 && is_word_unit(text[start - 1])) return false;
  const size_t end = start + length;
  return end >= text.size() || !is_word_unit(text[end]);
}

}  // namespace

std::optional<size_t> FindInText(std::u16string_view text, std::u16string_view pattern,
                                 const TextSearch& search) {
  if (pattern.empty() || pattern.size() > text.size()) return std::nullopt;
  const size_t from = std::min(search.from, text.size());
  auto accept = [&](size_t at) {
    return !search.whole_words || IsWholeWord(text, at, pattern.size(), search.is_word_unit);
  };
  if (!search.backwards) {
    for (size_t at = text.find(pattern, from); at != std::u16string_view::npos;
         at = text.find(pattern, at + 1))
      if (accept(at)) return at;
    return std::nullopt;
  }
  if (from < pattern.size()) return std::nullopt;
  for (size_t at = text.rfind(pattern, from - pattern.size()); at != std::u16string_view::npos;
       at = at == 0 ? std::u16string_view::npos : text.rfind(pattern, at - 1))
    if (accept(at)) return at;
  return std::nullopt;
}
