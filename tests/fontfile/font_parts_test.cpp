// A font read in parts for its thumbnail finds what the whole file's read finds,
// from no more of the file than it needs; or declines, and the file is read whole.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fontfile/font_info.h"
#include "fontfile/font_parts.h"
#include "fontfile/table_directory.h"
#include "font_builder.h"
#include "support/test_paths.h"

#ifndef ORVANE_TEST_PFM
#define ORVANE_TEST_PFM ""
#endif
#ifndef ORVANE_TEST_WEB_FONTS
#define ORVANE_TEST_WEB_FONTS ""
#endif

namespace {

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

ByteView PartView(const std::string& bytes) {
  return ByteView{reinterpret_cast<const uint8_t*>(bytes.data()),
                  static_cast<uint32_t>(bytes.size())};
}

// A file in memory read as the plug-in reads one from disk, each part copied
// out; counts what was asked for, and refuses a part past the file's end.
struct CountingReader {
  const std::string& file;
  std::vector<std::string> parts;
  uint64_t bytes = 0;
  int past_end = 0;

  ReadFilePart Reader() {
    return [this](uint32_t offset, uint32_t size) -> std::optional<ByteView> {
      if (offset > file.size() || size > file.size() - offset) {
        ++past_end;
        return std::nullopt;
      }
      bytes += size;
      parts.push_back(file.substr(offset, size));
      return PartView(parts.back());
    };
  }
};

enum class Way { kParts, kWhole, kDeclined };

// Only what the thumbnail draws from is compared: the rest of a read in parts
// (the other names, the type texts) is not read.
void ExpectSameSample(const FontFileCheck& got, const FontInfo& info,
                      const FontFileCheck& want, const FontInfo& whole) {
  EXPECT_EQ(got.recognized, want.recognized);
  EXPECT_EQ(got.sound, want.sound);
  const ByteView got_decoded = got.decoded(), want_decoded = want.decoded();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(got_decoded.data), got_decoded.size),
            std::string(reinterpret_cast<const char*>(want_decoded.data), want_decoded.size));
  EXPECT_EQ(info.face, whole.face);
  EXPECT_EQ(info.weight, whole.weight);
  EXPECT_EQ(info.italic, whole.italic);
  EXPECT_EQ(info.names[kNameFull], whole.names[kNameFull]);
  EXPECT_EQ(info.names[kNameFamily], whole.names[kNameFamily]);
  const CharCoverage &a = info.coverage, &b = whole.coverage;
  EXPECT_EQ(a.kind, b.kind);
  EXPECT_EQ(a.count, b.count);
  EXPECT_EQ(a.first_byte, b.first_byte);
  EXPECT_EQ(a.last_byte, b.last_byte);
  ASSERT_EQ(a.ranges.size(), b.ranges.size());
  for (size_t i = 0; i < a.ranges.size(); ++i) {
    EXPECT_EQ(a.ranges[i].first, b.ranges[i].first);
    EXPECT_EQ(a.ranges[i].last, b.ranges[i].last);
  }
  EXPECT_EQ(a.glyph_runs.size(), b.glyph_runs.size());
}

TEST(ReadSampleFont, FindsWhatTheWholeFileReadFindsOfEachKindOfFont) {
  const std::string dir = ScratchDir("font_parts");
  const std::string dejavu = FileBytes(HostPath("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
  ASSERT_GT(dejavu.size(), 2 * kFontHeadSize);
  // A collection whose first face does not read, made larger than the head.
  NameTable mac_only;
  mac_only.records.push_back({4, "Mac", 1, 0, 0});
  const SfntFont broken = SfntFont{}.Add("OS/2", Os2Table()).Add("name", BuildNameTable(mac_only));
  const std::string broken_first =
      BuildCollection({broken, PlainSfnt()}) + std::string(kFontHeadSize, '\0');
  const std::string web = HostPath(ORVANE_TEST_WEB_FONTS);
  struct Case {
    std::string name;
    std::string bytes;
    Way way;
  } cases[] = {
      {"TrueType", dejavu, Way::kParts},
      {"TrueType, bytes after its tables", dejavu + std::string(100000, 'x'), Way::kParts},
      {"TrueType cut short", dejavu.substr(0, 300000), Way::kDeclined},
      {"OpenType (CFF)",
       FileBytes(HostPath("/usr/share/texmf/fonts/opentype/public/lm/lmroman10-regular.otf")),
       Way::kParts},
      {"collection", FileBytes(HostPath("/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc")),
       Way::kParts},
      {"collection whose first face does not read", broken_first, Way::kDeclined},
      {"small collection", BuildCollection({broken, PlainSfnt()}), Way::kWhole},
      {"symbol font", FileBytes(HostPath("/usr/share/wine/fonts/marlett.ttf")), Way::kWhole},
      {"bitmap font (FON)", FileBytes(HostPath("/usr/share/wine/fonts/sserife.fon")), Way::kWhole},
      {"PFM", FileBytes(HostPath(ORVANE_TEST_PFM)), Way::kWhole},
      {"WOFF", FileBytes(HostPath("/usr/share/fonts/woff/dejavu/DejaVuSans.woff")), Way::kWhole},
      {"WOFF2", FileBytes(HostPath("/usr/share/fonts/woff2/dejavu/DejaVuSans.woff2")), Way::kWhole},
      {"WOFF2 collection", FileBytes(web + "/dejavu-faces.woff2"), Way::kWhole},
      {"colour font", FileBytes(HostPath("/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf")),
       Way::kDeclined},
      {"no font", "not a font at all", Way::kWhole},
      {"no font, larger than the head", std::string(kFontHeadSize + 1, 'x'), Way::kDeclined},
      {"empty", "", Way::kDeclined},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir + "/sample.bin";
    std::ofstream(path, std::ios::binary) << c.bytes;
    FontInfo whole;
    const FontFileCheck want =
        ReadAndCheckFontFile(path.c_str(), whole, 0, FaceFallback::kFirstReadable);

    CountingReader reader{c.bytes, {}};
    FontInfo info;
    const std::optional<FontFileCheck> got =
        ReadSampleFont(static_cast<uint32_t>(c.bytes.size()), reader.Reader(), info);
    EXPECT_EQ(reader.past_end, 0);
    ASSERT_EQ(got.has_value(), c.way != Way::kDeclined);
    if (!got) continue;
    ExpectSameSample(*got, info, want, whole);
    // Read in parts: the head and a few tables, a small share of the file.
    if (c.way == Way::kParts) {
      EXPECT_LT(reader.bytes, kFontHeadSize + c.bytes.size() / 3) << reader.bytes;
      EXPECT_LE(reader.parts.size(), 3u);  // the head, and tables side by side read at once
    } else {
      EXPECT_EQ(reader.bytes, c.bytes.size() > kFontHeadSize && want.decoded().size != 0
                                  ? kFontHeadSize + c.bytes.size()
                                  : c.bytes.size());
    }
  }
}

// The check from the head alone answers as the check of the whole file, or not at all.
TEST(SfntTablesInsideFile, FromTheHeadAloneAgreesWithTheWholeFileOrDeclines) {
  const std::string cjk = FileBytes(HostPath("/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc"));
  const std::string dejavu = FileBytes(HostPath("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
  std::string long_table = dejavu;
  SetU32BE(long_table, DirectoryOffsetField(3) + 4, 0x7FFFFFFFu);  // a table's length
  const struct {
    const char* name;
    std::string file;
    bool inside;
  } cases[] = {
      {"collection", cjk, true},
      {"collection cut short", cjk.substr(0, 200000), false},
      {"font", dejavu, true},
      {"font with a table past its end", long_table, false},
      {"no sfnt", std::string(100000, 'x'), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const uint32_t size = static_cast<uint32_t>(c.file.size());
    ASSERT_EQ(SfntTablesInsideFile(PartView(c.file)), c.inside);
    for (uint32_t head : {0u, 12u, 100u, 1000u, kFontHeadSize, size}) {
      const std::optional<bool> inside =
          SfntTablesInsideFile(ByteView{PartView(c.file).data, std::min(head, size)}, size);
      if (inside) {
        EXPECT_EQ(*inside, c.inside) << head;
      }
      // Every directory of these files lies in the head the thumbnail reads.
      if (head >= kFontHeadSize) {
        EXPECT_TRUE(inside.has_value()) << head;
      }
    }
  }
}

}  // namespace
