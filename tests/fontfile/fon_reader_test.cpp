#include <gtest/gtest.h>

#include <string>

#include "fontfile/fon_reader.h"
#include "fontfile/font_header.h"
#include "font_builder.h"

namespace {

int ReadFonBytes(const std::string& bytes, FontInfo& info) { return ReadFon(ViewOf(bytes), info); }

TEST(Fon, ReadsTheFirstFontResource) {
  FonFile fon;
  fon.fonts = {
      {.copyright = "Copyright Demo One", .weight = 700, .face = "Demo One"},
      {.copyright = "Copyright Demo Two", .weight = 400, .face = "Demo Two"},
      {.copyright = "Copyright Demo Three", .weight = 100, .face = "Demo Three"},
  };
  FontInfo info;
  ASSERT_EQ(ReadFonBytes(BuildFon(fon), info), 1);
  EXPECT_EQ(info.type_name, "Raster");
  EXPECT_FALSE(info.width_name);
  EXPECT_EQ(info.names[kNameCopyright], "Copyright Demo One");
  EXPECT_EQ(info.names[kNameFamily], "Demo One");
  EXPECT_EQ(info.names[kNameFull], "Demo One");
  EXPECT_EQ(info.names[kNameStyle], "Bold");
  EXPECT_EQ(info.names[kNameDescription], "Demo 10");
  EXPECT_EQ(info.weight, 700u);
  EXPECT_FALSE(info.names[kNamePostScript]);
}

TEST(Fon, DescriptionIsCutAfterTheColonAndItsBlanks) {
  using namespace std::string_literals;
  struct Case {
    std::string description;
    const char* stored;
  } cases[] = {
      {"RES 96,96 :   Demo", "Demo"},
      {"FONTRES 100,96,96 : Demo Sans 8,10 (VGA)", "Demo Sans 8,10 (VGA)"},
      {"Demo without colon", "Demo without colon"},
      {"RES 96,96 :", ""},
      {"RES:\tDemo", "\tDemo"},
      {"a:b:c", "b:c"},
      {"", ""},
      // A zero ends the text, before the colon is looked for.
      {"RES : Demo\0junk"s, "Demo"},
      {"Demo\0: junk"s, "Demo"},
      {"\0RES : Demo"s, ""},
  };
  for (const Case& c : cases) {
    FonFile fon;
    fon.description = c.description;
    FontInfo info;
    EXPECT_EQ(ReadFonBytes(BuildFon(fon), info), 1) << c.description;
    EXPECT_EQ(info.names[kNameDescription], c.stored) << c.description;
  }
}

TEST(Fon, TypeStyleBytesAndStyleText) {
  struct Case {
    FontHeader header;
    const char* type;
    const char* style;
  } cases[] = {
      {{.type = 0x0001, .italic = 1, .weight = 400}, "Vector", "Regular Italic"},
      {{.type = 0x0000, .weight = 0}, "Raster", "Unknown"},
      {{.underline = 1, .strike_out = 1, .weight = 700}, "Raster", "Bold Underlined Strike-out"},
      {{.italic = 0xFF, .underline = 0xFF, .strike_out = 0xFF, .weight = 200},
       "Raster",
       "Extra-light Italic Underlined Strike-out"},
  };
  for (const Case& c : cases) {
    FonFile fon;
    fon.fonts = {c.header};
    FontInfo info;
    ASSERT_EQ(ReadFonBytes(BuildFon(fon), info), 1);
    EXPECT_EQ(info.type_name, c.type);
    EXPECT_EQ(info.names[kNameStyle], c.style);
    EXPECT_EQ(info.italic, c.header.italic);  // stored as they lie, 0xFF included
    EXPECT_EQ(info.underline, c.header.underline);
    EXPECT_EQ(info.strike_out, c.header.strike_out);
  }
  EXPECT_EQ(MakeStyleText(200, 1, 1, 1).size(), 40u);
}

TEST(Fon, CopyrightFillingAllSixtyBytes) {
  FonFile fon;
  fon.fonts[0].copyright = std::string(60, 'C');
  FontInfo info;
  ASSERT_EQ(ReadFonBytes(BuildFon(fon), info), 1);
  EXPECT_EQ(info.names[kNameCopyright], std::string(60, 'C'));
}

TEST(Fon, HeaderVersions) {
  for (uint16_t version : {0x0100, 0x0200, 0x0300}) {
    FonFile fon;
    fon.fonts[0].version = version;
    FontInfo info;
    EXPECT_EQ(ReadFonBytes(BuildFon(fon), info), 1) << std::hex << version;
  }
  for (uint16_t version : {0x0000, 0x0400, 0x0201}) {
    FonFile fon;
    fon.fonts[0].version = version;
    FontInfo info;
    EXPECT_EQ(ReadFonBytes(BuildFon(fon), info), 0) << std::hex << version;
    EXPECT_EQ(info.names[kNameDescription], "Demo 10");  // the description stays
    EXPECT_FALSE(info.names[kNameFamily]);
  }
}

TEST(Fon, ResourceTableShapes) {
  FontInfo info;
  FonFile no_directory;
  no_directory.font_directory = false;
  EXPECT_EQ(ReadFonBytes(BuildFon(no_directory), info), 0);

  FonFile no_fonts_counted;
  no_fonts_counted.directory_font_count = 0;
  EXPECT_EQ(ReadFonBytes(BuildFon(no_fonts_counted), info), 0);

  FonFile no_font_resources;
  no_font_resources.fonts.clear();
  EXPECT_EQ(ReadFonBytes(BuildFon(no_font_resources), info), 0);

  // A directory entry listing no resources.
  FonLayout layout;
  std::string bytes = BuildFon(FonFile{}, &layout);
  SetU16LE(bytes, layout.directory_entry + 2, 0);
  EXPECT_EQ(ReadFonBytes(bytes, info), 0);

  // Type ids without the numbered-type bit count alike.
  bytes = BuildFon(FonFile{}, &layout);
  SetU16LE(bytes, layout.directory_entry, 7);
  SetU16LE(bytes, layout.font_entry, 8);
  EXPECT_EQ(ReadFonBytes(bytes, info), 1);
}

TEST(Fon, AlignmentShiftCounts) {
  for (uint16_t shift : {0, 1, 9}) {
    FonFile fon;
    fon.shift = shift;
    FontInfo info;
    EXPECT_EQ(ReadFonBytes(BuildFon(fon), info), 1) << shift;
    EXPECT_EQ(info.names[kNameFamily], "Demo") << shift;
  }
  // Counts of 32 or more, or shifts that push the offset past 32 bits.
  FonLayout layout;
  const std::string plain = BuildFon(FonFile{}, &layout);
  for (uint16_t shift : {31, 32, 33, 0xFFFF}) {
    std::string bytes = plain;
    SetU16LE(bytes, layout.resource_table, shift);
    FontInfo info;
    EXPECT_EQ(ReadFonBytes(bytes, info), 0) << shift;
  }
}

TEST(Fon, NotAFon) {
  FontInfo info;
  std::string small = BuildFon(FonFile{}).substr(0, 127);
  EXPECT_EQ(ReadFonBytes(small, info), 0);

  // A 32-bit executable: "MZ", then a "PE" header.
  std::string pe = BuildFon(FonFile{});
  pe[0x80] = 'P';
  EXPECT_EQ(ReadFonBytes(pe, info), 0);
  std::string no_mz = BuildFon(FonFile{});
  no_mz[0] = 'Z';
  EXPECT_EQ(ReadFonBytes(no_mz, info), 0);
}

TEST(FonHostile, OffsetsPointingOutsideTheFile) {
  FonLayout at;
  const std::string plain = BuildFon(FonFile{}, &at);
  const uint32_t size = static_cast<uint32_t>(plain.size());
  struct Patch {
    const char* where;
    size_t position;
    bool wide;
    bool keeps_description;
  };
  const Patch patches[] = {
      {"NE header offset", kFonNeOffsetField, true, false},
      {"non-resident names offset", at.ne + kNeNonResidentNamesField, true, false},
      {"resource table offset", at.ne + kNeResourceTableField, false, true},
      {"directory data offset", at.directory_entry + 8, false, true},
      {"font data offset", at.font_entry + 8, false, true},
      {"font resource count", at.font_entry + 2, false, true},
      {"face name offset", at.font_data[0] + kFontHeaderFaceOffsetField, true, true},
  };
  for (const Patch& patch : patches) {
    for (uint32_t value : {size + 1, 0xFFFFu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
      std::string bytes = plain;
      if (patch.wide) SetU32LE(bytes, patch.position, value);
      else SetU16LE(bytes, patch.position, static_cast<uint16_t>(value));
      FontInfo info;
      EXPECT_EQ(ReadFonBytes(bytes, info), 0) << patch.where << " = " << value;
      EXPECT_EQ(info.names[kNameDescription].has_value(), patch.keeps_description) << patch.where;
    }
  }
  // A description length running past the end.
  std::string bytes = plain.substr(0, at.names + 10);
  FontInfo info;
  EXPECT_EQ(ReadFonBytes(bytes, info), 0);
}

TEST(FonHostile, FaceAtTheEndKeepsTheTypeAndEndsThere) {
  FonLayout at;
  std::string bytes = BuildFon(FonFile{}, &at);
  // The face running to the end of the file ends there; one starting at the end is empty.
  std::string cut = bytes.substr(0, at.font_data[0] + kFontHeaderFixedSize + 2);
  FontInfo info;
  ASSERT_EQ(ReadFonBytes(cut, info), 1);
  EXPECT_EQ(info.names[kNameFamily], "De");
  SetU32LE(bytes, at.font_data[0] + kFontHeaderFaceOffsetField,
           static_cast<uint32_t>(bytes.size()) - at.font_data[0]);
  ASSERT_EQ(ReadFonBytes(bytes, info), 1);
  EXPECT_EQ(info.names[kNameFamily], "");
  // One byte further fails, keeping the type already stored.
  SetU32LE(bytes, at.font_data[0] + kFontHeaderFaceOffsetField,
           static_cast<uint32_t>(bytes.size()) - at.font_data[0] + 1);
  FontInfo failed;
  EXPECT_EQ(ReadFonBytes(bytes, failed), 0);
  EXPECT_EQ(failed.type_name, "Raster");
  EXPECT_FALSE(failed.names[kNameFamily]);
}

TEST(FonHostile, EveryTruncationBeforeTheFaceIsRejected) {
  FonLayout at;
  const std::string plain = BuildFon(FonFile{}, &at);
  for (size_t length = 0; length < plain.size(); ++length) {
    FontInfo info;
    int result = ReadFonBytes(plain.substr(0, length), info);
    if (length < at.font_data[0] + kFontHeaderFixedSize) ASSERT_EQ(result, 0) << length;
    else ASSERT_EQ(result, 1) << length;
  }
}

}  // namespace
