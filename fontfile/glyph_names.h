// Every glyph's name, by index: from the post table's list (formats 1.0 and
// 2.0), else from the CFF charset (a CID-keyed font's glyphs are named by CID,
// "cid00042"), else made from the index ("gid42").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fontfile/byte_reader.h"

struct GlyphNames {
  uint32_t glyph_count = 0;
  // The names read from the font, each distinct one once, '\0' after each: the
  // text is never longer than the tables it came from.
  std::string text;
  // Per glyph read from post, then from the charset: kNoName, a standard name
  // (kStandard | its index in the Macintosh or CFF list), or the offset of its
  // name in `text`. A CID-keyed font's charset entries are the CIDs themselves.
  std::vector<uint32_t> post, charset;
  bool cid_keyed = false;
  // A table was cut short or pointed outside itself: what could be read is kept
  // and the other glyphs are named by index.
  bool post_damaged = false, cff_damaged = false;
};

constexpr uint32_t kNoName = UINT32_MAX;
constexpr uint32_t kStandardName = 0x80000000u;

// `post` and `cff` are the face's tables (empty views for tables it lacks);
// `glyph_count` is maxp's. The work and the memory are bounded by the tables'
// sizes and the glyph count: each name is copied once however many glyphs share
// it, and no glyph beyond the count is named.
GlyphNames ReadGlyphNames(ByteView post, ByteView cff, uint32_t glyph_count);

// The name of `glyph` (any index below the count), with bytes outside printable
// ASCII shown as '?'.
std::string GlyphName(const GlyphNames& names, uint32_t glyph);

// Where `glyph`'s name comes from.
enum class GlyphNameSource : uint8_t { kIndex, kPost, kCharset, kCid };
GlyphNameSource NameSource(const GlyphNames& names, uint32_t glyph);

// The glyph a text names: "gid" and an index ("gid 123", "gid123"), or a
// glyph's name (the first glyph of that name). Nothing for neither.
std::optional<uint32_t> FindGlyph(const GlyphNames& names, std::string_view text);
