#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace {

std::string ToAnsi(const std::u16string& text, size_t capacity = 64) {
  std::string out(capacity, '\0');
  size_t produced = ConvertUtf16ToAnsi(reinterpret_cast<const uint16_t*>(text.data()), text.size(),
                                       out.data(), capacity);
  return out.substr(0, produced);
}

// The same bytes natively and under Wine with the Western code page.
TEST(TextConversion, Utf16ToWindows1252) {
  EXPECT_EQ(ToAnsi(u"Plain ASCII"), "Plain ASCII");
  EXPECT_EQ(ToAnsi(u"\u00E9\u00FC\u00A0\u00FF"), "\xE9\xFC\xA0\xFF");
  EXPECT_EQ(ToAnsi(u"\u20AC\u2019\u0152\u02DC"), "\x80\x92\x8C\x98");
  EXPECT_EQ(ToAnsi(u"\u0081\u008D\u008F\u0090\u009D"), "\x81\x8D\x8F\x90\x9D");
  EXPECT_EQ(ToAnsi(u"a\u4E2Db\u3042"), "a?b?");
  EXPECT_EQ(ToAnsi(u"\U0001F600!"), "??" "!");           // a pair: two
  EXPECT_EQ(ToAnsi(std::u16string(u"\xD83Dx")), "?x");  // lone surrogates: one each
  EXPECT_EQ(ToAnsi(std::u16string(u"x\xDE00")), "x?");
  EXPECT_EQ(ToAnsi(std::u16string(u"a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextConversion, OutputThatWouldNotFitFails) {
  EXPECT_EQ(ToAnsi(u"abc", 3), "abc");
  EXPECT_EQ(ToAnsi(u"abcd", 3), "");
  EXPECT_EQ(ToAnsi(u"ab\u4E2D", 2), "");
  EXPECT_EQ(ToAnsi(u"", 8), "");
}

// Every byte reads as one character and writes back as itself, on both systems;
// a tag character (a surrogate pair with no 8-bit form) writes as two '?'.
TEST(TextConversion, EveryByteRoundTrips) {
  for (int byte = 0; byte < 256; ++byte) {
    SCOPED_TRACE(byte);
    const std::string utf8 = AnsiToUtf8(std::string(1, static_cast<char>(byte)));
    ASSERT_FALSE(utf8.empty());
    const auto lead = static_cast<uint8_t>(utf8[0]);
    char16_t unit = lead;
    if (utf8.size() == 2) unit = static_cast<char16_t>((lead & 0x1F) << 6 | (utf8[1] & 0x3F));
    if (utf8.size() == 3)
      unit = static_cast<char16_t>((lead & 0x0F) << 12 | (utf8[1] & 0x3F) << 6 | (utf8[2] & 0x3F));
    EXPECT_EQ(ToAnsi(std::u16string(1, unit)), std::string(1, static_cast<char>(byte)));
  }
  EXPECT_EQ(ToAnsi(u"a󠁁b"), "a??b");
}

TEST(TextConversion, AnsiToUtf8) {
  EXPECT_EQ(AnsiToUtf8("Caf\xE9 \x80"), "Caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(AnsiToUtf8("\x81\xFF"), "\xC2\x81\xC3\xBF");
  EXPECT_EQ(AnsiToUtf8(""), "");
  EXPECT_EQ(AnsiToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
