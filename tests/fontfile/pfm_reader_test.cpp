#include <gtest/gtest.h>

#include <string>

#include "fontfile/pfm_reader.h"
#include "font_builder.h"

namespace {

int ReadPfmBytes(const std::string& bytes, FontInfo& info) { return ReadPfm(ViewOf(bytes), info); }

TEST(Pfm, StoresHeaderFieldsAndThePostScriptName) {
  FontHeader header{.copyright = "Copyright Demo", .type = 0x0081, .italic = 0xFF, .weight = 600,
                    .face = "Demo Serif", .after_face = "DemoSerif-SemiboldItalic"};
  FontInfo info;
  ASSERT_EQ(ReadPfmBytes(BuildPfm(header), info), 1);
  EXPECT_EQ(info.type_name, "PostScript Type 1 (Vector)");
  EXPECT_FALSE(info.width_name);
  EXPECT_EQ(info.names[kNameCopyright], "Copyright Demo");
  EXPECT_EQ(info.names[kNameFamily], "Demo Serif");
  EXPECT_EQ(info.names[kNameFull], "Demo Serif");
  EXPECT_EQ(info.names[kNameStyle], "Semi-bold Italic");
  EXPECT_EQ(info.names[kNamePostScript], "DemoSerif-SemiboldItalic");
  EXPECT_FALSE(info.names[kNameDescription]);
  EXPECT_EQ(info.weight, 600u);
  EXPECT_EQ(info.italic, 0xFF);

  FontInfo raster;
  ASSERT_EQ(ReadPfmBytes(BuildPfm({.type = 0x0080}), raster), 1);
  EXPECT_EQ(raster.type_name, "PostScript Type 1 (Raster)");
}

TEST(Pfm, SizeAndVersionAreAllThatIsTested) {
  // 117 bytes whose face offset points at a zero inside: read.
  std::string minimal(117, '\0');
  SetU16LE(minimal, 0, 0x0100);
  SetU32LE(minimal, kFontHeaderFaceOffsetField, 100);
  FontInfo info;
  ASSERT_EQ(ReadPfmBytes(minimal, info), 1);
  EXPECT_EQ(info.names[kNameFamily], "");
  EXPECT_EQ(info.names[kNameStyle], "Unknown");
  EXPECT_EQ(info.names[kNameCopyright], "");
  EXPECT_EQ(ReadPfmBytes(minimal.substr(0, 116), info), 0);

  for (uint16_t version : {0x0000, 0x0200, 0x0300, 0x0001}) {
    FontInfo other;
    EXPECT_EQ(ReadPfmBytes(BuildPfm({}, version), other), 0) << std::hex << version;
    EXPECT_FALSE(other.type_name);
  }
}

TEST(Pfm, CopyrightOfSixtyBytesWithoutZero) {
  FontInfo info;
  ASSERT_EQ(ReadPfmBytes(BuildPfm({.copyright = std::string(60, 'x')}), info), 1);
  EXPECT_EQ(info.names[kNameCopyright], std::string(60, 'x'));
}

TEST(PfmHostile, FaceAndPostScriptNameAtTheEnd) {
  // The header alone, face offset at the end: both texts empty.
  std::string header_only = BuildPfm({}).substr(0, kFontHeaderFixedSize);
  FontInfo info;
  ASSERT_EQ(ReadPfmBytes(header_only, info), 1);
  EXPECT_EQ(info.names[kNameFamily], "");
  EXPECT_EQ(info.names[kNamePostScript], "");

  // A face without its zero: no PostScript name follows.
  std::string unterminated = header_only + "Demo";
  ASSERT_EQ(ReadPfmBytes(unterminated, info), 1);
  EXPECT_EQ(info.names[kNameFamily], "Demo");
  EXPECT_EQ(info.names[kNamePostScript], "");

  for (uint32_t face : {118u, 0xFFFFu, 0xFFFFFFFFu}) {
    std::string bytes = header_only;
    SetU32LE(bytes, kFontHeaderFaceOffsetField, face);
    FontInfo failed;
    EXPECT_EQ(ReadPfmBytes(bytes, failed), 0) << face;
    EXPECT_EQ(failed.type_name, "PostScript Type 1 (Raster)");  // stored before the face
    EXPECT_FALSE(failed.names[kNameFamily]);
  }
}

}  // namespace
