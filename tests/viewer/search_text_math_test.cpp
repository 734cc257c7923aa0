// The text handling of searches: the codes and characters the Glyphs page's
// search understands, and matching forwards, backwards and as whole words.
#include <gtest/gtest.h>

#include "viewer/character_code.h"
#include "viewer/text_match.h"

namespace {

CharacterQuery Parsed(std::u16string_view text) {
  std::optional<CharacterQuery> query = ParseCharacterQuery(text);
  EXPECT_TRUE(query.has_value());
  return query.value_or(CharacterQuery{false, 0xFFFFFFFF});
}

TEST(CharacterQuery, CodesInEachFormAndEverythingElseAsItsFirstCharacter) {
  for (std::u16string_view code : {u"U+20AC", u"u+20ac", u"0x20AC", u"0X20ac", u"#20AC",
                                   u"#8364", u"#20AC/8364", u" U+20AC "}) {
    const CharacterQuery q = Parsed(code);
    EXPECT_TRUE(q.is_code);
    EXPECT_EQ(q.value, 0x20ACu);
  }
  // '#' with only decimal digits is decimal, as the zoom box's second number.
  EXPECT_EQ(Parsed(u"#0041").value, 41u);
  EXPECT_EQ(Parsed(u"#00E9").value, 0xE9u);
  EXPECT_EQ(Parsed(u"U+10FFFF").value, 0x10FFFFu);
  // Begun as a code but none: no digits, a stray letter, too many digits,
  // disagreeing halves, past U+10FFFF; and the surrogates, which are no
  // characters. None of them names anything.
  for (std::u16string_view text : {u"U+", u"0x", u" u+ ", u"#x", u"0xZZ", u"U+1F60G", u"U+1234567",
                                   u"#20AC/8365", u"#20AC/", u"#/8364", u"#12G", u"U+110000",
                                   u"U+D800", u"0xDBFF", u"#DC00", u"#57343"})
    EXPECT_FALSE(ParseCharacterQuery(text).has_value()) << std::string(text.begin(), text.end());
  // Anything else is its first character, a lone '#' too.
  for (std::u16string_view text : {u"#", u"U", u"0", u"0y", u"U-20AC", u"x#1"}) {
    const CharacterQuery q = Parsed(text);
    EXPECT_FALSE(q.is_code);
    EXPECT_EQ(q.value, static_cast<uint32_t>(text[0]));
  }
  EXPECT_EQ(Parsed(u"\u20ac and more").value, 0x20ACu);
  EXPECT_EQ(Parsed(u" ").value, 0x20u);
  EXPECT_EQ(Parsed(u" #").value, 0x20u);  // spaces count before a character
  EXPECT_EQ(Parsed(u"\U0001F600x").value, 0x1F600u);
  EXPECT_EQ(Parsed(u"U+D7FF").value, 0xD7FFu);
  EXPECT_EQ(Parsed(u"U+E000").value, 0xE000u);
  // A lone surrogate, high or low, names nothing.
  for (const char16_t unit : {char16_t{0xD83D}, char16_t{0xDC00}}) {
    const char16_t lone[] = {unit, u'x', 0};
    EXPECT_FALSE(ParseCharacterQuery(lone).has_value()) << static_cast<int>(unit);
    EXPECT_FALSE(ParseCharacterQuery(std::u16string_view(lone, 1)).has_value());
  }
  EXPECT_FALSE(ParseCharacterQuery(u"").has_value());
}

bool IsAsciiWordUnit(char16_t c) {
  return c == u'_' || (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') ||
         (c >= u'A' && c <= u'Z');
}

std::optional<size_t> Find(std::u16string_view text, std::u16string_view pattern, size_t from,
                           bool backwards, bool whole_words) {
  return FindInText(text, pattern, {from, backwards, whole_words, IsAsciiWordUnit});
}

TEST(TextMatch, ForwardsBackwardsAndWholeWordsStopAtTheEnds) {
  const std::u16string_view text = u"cat concat cat_ cat";
  EXPECT_EQ(Find(text, u"cat", 0, false, false), 0u);
  EXPECT_EQ(Find(text, u"cat", 1, false, false), 7u);
  EXPECT_EQ(Find(text, u"cat", 1, false, true), 16u);  // "concat" and "cat_" are other words
  EXPECT_EQ(Find(text, u"cat", 17, false, true), std::nullopt);
  // Backwards: the match must end at `from` or before it.
  EXPECT_EQ(Find(text, u"cat", text.size(), true, false), 16u);
  EXPECT_EQ(Find(text, u"cat", 18, true, false), 11u);
  EXPECT_EQ(Find(text, u"cat", 16, true, true), 0u);
  EXPECT_EQ(Find(text, u"cat", 2, true, false), std::nullopt);
  EXPECT_EQ(Find(text, u"cat", 3, true, false), 0u);
  // A start past the end is the end; nothing is found in too short a text or for nothing.
  EXPECT_EQ(Find(text, u"cat", 999, true, true), 16u);
  EXPECT_EQ(Find(text, u"cat", 999, false, false), std::nullopt);
  EXPECT_EQ(Find(u"ca", u"cat", 0, false, false), std::nullopt);
  EXPECT_EQ(Find(text, u"", 0, false, false), std::nullopt);
}

}  // namespace
