// Runs under Wine with a Japanese locale, where the ANSI code page is 932.
#include <windows.h>

#include <gtest/gtest.h>

#include "fontfile/sfnt_reader.h"
#include "font_builder.h"

namespace {

TEST(DoubleByteCodePage, SevenJapaneseCharactersBecomeFourteenBytes) {
  ASSERT_EQ(GetACP(), 932u) << "the test needs LANG=ja_JP.UTF-8 and that locale's data";
  std::string font = BuildSfnt(
      SfntFont{}.Add("name", BuildNameTable(NameTable{}.Add(1, u"\u65E5\u672C\u8A9E\u30D5\u30A9\u30F3\u30C8"))));
  FontInfo info;
  ASSERT_EQ(ReadSfnt(ViewOf(font), 0, info), 1);
  // 日本語フォント in Shift JIS.
  EXPECT_EQ(info.names[kNameFamily], "\x93\xFA\x96\x7B\x8C\xEA\x83\x74\x83\x48\x83\x93\x83\x67");
  EXPECT_EQ(info.names[kNameFull], info.names[kNameFamily]);
}

}  // namespace
