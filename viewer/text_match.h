// Finding a piece of UTF-16 text in another, forwards or backwards, as whole
// words or anywhere. Plain text handling, built on every system.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

struct TextSearch {
  size_t from = 0;         // forwards: matches starting here or later; backwards: ending here or earlier
  bool backwards = false;  // the nearest match before `from` instead of after it
  bool whole_words = false;
  // Whether a code unit belongs to a word; only asked for whole words.
  bool (*is_word_unit)(char16_t) = nullptr;
};

// The start of the nearest match of `pattern` in `text`; std::nullopt for none or
// an empty pattern. Letter case must already be folded in both when it is not to
// count.
std::optional<size_t> FindInText(std::u16string_view text, std::u16string_view pattern,
                                 const TextSearch& search);
