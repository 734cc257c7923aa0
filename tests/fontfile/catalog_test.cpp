#include <gtest/gtest.h>

#include <string>

#include "fontfile/catalog.h"

namespace {

TEST(Catalog, TablesKeepTheirRowCountsAndOddRows) {
  ASSERT_EQ(UnicodeBlockTable.size(), 264u);
  EXPECT_EQ(CharsetTable.size(), 19u);
  EXPECT_EQ(Os2VersionNames.size(), 4u);
  EXPECT_EQ(WeightNames.size(), 9u);
  EXPECT_EQ(WidthNames.size(), 9u);

  EXPECT_STREQ(UnicodeBlockTable[0].name, "ANSI");
  EXPECT_EQ(UnicodeBlockTable[0].bit, -1);
  EXPECT_EQ(UnicodeBlockTable[1].last, 0x007E);
  EXPECT_EQ(UnicodeBlockTable[86].last, 0x9FAF);
  EXPECT_STREQ(UnicodeBlockTable[65].name, "Miscelaneous Mathematical Symbols-A");
  EXPECT_STREQ(UnicodeBlockTable[89].name, "Hangul Syllabels");
  EXPECT_STREQ(UnicodeBlockTable[100].name, "Specials");
  // After "ANSI" the blocks ascend without overlapping.
  for (size_t i = 2; i < UnicodeBlockTable.size(); ++i) {
    EXPECT_GT(UnicodeBlockTable[i].first, UnicodeBlockTable[i - 1].last) << "row " << i;
    EXPECT_LE(UnicodeBlockTable[i].first, UnicodeBlockTable[i].last) << "row " << i;
  }
  int without_bit = 0;
  for (const UnicodeBlockRow& row : UnicodeBlockTable) without_bit += row.bit == -2;
  EXPECT_EQ(without_bit, 16 + 163);
  // The planes beyond the first follow, from the Unicode 15.0 block list.
  EXPECT_STREQ(UnicodeBlockTable[101].name, "Linear B Syllabary");
  EXPECT_EQ(UnicodeBlockTable[101].first, 0x10000u);
  int cjk_b = -1;
  for (size_t i = 101; i < UnicodeBlockTable.size(); ++i)
    if (std::string(UnicodeBlockTable[i].name) == "CJK Unified Ideographs Extension B") cjk_b = int(i);
  ASSERT_GE(cjk_b, 0);
  EXPECT_EQ(UnicodeBlockTable[cjk_b].last - UnicodeBlockTable[cjk_b].first + 1, 42720u);
  EXPECT_STREQ(UnicodeBlockTable[263].name, "Supplementary Private Use Area-B");
  EXPECT_EQ(UnicodeBlockTable[263].last, 0x10FFFFu);

  EXPECT_STREQ(CharsetTable[0].name, "Default");
  EXPECT_EQ(CharsetTable[0].value, 1);
  EXPECT_EQ(CharsetTable[12].value, 222);  // "Thai" before "Hebrew"
  EXPECT_EQ(CharsetTable[13].value, 177);
  EXPECT_STREQ(CharsetTable[18].name, "OEM");
}

TEST(Catalog, LookupNameAnswersUnknownWhenNoRowMatches) {
  EXPECT_STREQ(LookupName(WeightNames, 400), "Regular");
  EXPECT_STREQ(LookupName(WeightNames, 900), "Black");
  for (int weight : {0, 350, 1000, -400}) EXPECT_STREQ(LookupName(WeightNames, weight), "Unknown");
  EXPECT_STREQ(LookupName(Os2VersionNames, 3), "OpenType 1.4");
  EXPECT_STREQ(LookupName(Os2VersionNames, 4), "Unknown");
  EXPECT_STREQ(LookupName(Os2VersionNames, 5), "Unknown");
  EXPECT_STREQ(LookupName(WidthNames, 5), "Normal");
  EXPECT_STREQ(LookupName(WidthNames, 0), "Unknown");
  EXPECT_STREQ(LookupName(WidthNames, 10), "Unknown");
  EXPECT_STREQ(LookupName({}, 0), "Unknown");
  EXPECT_STREQ(LookupName(CharsetTable, 128), "Shift JIS");
}

TEST(Catalog, BlockSupportFollowsTheRangeBits) {
  const uint32_t none[4] = {0, 0, 0, 0};
  const uint32_t latin[4] = {1, 0, 0, 0};
  const uint32_t syriac[4] = {0, 0, 0x80, 0};
  const uint32_t all[4] = {~0u, ~0u, ~0u, ~0u};
  EXPECT_TRUE(IsBlockSupported(none, -1));
  EXPECT_TRUE(IsBlockSupported(latin, 0));
  EXPECT_FALSE(IsBlockSupported(none, 0));
  EXPECT_TRUE(IsBlockSupported(syriac, 71));
  EXPECT_FALSE(IsBlockSupported(syriac, 70));
  EXPECT_TRUE(IsBlockSupported(all, 127));
  EXPECT_FALSE(IsBlockSupported(all, -2));
  EXPECT_FALSE(IsBlockSupported(all, 128));

  // Bit 59 stands for five blocks, all listed together.
  const uint32_t cjk[4] = {0, 1u << (59 - 32), 0, 0};
  std::string listed;
  for (size_t row = 0; row < UnicodeBlockTable.size(); ++row)
    if (UnicodeBlockTable[row].bit >= 0 && IsBlockSupported(cjk, UnicodeBlockTable[row].bit))
      listed += std::to_string(row) + " ";
  EXPECT_EQ(listed, "71 72 73 84 86 ");
}

}  // namespace
