// WOFF and WOFF2: DejaVu's real web fonts (fonts-dejavu-web), the collection and
// the fonts with extended metadata that make_web_fonts.py writes, and containers
// made byte by byte that lie about their sizes and fields. The malformed
// variants of real files are in the robustness suite's corpus.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fontfile/font_info.h"
#include "fontfile/web_font.h"
#include "support/test_paths.h"

namespace {

std::string ReadAll(const std::string& host_path) {
  std::ifstream in(host_path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ByteView ViewOf(const std::string& bytes) {
  return ByteView{reinterpret_cast<const uint8_t*>(bytes.data()),
                  static_cast<uint32_t>(bytes.size())};
}

std::string WebFontsDir() { return HostPath(ORVANE_TEST_WEB_FONTS); }

// The names of DejaVu's web fonts, without folder and extension.
std::vector<std::string> DejaVuWebFonts() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator(HostPath("/usr/share/fonts/woff/dejavu"), error))
    names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Every WOFF of fonts-dejavu-web reads as its WOFF2 does: the same names, style
// and characters, from decoded fonts the readers find sound.
TEST(WebFonts, EveryDejaVuWebFontReadsAlikeFromBothContainers) {
  ASSERT_EQ(MissingFont("/usr/share/fonts/woff2/dejavu/DejaVuSans.woff2"), "");
  const std::vector<std::string> names = DejaVuWebFonts();
  ASSERT_EQ(names.size(), 21u);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    FontInfo info[2];
    const char* const paths[2] = {"/usr/share/fonts/woff/dejavu/", "/usr/share/fonts/woff2/dejavu/"};
    const char* const extensions[2] = {".woff", ".woff2"};
    for (int kind = 0; kind < 2; ++kind) {
      const std::string path = HostPath(paths[kind] + name + extensions[kind]);
      FontFileCheck check = ReadAndCheckFontFile(path.c_str(), info[kind]);
      ASSERT_EQ(check.recognized, 1);
      EXPECT_TRUE(check.sound);
      const WebFontFacts& c = info[kind].container;
      EXPECT_EQ(c.kind, kind ? WebFontKind::kWoff2 : WebFontKind::kWoff1);
      EXPECT_EQ(c.problem, WebFontProblem::kNone);
      EXPECT_EQ(c.compressed_size, ReadAll(path).size());
      EXPECT_EQ(c.decoded_size, check.decoded().size);
      EXPECT_GT(c.decoded_size, c.compressed_size);
      EXPECT_EQ(c.flavor, 0x00010000u);
      EXPECT_TRUE(c.metadata.empty());
    }
    EXPECT_EQ(info[0].names, info[1].names);
    EXPECT_EQ(info[0].weight, info[1].weight);
    EXPECT_EQ(info[0].italic, info[1].italic);
    EXPECT_EQ(info[0].coverage.count, info[1].coverage.count);
    EXPECT_GT(info[1].coverage.count, 1000u);
    EXPECT_EQ(info[1].names[1]->rfind("DejaVu", 0), 0u);
  }
}

// The decoded font is the font: DejaVu Sans from its WOFF2 reads as the TTF of
// fonts-dejavu-core does.
TEST(WebFonts, DecodedDejaVuSansReadsAsItsTrueTypeFile) {
  FontInfo web, ttf;
  ASSERT_EQ(ReadFontFile(HostPath("/usr/share/fonts/woff2/dejavu/DejaVuSans.woff2").c_str(), web), 1);
  ASSERT_EQ(ReadFontFile(HostPath("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf").c_str(), ttf), 1);
  EXPECT_EQ(web.names, ttf.names);
  EXPECT_EQ(web.type_name, ttf.type_name);
  EXPECT_EQ(web.coverage.count, ttf.coverage.count);
  EXPECT_EQ(web.container.major_version, 1);
  EXPECT_EQ(ttf.container.kind, WebFontKind::kNone);
}

TEST(WebFonts, CollectionInWoff2HasEveryFace) {
  const std::string path = WebFontsDir() + "/dejavu-faces.woff2";
  const std::string families[] = {"DejaVu Sans Mono", "DejaVu Sans Mono", "DejaVu Serif"};
  const std::string styles[] = {"Book", "Bold", "Book"};
  for (uint32_t face = 0; face < 3; ++face) {
    FontInfo info;
    ASSERT_EQ(ReadFontFile(path.c_str(), info, face), 1) << face;
    EXPECT_EQ(info.face, face);
    EXPECT_EQ(info.face_count, 3u);
    EXPECT_EQ(info.names[1], families[face]);
    EXPECT_EQ(info.names[2], styles[face]);
    EXPECT_EQ(info.container.flavor, 0x74746366u);  // 'ttcf'
  }
  FontInfo past;
  EXPECT_EQ(ReadFontFile(path.c_str(), past, 3), 0);
  EXPECT_EQ(past.face_count, 3u);
  // The decoded collection is the collection woff2_compress was given.
  FontInfo plain;
  ASSERT_EQ(ReadFontFile((WebFontsDir() + "/dejavu-faces.ttc").c_str(), plain, 2), 1);
  FontInfo decoded;
  ReadFontFile(path.c_str(), decoded, 2);
  EXPECT_EQ(decoded.names, plain.names);
}

TEST(WebFonts, MetadataAndPrivateBlocksOfBothContainers) {
  // The version fields lie at 20 in a WOFF header, at 24 in a WOFF2 one.
  for (const auto& [name, version_at] : {std::pair{"/mono-metadata.woff", 20},
                                         std::pair{"/mono-metadata.woff2", 24}}) {
    SCOPED_TRACE(name);
    FontInfo info;
    const std::string path = WebFontsDir() + name;
    ASSERT_EQ(ReadFontFile(path.c_str(), info), 1);
    const std::string bytes = ReadAll(path);
    const auto u16 = [&bytes](int at) {
      return static_cast<uint8_t>(bytes[at]) << 8 | static_cast<uint8_t>(bytes[at + 1]);
    };
    const WebFontFacts& c = info.container;
    EXPECT_EQ(c.major_version, 2);
    EXPECT_EQ(c.major_version, u16(version_at));
    EXPECT_EQ(c.minor_version, u16(version_at + 2));
    EXPECT_EQ(c.private_size, 25u);
    EXPECT_GT(c.metadata_size, 0u);
    EXPECT_EQ(c.metadata.rfind("<?xml", 0), 0u) << c.metadata.substr(0, 40);
    EXPECT_NE(c.metadata.find("<unknownthing color=\"green\">"), std::string::npos);
    EXPECT_EQ(info.names[1], "DejaVu Sans Mono");
  }
}

// ---- Containers made byte by byte ------------------------------------------------

void PutU16(std::string& b, size_t at, uint32_t v) {
  b[at] = static_cast<char>(v >> 8);
  b[at + 1] = static_cast<char>(v);
}
void PutU32(std::string& b, size_t at, uint32_t v) {
  PutU16(b, at, v >> 16);
  PutU16(b, at + 2, v & 0xFFFF);
}

// A WOFF2 header for `directory` (the bytes after the header, the collection
// directory included) and a stream of `stream` bytes, which need not be brotli.
std::string Woff2(const std::string& directory, uint16_t tables, const std::string& stream,
                  uint32_t flavor = 0x00010000) {
  std::string b(48, '\0');
  b.replace(0, 4, "wOF2");
  PutU32(b, 4, flavor);
  PutU16(b, 12, tables);
  PutU32(b, 16, 1024);
  PutU32(b, 20, static_cast<uint32_t>(stream.size()));
  b += directory + stream;
  while (b.size() % 4) b += '\0';
  PutU32(b, 8, static_cast<uint32_t>(b.size()));
  return b;
}

WebFontProblem Refusal(const std::string& bytes) {
  std::vector<uint8_t> sfnt;
  WebFontFacts facts;
  EXPECT_FALSE(DecodeWebFont(ViewOf(bytes), sfnt, facts));
  EXPECT_TRUE(sfnt.empty());
  return facts.problem;
}

TEST(WebFonts, Woff2DirectoryLiesAreRefusedForTheirReason) {
  using P = WebFontProblem;
  const std::string stream(64, '\x1B');
  // flags 1 = head, untransformed; then origLength as UIntBase128.
  struct Case {
    const char* name;
    std::string bytes;
    P problem;
  } cases[] = {
      {"a stream claimed far beyond its file (a bomb)",
       Woff2(std::string("\x01\x97\xD7\x84\x00", 5), 1, stream), P::kTooLarge},  // 50,000,000
      {"a table of 2 GB", Woff2(std::string("\x01\x87\xFF\xFF\xFF\x7F", 6), 1, stream), P::kTooLarge},
      {"UIntBase128 with a leading zero", Woff2(std::string("\x01\x80\x10", 3), 1, stream),
       P::kBadHeader},
      {"UIntBase128 of six bytes", Woff2(std::string("\x01\x81\x81\x81\x81\x81\x01", 7), 1, stream),
       P::kBadHeader},
      {"UIntBase128 past 32 bits", Woff2(std::string("\x01\x90\x80\x80\x80\x00", 6), 1, stream),
       P::kBadHeader},
      {"a directory that ends in an arbitrary tag", Woff2(std::string("\x3F\x41\x42", 3), 1, ""),
       P::kTruncated},
      {"the same table twice", Woff2(std::string("\x01\x10\x01\x10", 4), 2, stream), P::kBadHeader},
      {"glyf transformed, loca kept",
       Woff2(std::string("\x0A\x10\x10\xCB\x10", 5), 2, stream), P::kBadTransform},
      {"transform version 2 of glyf", Woff2(std::string("\x8A\x10\x0B\x10\x00", 5), 2, stream),
       P::kBadTransform},
      {"hmtx transform version 2", Woff2(std::string("\x83\x10\x10", 3), 1, stream),
       P::kBadTransform},
      {"a collection of no fonts",
       Woff2(std::string("\x01\x10\x00\x01\x00\x00\x00", 7), 1, stream, 0x74746366), P::kBadHeader},
      {"a collection's table index out of range",
       Woff2(std::string("\x01\x10\x00\x01\x00\x00\x01\x01\x00\x01\x00\x00\x01", 13), 1, stream,
             0x74746366),
       P::kBadHeader},
      {"a collection of version 3",
       Woff2(std::string("\x01\x10\x00\x03\x00\x00\x01\x01\x00\x01\x00\x00\x00", 13), 1, stream,
             0x74746366),
       P::kBadHeader},
      {"a collection's directory cut short",
       Woff2(std::string("\x01\x10\x00\x01\x00\x00\x01\xFD", 8), 1, "", 0x74746366),
       P::kTruncated},
      {"a stream that is no brotli", Woff2(std::string("\x01\x10", 2), 1, std::string(16, '\xFF')),
       P::kCorrupt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(static_cast<int>(Refusal(c.bytes)), static_cast<int>(c.problem)) << c.name;
}

// A WOFF 1.0 file of one table, stored or compressed, made from `table`.
std::string Woff1(const std::string& table, bool compress) {
  std::string data = table;
  if (compress) {
    uLongf size = compressBound(table.size());
    data.assign(size, '\0');
    compress2(reinterpret_cast<Bytef*>(data.data()), &size,
              reinterpret_cast<const Bytef*>(table.data()), table.size(), 9);
    data.resize(size);
  }
  std::string b(44 + 20, '\0');
  b.replace(0, 4, "wOFF");
  PutU32(b, 4, 0x00010000);
  PutU16(b, 12, 1);
  PutU32(b, 16, 12 + 16 + ((static_cast<uint32_t>(table.size()) + 3) & ~3u));
  b.replace(44, 4, "test");
  PutU32(b, 48, 64);
  PutU32(b, 52, static_cast<uint32_t>(data.size()));
  PutU32(b, 56, static_cast<uint32_t>(table.size()));
  b += data;
  while (b.size() % 4) b += '\0';
  PutU32(b, 8, static_cast<uint32_t>(b.size()));
  return b;
}

// The sfnt written for a WOFF 1.0 file: its binary-search fields, its record,
// its table, stored or inflated, padded to four bytes.
TEST(WebFonts, Woff1TablesBecomeAnSfntWithItsSearchFields) {
  const std::string table = std::string(300, 'a') + "xyz";
  for (bool compress : {false, true}) {
    SCOPED_TRACE(compress ? "compressed" : "stored");
    const std::string file = Woff1(table, compress);
    std::vector<uint8_t> sfnt;
    WebFontFacts facts;
    ASSERT_TRUE(DecodeWebFont(ViewOf(file), sfnt, facts)) << static_cast<int>(facts.problem);
    ASSERT_EQ(sfnt.size(), 12u + 16 + 304);
    const std::string got(sfnt.begin(), sfnt.end());
    EXPECT_EQ(got.substr(0, 12), std::string("\0\1\0\0\0\1\0\x10\0\0\0\0", 12));
    EXPECT_EQ(got.substr(12, 4), "test");
    EXPECT_EQ(got.substr(20, 8), std::string("\0\0\0\x1C\0\0\x01\x2F", 8));
    EXPECT_EQ(got.substr(28, 303), table);
    EXPECT_EQ(got[331], '\0');
    EXPECT_EQ(facts.decoded_size, sfnt.size());
  }
  // A table that inflates to fewer bytes than it declares.
  std::string short_table = Woff1(table, true);
  PutU32(short_table, 56, 400);
  PutU32(short_table, 16, 12 + 16 + 400);
  EXPECT_EQ(static_cast<int>(Refusal(short_table)), static_cast<int>(WebFontProblem::kLengthMismatch));
  // A megabyte of zeros in a kilobyte: past the ratio WOFF2 is held to as well.
  EXPECT_EQ(static_cast<int>(Refusal(Woff1(std::string(1 << 20, '\0'), true))),
            static_cast<int>(WebFontProblem::kTooLarge));
  // Two tables over each other.
  std::string overlapping = Woff1(table, false);
  PutU16(overlapping, 12, 2);
  EXPECT_NE(static_cast<int>(Refusal(overlapping)), static_cast<int>(WebFontProblem::kNone));
}

}  // namespace
