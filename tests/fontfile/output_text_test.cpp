#include <gtest/gtest.h>

#include <string>

#include "tools/orvane_info/output_text.h"

namespace {

TEST(OrvaneInfoOutput, JsonStringEscapesEveryControlByte) {
  EXPECT_EQ(JsonString("plain"), "\"plain\"");
  EXPECT_EQ(JsonString("a\"b\\c/"), "\"a\\\"b\\\\c/\"");
  EXPECT_EQ(JsonString(std::string("\0\x01\n\t\x1F\x7F", 6)), "\"\\u0000\\u0001\\u000a\\u0009\\u001f\x7F\"");
  EXPECT_EQ(JsonString("Grie\xC3\x9F"), "\"Grie\xC3\x9F\"");
  // Escapes first, last and side by side, between runs copied whole.
  EXPECT_EQ(JsonString(""), "\"\"");
  EXPECT_EQ(JsonString("\"ab\\\\\n"), "\"\\\"ab\\\\\\\\\\u000a\"");
}

TEST(OrvaneInfoOutput, PathsBecomeValidUtf8) {
#ifdef _WIN32
  EXPECT_EQ(PathToUtf8("C:\\Fonts\\Caf\xE9.ttf"), "C:\\Fonts\\Caf\xC3\xA9.ttf");
#else
  EXPECT_EQ(PathToUtf8("/fonts/Caf\xC3\xA9.ttf"), "/fonts/Caf\xC3\xA9.ttf");
  EXPECT_EQ(PathToUtf8("/fonts/Caf\xE9.ttf"), "/fonts/Caf\xEF\xBF\xBD.ttf");
  EXPECT_EQ(PathToUtf8("\xED\xA0\x80|\xF0\x9F\x98\x80|\xC0\xAF"),
            "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|\xF0\x9F\x98\x80|\xEF\xBF\xBD\xEF\xBF\xBD");
#endif
}

TEST(OrvaneInfoOutput, ListingRowsLineUp) {
  EXPECT_EQ(ListingRow("type", "Raster"), "  type                  Raster\n");
  EXPECT_EQ(ListingRow("a label longer than the column", "x"), "  a label longer than the column x\n");
}

TEST(OrvaneInfoOutput, OneLineKeepsTheFirstLineAndMarksWhatIsCut) {
  const std::string mark = "\xE2\x80\xA6";
  EXPECT_EQ(OneLine("DejaVu Sans", 11), "DejaVu Sans");
  EXPECT_EQ(OneLine("Copyright (c) 2003\r\nCopyright (c) 2006", 40), "Copyright (c) 2003" + mark);
  EXPECT_EQ(OneLine("trailing line end\n", 40), "trailing line end");
  EXPECT_EQ(OneLine("abcdefgh", 5), "abcd" + mark);
  // Counted in characters, cut between sequences: five two-byte letters.
  EXPECT_EQ(OneLine("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 5), "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
  EXPECT_EQ(OneLine("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 4), "\xC3\xA9\xC3\xA9\xC3\xA9" + mark);
  EXPECT_EQ(OneLine("\nsecond", 10), mark);
}

}  // namespace
