// Glyph names from post and CFF tables built byte by byte: the order of the
// sources, names shared by many glyphs, tables cut short, counts at their maximum.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font_builder.h"
#include "fontfile/glyph_names.h"

namespace {

std::string Post(uint32_t version, const std::vector<uint16_t>& numbers = {},
                 const std::vector<std::string>& strings = {}) {
  std::string out;
  PutU32BE(out, version);
  out.resize(32, '\0');
  if (version != 0x00020000) return out;
  PutU16BE(out, static_cast<uint16_t>(numbers.size()));
  for (uint16_t number : numbers) PutU16BE(out, number);
  for (const std::string& s : strings) out += static_cast<char>(s.size()) + s;
  return out;
}

std::string CffIndex(const std::vector<std::string>& items) {
  std::string out;
  PutU16BE(out, static_cast<uint16_t>(items.size()));
  if (items.empty()) return out;
  out += '\x04';
  uint32_t offset = 1;
  PutU32BE(out, offset);
  for (const std::string& item : items) PutU32BE(out, offset += static_cast<uint32_t>(item.size()));
  for (const std::string& item : items) out += item;
  return out;
}

// A CFF table: one font whose Top DICT gives the charset's offset (and ROS when
// CID-keyed), its own strings, then the charset.
std::string Cff(const std::string& charset, const std::vector<std::string>& strings = {},
                bool cid = false) {
  const std::string names = CffIndex({"X"}), string_index = CffIndex(strings);
  const std::string ros = cid ? std::string("\x8b\x8b\x8b\x0c\x1e", 5) : "";
  const uint32_t top_size = static_cast<uint32_t>(CffIndex({std::string(6, ' ') + ros}).size());
  std::string top = ros + '\x1d';
  PutU32BE(top, static_cast<uint32_t>(4 + names.size() + top_size + string_index.size()));
  top += '\x0f';
  return std::string("\x01\x00\x04\x04", 4) + names + CffIndex({top}) + string_index + charset;
}

std::string Charset(uint8_t format, const std::vector<uint16_t>& fields) {
  std::string out(1, static_cast<char>(format));
  for (size_t i = 0; i < fields.size(); ++i) {
    if (format == 1 && i % 2 == 1) out += static_cast<char>(fields[i]);
    else PutU16BE(out, fields[i]);
  }
  return out;
}

std::vector<std::string> Names(const GlyphNames& names) {
  std::vector<std::string> out;
  for (uint32_t glyph = 0; glyph < names.glyph_count; ++glyph) out.push_back(GlyphName(names, glyph));
  return out;
}

using List = std::vector<std::string>;

TEST(GlyphNames, PostThenCharsetThenIndex) {
  const std::string post2 = Post(0x00020000, {0, 258, 259, 3, 258, 600}, {"alpha", "b\xE9ta"});
  const std::string charset = Charset(0, {391, 392, 1, 5, 6, 7});
  struct {
    const char* what;
    std::string post, cff;
    uint32_t glyphs;
    List names;
    bool post_damaged, cff_damaged;
  } cases[] = {
      {"post 2.0: shared and standard names, a number past the strings, glyphs past the list",
       post2, "", 8, {".notdef", "alpha", "b?ta", "space", "alpha", "gid5", "gid6", "gid7"}, true, false},
      {"post 2.0 cut after two numbers", post2.substr(0, 38), "", 3, {".notdef", "gid1", "gid2"}, true, false},
      {"post 1.0 names the first 258", Post(0x00010000), "", 3, {".notdef", ".null", "nonmarkingreturn"},
       false, false},
      {"post 3.0 and no CFF", Post(0x00030000), "", 2, {"gid0", "gid1"}, false, false},
      {"CFF charset, format 0: own and standard strings", Post(0x00030000),
       Cff(charset, {"ffi.alt", "zz"}), 4, {".notdef", "ffi.alt", "zz", "space"}, false, false},
      {"post 2.0 before the charset, which names what post leaves", Post(0x00020000, {0, 3}),
       Cff(charset, {"ffi.alt", "zz"}), 4, {".notdef", "space", "zz", "space"}, false, false},
      {"CID-keyed, format 1", "", Cff(Charset(1, {42, 1}), {}, true), 4, {".notdef", "cid00042", "cid00043", "gid3"},
       false, true},
      {"a string id past the strings", "", Cff(Charset(0, {400})), 2, {".notdef", "gid1"}, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const GlyphNames names = ReadGlyphNames(ViewOf(c.post), ViewOf(c.cff), c.glyphs);
    EXPECT_EQ(Names(names), c.names);
    EXPECT_EQ(names.post_damaged, c.post_damaged);
    EXPECT_EQ(names.cff_damaged, c.cff_damaged);
  }
}

// Counts at their maximum: every glyph of a full font naming one long string
// copies it once; one charset range of 65,535 CIDs names every glyph in four
// bytes, and no glyph past the count.
TEST(GlyphNames, SharedNamesAndMaximalRangesStayBounded) {
  const std::string long_name(255, 'n');
  const GlyphNames shared = ReadGlyphNames(
      ViewOf(Post(0x00020000, std::vector<uint16_t>(kMaxGlyphCount, 258), {long_name})), {}, kMaxGlyphCount);
  EXPECT_EQ(shared.text.size(), long_name.size() + 1);
  EXPECT_EQ(GlyphName(shared, kMaxGlyphCount - 1), long_name);
  const GlyphNames cids = ReadGlyphNames({}, ViewOf(Cff(Charset(2, {0, 0xFFFF}), {}, true)), kMaxGlyphCount);
  EXPECT_FALSE(cids.cff_damaged);
  EXPECT_EQ(cids.charset.size(), kMaxGlyphCount);
  EXPECT_EQ(GlyphName(cids, kMaxGlyphCount - 1), "cid65533");
  EXPECT_EQ(GlyphName(cids, kMaxGlyphCount), "gid65535");  // past the count: no entry read
}

TEST(GlyphNames, FindByNameIndexOrCid) {
  const GlyphNames names =
      ReadGlyphNames(ViewOf(Post(0x00020000, {0, 258, 259}, {"f_f_i", "gid1"})), {}, 4);
  EXPECT_EQ(FindGlyph(names, "f_f_i"), 1u);
  EXPECT_EQ(FindGlyph(names, " gid 3 "), 3u);
  EXPECT_EQ(FindGlyph(names, "GID1"), 1u);  // the index, before glyph 2 of that name
  EXPECT_EQ(FindGlyph(names, "gid 4"), std::nullopt);
  EXPECT_EQ(FindGlyph(names, "f_f"), std::nullopt);
  const GlyphNames cids = ReadGlyphNames({}, ViewOf(Cff(Charset(2, {100, 5}), {}, true)), 6);
  EXPECT_EQ(FindGlyph(cids, "cid00103"), 4u);
  EXPECT_EQ(FindGlyph(cids, "cid 103"), 4u);
  EXPECT_EQ(FindGlyph(cids, "cid 99"), std::nullopt);
}

}  // namespace
