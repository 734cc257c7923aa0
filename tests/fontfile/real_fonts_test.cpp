// End-to-end reads of fonts that Debian packages install (fonts-dejavu-core,
// fonts-noto-cjk, fonts-wine) and of a PFM that FontForge writes at test time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fontfile/char_map.h"
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
  EXPECT_EQ(info.names[kNameFamily], "DejaVu Sans");
  EXPECT_EQ(info.names[kNameStyle], "Book");
  EXPECT_EQ(info.names[kNameFull], "DejaVu Sans");
  EXPECT_EQ(info.names[kNamePostScript], "DejaVuSans");
  ASSERT_TRUE(info.names[kNameCopyright]);
  EXPECT_EQ(info.names[kNameCopyright]->rfind("Copyright (c) 2003 by Bitstream", 0), 0u);
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
  EXPECT_EQ(info.names[kNameFamily], "Noto Serif CJK JP");
  EXPECT_TRUE(SfntTablesInsideFile(view));

  FontInfo whole;
  ASSERT_EQ(ReadFontFile(path.c_str(), whole), 1);
  EXPECT_EQ(whole.type_name, "OpenType 1.4");
  EXPECT_EQ(whole.weight, 700u);
  EXPECT_EQ(whole.names[kNameStyle], "Bold");
  EXPECT_EQ(whole.names[kNameFull], "Noto Serif CJK JP Bold");
  EXPECT_EQ(whole.names[kNamePostScript], "NotoSerifCJKjp-Bold");
  // The designer's name mixes Latin with Japanese that the code page lacks.
  ASSERT_TRUE(whole.names[kNameDesigner]);
  EXPECT_NE(whole.names[kNameDesigner]->find("Frank Grie\xDFhammer"), std::string::npos);
  EXPECT_NE(whole.names[kNameDesigner]->find("????"), std::string::npos);
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
    EXPECT_EQ(info.names[kNameFamily], c.face) << c.file;
    EXPECT_EQ(info.names[kNameFull], c.face) << c.file;
    EXPECT_TRUE(info.weight >= 100 && info.weight <= 900) << c.file << " " << info.weight;
    ASSERT_TRUE(info.names[kNameDescription]) << c.file;
    if (c.description) {
      EXPECT_EQ(info.names[kNameDescription], c.description);
    }
    EXPECT_EQ(info.names[kNameDescription]->find(':'), std::string::npos) << *info.names[kNameDescription];
    EXPECT_FALSE(info.width_name) << c.file;
  }
}

// The counts agree with what fontconfig's fc-query lists for the same files
// (which leaves out U+0000 and, for symbol fonts, adds the 8-bit aliases).
TEST(RealFonts, CharacterCoverage) {
  FontInfo info;
  ASSERT_EQ(ReadFontFile(HostPath("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf").c_str(), info), 1);
  EXPECT_EQ(info.coverage.kind, CoverageKind::kUnicode);
  EXPECT_EQ(info.coverage.count, 5918u);
  EXPECT_EQ(CountCodePoints(info.coverage, 0, 0xFFFF), 5370u);
  EXPECT_TRUE(HasCodePoint(info.coverage, 0x1D538));  // mathematical double-struck capital A
  EXPECT_FALSE(HasCodePoint(info.coverage, 0x1D400));
  EXPECT_FALSE(HasCodePoint(info.coverage, 0x4E00));

  ASSERT_EQ(ReadFontFile(HostPath("/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc").c_str(), info), 1);
  EXPECT_EQ(info.coverage.count, 44746u);
  EXPECT_EQ(CountCodePoints(info.coverage, 0x4E00, 0x9FFF), 20971u);
  EXPECT_TRUE(HasCodePoint(info.coverage, 0x20B9F));  // a CJK Extension B ideograph

  // Every face as orvane-info reads it (counts only, the file's maps cached) and
  // as the viewer does; the face list's names are the full read's.
  MappedFile cjk;
  ASSERT_TRUE(MapFileReadOnly(HostPath("/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc").c_str(), cjk));
  const std::vector<FaceName> listed = ReadCollectionFaceNames(ByteView{cjk.data, cjk.size});
  ASSERT_EQ(listed.size(), 5u);
  CharMapCache cache;
  for (uint32_t face = 0; face < 5; ++face) {
    FontInfo full, counted;
    ASSERT_EQ(ReadFontBytes(cjk.data, cjk.size, full, face), 1);
    ASSERT_EQ(ReadFontBytes(cjk.data, cjk.size, counted, face, {MapDetail::kCounts, &cache}), 1);
    EXPECT_EQ(counted.coverage.count, full.coverage.count) << face;
    EXPECT_EQ(counted.coverage.bmp_count, CountCodePoints(full.coverage, 0, 0xFFFF)) << face;
    EXPECT_TRUE(listed[face].readable);
    EXPECT_EQ(listed[face].name, full.names[kNameFull].value_or("")) << face;
  }

  ASSERT_EQ(ReadFontFile(HostPath("/usr/share/wine/fonts/marlett.ttf").c_str(), info), 1);
  EXPECT_EQ(info.coverage.kind, CoverageKind::kSymbol);
  EXPECT_EQ(info.coverage.count, 35u);
  EXPECT_EQ(CountCodePoints(info.coverage, 0xF000, 0xF0FF), 35u);

  ASSERT_EQ(ReadFontFile(HostPath("/usr/share/wine/fonts/sserife.fon").c_str(), info), 1);
  EXPECT_EQ(info.coverage.kind, CoverageKind::kBytes);
  EXPECT_EQ(info.coverage.first_byte, 0x20);
  EXPECT_EQ(info.coverage.last_byte, 0xFF);
  EXPECT_EQ(info.coverage.count, 224u);
  EXPECT_TRUE(HasCodePoint(info.coverage, 0x20AC));
}

TEST(RealFonts, PfmWrittenByFontForge) {
  std::string path = HostPath(ORVANE_TEST_PFM);
  ASSERT_TRUE(FileExists(path)) << path << " (made by the orvane_make_test_pfm fixture)";
  FontInfo info;
  ASSERT_EQ(ReadFontFile(path.c_str(), info), 1);
  EXPECT_EQ(info.type_name, "PostScript Type 1 (Vector)");
  EXPECT_EQ(info.names[kNameFamily], "LMRoman10");
  EXPECT_EQ(info.names[kNameFull], "LMRoman10");
  EXPECT_EQ(info.names[kNameStyle], "Regular");
  EXPECT_EQ(info.weight, 400u);
  // Latin Modern's copyright fills the 60-byte field without a zero.
  ASSERT_TRUE(info.names[kNameCopyright]);
  EXPECT_EQ(info.names[kNameCopyright]->size(), 60u);
  EXPECT_EQ(info.names[kNameCopyright]->rfind("Copyright 2003", 0), 0u);
  EXPECT_TRUE(info.names[kNamePostScript]);

  char pair[600] = {};
  std::string pfm_name = "Fonts\\lmr10.pfm";
  pfm_name.copy(pair, pfm_name.size());
  MakeFontResourcePath(pair, sizeof pair);
  EXPECT_STREQ(pair, "Fonts\\lmr10.pfm|Fonts\\lmr10.pfb");
}

}  // namespace
