// End-to-end reads of fonts that Debian packages install (fonts-dejavu-core,
// fonts-noto-cjk, fonts-wine) and of a PFM that FontForge writes at test time.
#include <gtest/gtest.h>

#include <string>

#include "fontfile/table_directory.h"
#include "fontfile/fon_reader.h"
#include "fontfile/font_info.h"
#include "fontfile/sfnt_reader.h"
#include "platform/platform.h"
#include "support/test_paths.h"

#ifndef ORVANE_TEST_PFM
#define ORVANE_TEST_PFM ""
#endif

namespace {

TEST(RealFonts, DejaVuSans) {
  FontInfo info;
  ASSERT_EQ(ReadFontFile(HostPath("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf").c_str(), info), 1);
  EXPECT_EQ(info.type_name, "TrueType 1.66");
  EXPECT_EQ(info.width_name, "Normal");
  EXPECT_EQ(info.weight, 400u);
  EXPECT_EQ(info.italic + info.underline + info.strike_out, 0);
  EXPECT_EQ(info.names[1], "DejaVu Sans");
  EXPECT_EQ(info.names[2], "Book");
  EXPECT_EQ(info.names[4], "DejaVu Sans");
  EXPECT_EQ(info.names[6], "DejaVuSans");
  ASSERT_TRUE(info.names[0]);
  EXPECT_EQ(info.names[0]->rfind("Copyright (c) 2003 by Bitstream", 0), 0u);
  EXPECT_TRUE(IsFontFileSound(HostPath("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf").c_str()));
}

TEST(RealFonts, NotoSerifCjkCollectionShowsItsFirstFont) {
  std::string path = HostPath("/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc");
  MappedFile file;
  ASSERT_TRUE(MapFileReadOnly(path.c_str(), file));
  ByteView view{file.data, file.size};
  FontInfo info;
  EXPECT_EQ(ReadSfnt(view, 0, info), 0);
  EXPECT_EQ(ReadFon(view, info), 0);
  ASSERT_EQ(ReadCollection(view, info), 1);
  EXPECT_EQ(info.names[1], "Noto Serif CJK JP");
  EXPECT_TRUE(SfntTablesInsideFile(view));

  FontInfo whole;
  ASSERT_EQ(ReadFontFile(path.c_str(), whole), 1);
  EXPECT_EQ(whole.type_name, "OpenType 1.4");
  EXPECT_EQ(whole.weight, 700u);
  EXPECT_EQ(whole.names[2], "Bold");
  EXPECT_EQ(whole.names[4], "Noto Serif CJK JP Bold");
  EXPECT_EQ(whole.names[6], "NotoSerifCJKjp-Bold");
  // The designer's name mixes Latin with Japanese that the code page lacks.
  ASSERT_TRUE(whole.names[9]);
  EXPECT_NE(whole.names[9]->find("Frank Grie\xDFhammer"), std::string::npos);
  EXPECT_NE(whole.names[9]->find("????"), std::string::npos);
}

TEST(RealFonts, WineFonFiles) {
  struct Case {
    const char* file;
    const char* face;
    const char* description;
  } cases[] = {
      {"sserife.fon", "MS Sans Serif", "MS Sans Serif 8,10,12 (VGA res)"},
      {"coure.fon", "Courier", nullptr},
      {"smalle.fon", "Small Fonts", nullptr},
      {"svgasys.fon", "System", nullptr},
      {"jvgafix.fon", "FixedSys", nullptr},
  };
  for (const Case& c : cases) {
    FontInfo info;
    std::string path = HostPath(std::string("/usr/share/wine/fonts/") + c.file);
    ASSERT_EQ(ReadFontFile(path.c_str(), info), 1) << c.file;
    EXPECT_EQ(info.type_name, "Raster") << c.file;
    EXPECT_EQ(info.names[1], c.face) << c.file;
    EXPECT_EQ(info.names[4], c.face) << c.file;
    EXPECT_TRUE(info.weight >= 100 && info.weight <= 900) << c.file << " " << info.weight;
    ASSERT_TRUE(info.names[10]) << c.file;
    if (c.description) {
      EXPECT_EQ(info.names[10], c.description);
    }
    EXPECT_EQ(info.names[10]->find(':'), std::string::npos) << *info.names[10];
    EXPECT_FALSE(info.width_name) << c.file;
  }
}

TEST(RealFonts, PfmWrittenByFontForge) {
  std::string path = HostPath(ORVANE_TEST_PFM);
  ASSERT_TRUE(FileExists(path)) << path << " (made by the orvane_make_test_pfm fixture)";
  FontInfo info;
  ASSERT_EQ(ReadFontFile(path.c_str(), info), 1);
  EXPECT_EQ(info.type_name, "PostScript Type 1 (Vector)");
  EXPECT_EQ(info.names[1], "LMRoman10");
  EXPECT_EQ(info.names[4], "LMRoman10");
  EXPECT_EQ(info.names[2], "Regular");
  EXPECT_EQ(info.weight, 400u);
  // Latin Modern's copyright fills the 60-byte field without a zero.
  ASSERT_TRUE(info.names[0]);
  EXPECT_EQ(info.names[0]->size(), 60u);
  EXPECT_EQ(info.names[0]->rfind("Copyright 2003", 0), 0u);
  EXPECT_TRUE(info.names[6]);

  char pair[600] = {};
  std::string pfm_name = "Fonts\\lmr10.pfm";
  pfm_name.copy(pair, pfm_name.size());
  MakeFontResourcePath(pair, sizeof pair);
  EXPECT_STREQ(pair, "Fonts\\lmr10.pfm|Fonts\\lmr10.pfb");
}

}  // namespace
