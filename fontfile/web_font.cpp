#include "fontfile/web_font.h"

#include <brotli/decode.h>
#include <woff2/decode.h>
#include <woff2/output.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>

#include "fontfile/sfnt_writer.h"
#include "fontfile/table_directory.h"

namespace {

constexpr uint32_t kWoff1HeaderSize = 44;
constexpr uint32_t kWoff1EntrySize = 20;
constexpr uint32_t kWoff2HeaderSize = 48;
constexpr uint32_t kCollectionFlavor = 0x74746366;  // 'ttcf'

constexpr uint32_t Tag(const char (&tag)[5]) {
  return uint32_t{uint8_t(tag[0])} << 24 | uint32_t{uint8_t(tag[1])} << 16 |
         uint32_t{uint8_t(tag[2])} << 8 | uint32_t{uint8_t(tag[3])};
}

constexpr uint64_t Pad4(uint64_t value) { return (value + 3) & ~uint64_t{3}; }

bool Refuse(WebFontFacts& facts, WebFontProblem problem) {
  facts.problem = problem;
  return false;
}

// The header fields both containers have. WOFF 2.0 adds totalCompressedSize
// after totalSfntSize, which moves every later field by four bytes.
struct Header {
  uint32_t flavor = 0, length = 0, total_sfnt_size = 0, compressed_length = 0;
  uint16_t table_count = 0, reserved = 0;
  uint32_t meta_offset = 0, meta_length = 0, meta_orig_length = 0;
  uint32_t private_offset = 0, private_length = 0;
};

// False when the file ends inside the header.
bool ReadHeader(ByteView file, WebFontKind kind, Header& h, WebFontFacts& facts) {
  const uint32_t later = kind == WebFontKind::kWoff2 ? 4 : 0;
  if (!InBounds(file, 0, kind == WebFontKind::kWoff2 ? kWoff2HeaderSize : kWoff1HeaderSize))
    return false;
  return ReadU32BE(file, 0, 4, h.flavor) && ReadU32BE(file, 0, 8, h.length) &&
         ReadU16BE(file, 0, 12, h.table_count) && ReadU16BE(file, 0, 14, h.reserved) &&
         ReadU32BE(file, 0, 16, h.total_sfnt_size) &&
         (kind != WebFontKind::kWoff2 || ReadU32BE(file, 0, 20, h.compressed_length)) &&
         ReadU16BE(file, later, 20, facts.major_version) &&
         ReadU16BE(file, later, 22, facts.minor_version) &&
         ReadU32BE(file, later, 24, h.meta_offset) && ReadU32BE(file, later, 28, h.meta_length) &&
         ReadU32BE(file, later, 32, h.meta_orig_length) &&
         ReadU32BE(file, later, 36, h.private_offset) &&
         ReadU32BE(file, later, 40, h.private_length);
}

// What both containers require of their headers.
bool CheckHeader(ByteView file, const Header& h, WebFontFacts& facts) {
  facts.flavor = h.flavor;
  facts.metadata_size = h.meta_offset ? h.meta_length : 0;
  facts.private_size = h.private_offset ? h.private_length : 0;
  if (h.length > file.size) return Refuse(facts, WebFontProblem::kTruncated);
  if (h.length != file.size) return Refuse(facts, WebFontProblem::kLengthMismatch);
  if (h.reserved != 0 || h.table_count == 0) return Refuse(facts, WebFontProblem::kBadHeader);
  if (h.total_sfnt_size > kMaxDecodedSize) return Refuse(facts, WebFontProblem::kTooLarge);
  return true;
}

// ---- The sfnt written for WOFF 1.0 -------------------------------------------

// A stretch of the file a block claims.
struct BlockSpan {
  uint32_t offset = 0, length = 0;
};

// Every span in the file and none over another (empty ones lie nowhere).
bool SpansApart(ByteView file, std::vector<BlockSpan> spans) {
  for (const BlockSpan& span : spans)
    if (!InBounds(file, span.offset, span.length)) return false;
  std::erase_if(spans, [](const BlockSpan& span) { return span.length == 0; });
  std::sort(spans.begin(), spans.end(),
            [](const BlockSpan& a, const BlockSpan& b) { return a.offset < b.offset; });
  for (size_t i = 1; i < spans.size(); ++i)
    if (spans[i].offset - spans[i - 1].offset < spans[i - 1].length) return false;
  return true;
}

struct Woff1Table {
  uint32_t tag = 0, offset = 0, compressed = 0, length = 0, checksum = 0;
};

// zlib's answer for one table that must inflate to exactly `expected` bytes.
WebFontProblem Inflate(ByteView source, uint8_t* out, uint32_t expected) {
  uLongf produced = expected;
  switch (uncompress(out, &produced, source.data, source.size)) {
    case Z_OK:
      return produced == expected ? WebFontProblem::kNone : WebFontProblem::kLengthMismatch;
    case Z_BUF_ERROR:  // more than the table's declared length
      return WebFontProblem::kLengthMismatch;
    case Z_MEM_ERROR:
      return WebFontProblem::kOutOfMemory;
    default:
      return WebFontProblem::kCorrupt;
  }
}

void ReadWoff1Metadata(ByteView file, const Header& h, WebFontFacts& facts) {
  if (!h.meta_offset || !h.meta_length || h.meta_orig_length > kMaxMetadataSize) return;
  const std::optional<ByteView> block = SubView(file, h.meta_offset, h.meta_length);
  if (!block) return;
  std::string text(h.meta_orig_length, '\0');
  uLongf produced = h.meta_orig_length;
  if (uncompress(reinterpret_cast<Bytef*>(text.data()), &produced, block->data, block->size) ==
          Z_OK &&
      produced == h.meta_orig_length)
    facts.metadata = std::move(text);
}

bool DecodeWoff1(ByteView file, const Header& h, std::vector<uint8_t>& sfnt,
                 WebFontFacts& facts) {
  const uint32_t count = h.table_count;
  const uint32_t directory_end = kWoff1HeaderSize + kWoff1EntrySize * count;
  if (!InBounds(file, 0, directory_end)) return Refuse(facts, WebFontProblem::kTruncated);
  std::vector<Woff1Table> tables(count);
  std::vector<BlockSpan> spans = {{0, directory_end}};
  uint64_t total = kOffsetTableSize + uint64_t{kTableRecordSize} * count;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t entry = kWoff1HeaderSize + kWoff1EntrySize * i;
    Woff1Table& t = tables[i];
    if (!ReadU32BE(file, entry, 0, t.tag) || !ReadU32BE(file, entry, 4, t.offset) ||
        !ReadU32BE(file, entry, 8, t.compressed) || !ReadU32BE(file, entry, 12, t.length) ||
        !ReadU32BE(file, entry, 16, t.checksum))
      return Refuse(facts, WebFontProblem::kTruncated);
    total += Pad4(t.length);
    if (total > kMaxDecodedSize) return Refuse(facts, WebFontProblem::kTooLarge);
    // A table is stored as it is or smaller, never larger.
    if (t.compressed > t.length) return Refuse(facts, WebFontProblem::kLengthMismatch);
    if (t.offset % 4 != 0) return Refuse(facts, WebFontProblem::kBadHeader);
    spans.push_back({t.offset, t.compressed});
  }
  std::vector<uint32_t> tags(count);
  std::transform(tables.begin(), tables.end(), tags.begin(),
                 [](const Woff1Table& t) { return t.tag; });
  std::sort(tags.begin(), tags.end());
  if (std::adjacent_find(tags.begin(), tags.end()) != tags.end())
    return Refuse(facts, WebFontProblem::kBadHeader);
  // The header states the size of the font it holds, padding and all.
  if (h.total_sfnt_size != total) return Refuse(facts, WebFontProblem::kLengthMismatch);
  // The same bound on the ratio as WOFF2's: a few kilobytes of zlib data must not
  // claim megabytes.
  if (total > uint64_t{kMaxCompressionRatio} * file.size)
    return Refuse(facts, WebFontProblem::kTooLarge);
  if ((h.meta_offset % 4) != 0 || (h.private_offset % 4) != 0)
    return Refuse(facts, WebFontProblem::kBadHeader);
  if (h.meta_offset) spans.push_back({h.meta_offset, h.meta_length});
  if (h.private_offset) spans.push_back({h.private_offset, h.private_length});
  if (!SpansApart(file, std::move(spans))) return Refuse(facts, WebFontProblem::kOverlap);

  sfnt.assign(static_cast<size_t>(total), 0);
  PutOffsetTable(sfnt, h.flavor, static_cast<uint16_t>(count));
  uint32_t at = kOffsetTableSize + kTableRecordSize * count;
  for (uint32_t i = 0; i < count; ++i) {
    const Woff1Table& t = tables[i];
    const size_t record = kOffsetTableSize + size_t{kTableRecordSize} * i;
    PutU32(sfnt, record, t.tag);
    PutU32(sfnt, record + 4, t.checksum);
    PutU32(sfnt, record + 8, at);
    PutU32(sfnt, record + 12, t.length);
    const std::optional<ByteView> data = SubView(file, t.offset, t.compressed);
    if (!data) return Refuse(facts, WebFontProblem::kOverlap);
    if (t.compressed == t.length) {
      if (t.length) std::memcpy(sfnt.data() + at, data->data, t.length);
    } else if (const WebFontProblem problem = Inflate(*data, sfnt.data() + at, t.length);
               problem != WebFontProblem::kNone) {
      return Refuse(facts, problem);
    }
    at += static_cast<uint32_t>(Pad4(t.length));
  }
  ReadWoff1Metadata(file, h, facts);
  return true;
}

// ---- WOFF 2.0 ------------------------------------------------------------------

// The tags a directory entry names by number (flags 0-62); 63 is followed by the tag.
constexpr std::array<uint32_t, 63> kKnownTags = {
    Tag("cmap"), Tag("head"), Tag("hhea"), Tag("hmtx"), Tag("maxp"), Tag("name"), Tag("OS/2"),
    Tag("post"), Tag("cvt "), Tag("fpgm"), Tag("glyf"), Tag("loca"), Tag("prep"), Tag("CFF "),
    Tag("VORG"), Tag("EBDT"), Tag("EBLC"), Tag("gasp"), Tag("hdmx"), Tag("kern"), Tag("LTSH"),
    Tag("PCLT"), Tag("VDMX"), Tag("vhea"), Tag("vmtx"), Tag("BASE"), Tag("GDEF"), Tag("GPOS"),
    Tag("GSUB"), Tag("EBSC"), Tag("JSTF"), Tag("MATH"), Tag("CBDT"), Tag("CBLC"), Tag("COLR"),
    Tag("CPAL"), Tag("SVG "), Tag("sbix"), Tag("acnt"), Tag("avar"), Tag("bdat"), Tag("bloc"),
    Tag("bsln"), Tag("cvar"), Tag("fdsc"), Tag("feat"), Tag("fmtx"), Tag("fvar"), Tag("gvar"),
    Tag("hsty"), Tag("just"), Tag("lcar"), Tag("mort"), Tag("morx"), Tag("opbd"), Tag("prop"),
    Tag("trak"), Tag("Zapf"), Tag("Silf"), Tag("Glat"), Tag("Gloc"), Tag("Feat"), Tag("Sill")};

// A read of the directory that left the file, or a field that breaks its rules.
enum class FieldRead { kRead, kLeftFile, kInvalid };

// UIntBase128: at most five bytes, no leading zeros, no more than 32 bits.
FieldRead ReadBase128(ByteView file, uint32_t& at, uint32_t& out) {
  out = 0;
  for (int i = 0; i < 5; ++i) {
    uint8_t byte = 0;
    if (!ReadU8(file, at, 0, byte)) return FieldRead::kLeftFile;
    ++at;
    if (i == 0 && byte == 0x80) return FieldRead::kInvalid;
    if (out & 0xFE000000) return FieldRead::kInvalid;
    out = out << 7 | (byte & 0x7F);
    if (!(byte & 0x80)) return FieldRead::kRead;
  }
  return FieldRead::kInvalid;
}

// 255UInt16: one byte, or a code byte and one or two more.
FieldRead Read255UInt16(ByteView file, uint32_t& at, uint32_t& out) {
  uint8_t code = 0;
  if (!ReadU8(file, at, 0, code)) return FieldRead::kLeftFile;
  ++at;
  if (code == 253) {
    uint16_t word = 0;
    if (!ReadU16BE(file, at, 0, word)) return FieldRead::kLeftFile;
    at += 2;
    out = word;
    return FieldRead::kRead;
  }
  if (code == 254 || code == 255) {
    uint8_t byte = 0;
    if (!ReadU8(file, at, 0, byte)) return FieldRead::kLeftFile;
    ++at;
    out = byte + (code == 255 ? 253u : 506u);
    return FieldRead::kRead;
  }
  out = code;
  return FieldRead::kRead;
}

bool RefuseRead(WebFontFacts& facts, FieldRead read) {
  return Refuse(facts, read == FieldRead::kLeftFile ? WebFontProblem::kTruncated
                                                    : WebFontProblem::kBadHeader);
}

struct Woff2Table {
  uint32_t tag = 0;
  uint8_t version = 0;  // the transform version of the flags byte
  uint32_t length = 0;         // origLength: the table as the font holds it
  uint32_t stream_length = 0;  // its bytes in the decompressed stream
};

// The transform versions: glyf and loca are transformed by version 0 and kept
// by version 3; hmtx may take version 1; every other table only version 0.
bool VersionAllowed(uint32_t tag, uint8_t version) {
  if (tag == Tag("glyf") || tag == Tag("loca")) return version == 0 || version == 3;
  if (tag == Tag("hmtx")) return version <= 1;
  return version == 0;
}

// Streams the brotli data in `source` into `out`, which it must fill exactly.
WebFontProblem Unbrotli(ByteView source, uint8_t* out, size_t expected) {
  std::unique_ptr<BrotliDecoderState, decltype(&BrotliDecoderDestroyInstance)> state(
      BrotliDecoderCreateInstance(nullptr, nullptr, nullptr), &BrotliDecoderDestroyInstance);
  if (!state) return WebFontProblem::kOutOfMemory;
  size_t in_left = source.size, out_left = expected;
  const uint8_t* in = source.data;
  uint8_t* next = out;
  switch (BrotliDecoderDecompressStream(state.get(), &in_left, &in, &out_left, &next, nullptr)) {
    case BROTLI_DECODER_RESULT_SUCCESS:
      return out_left == 0 ? WebFontProblem::kNone : WebFontProblem::kLengthMismatch;
    case BROTLI_DECODER_RESULT_NEEDS_MORE_OUTPUT:
      return WebFontProblem::kLengthMismatch;
    case BROTLI_DECODER_RESULT_NEEDS_MORE_INPUT:
      return WebFontProblem::kTruncated;
    default:
      return WebFontProblem::kCorrupt;
  }
}

// The decoder's output, held to the decoded-size limit.
class SfntOut final : public woff2::WOFF2Out {
 public:
  explicit SfntOut(std::vector<uint8_t>& bytes) : bytes_(bytes) { bytes_.clear(); }
  bool Write(const void* buf, size_t n) override { return Write(buf, size_, n); }
  bool Write(const void* buf, size_t offset, size_t n) override {
    if (offset > kMaxDecodedSize || n > kMaxDecodedSize - offset) {
      too_large_ = true;
      return false;
    }
    if (offset + n > bytes_.size()) bytes_.resize(offset + n);
    if (n) std::memcpy(bytes_.data() + offset, buf, n);
    size_ = std::max(size_, offset + n);
    return true;
  }
  size_t Size() override { return size_; }
  bool too_large() const { return too_large_; }

 private:
  std::vector<uint8_t>& bytes_;
  size_t size_ = 0;
  bool too_large_ = false;
};

void ReadWoff2Metadata(ByteView file, const Header& h, WebFontFacts& facts) {
  if (!h.meta_offset || !h.meta_length || h.meta_orig_length > kMaxMetadataSize) return;
  const std::optional<ByteView> block = SubView(file, h.meta_offset, h.meta_length);
  if (!block) return;
  std::string text(h.meta_orig_length, '\0');
  if (Unbrotli(*block, reinterpret_cast<uint8_t*>(text.data()), text.size()) ==
      WebFontProblem::kNone)
    facts.metadata = std::move(text);
}

bool DecodeWoff2(ByteView file, const Header& h, std::vector<uint8_t>& sfnt,
                 WebFontFacts& facts) {
  const bool collection = h.flavor == kCollectionFlavor;
  std::vector<Woff2Table> tables(h.table_count);
  uint32_t at = kWoff2HeaderSize;
  uint64_t stream = 0, decoded = kOffsetTableSize + uint64_t{kTableRecordSize} * h.table_count;
  int glyf_transformed = -1, loca_transformed = -1;
  for (Woff2Table& t : tables) {
    uint8_t flags = 0;
    if (!ReadU8(file, at, 0, flags)) return Refuse(facts, WebFontProblem::kTruncated);
    ++at;
    if ((flags & 0x3F) == 0x3F) {
      if (!ReadU32BE(file, at, 0, t.tag)) return Refuse(facts, WebFontProblem::kTruncated);
      at += 4;
    } else {
      t.tag = kKnownTags[flags & 0x3F];
    }
    t.version = flags >> 6;
    if (!VersionAllowed(t.tag, t.version)) return Refuse(facts, WebFontProblem::kBadTransform);
    const bool glyph_table = t.tag == Tag("glyf") || t.tag == Tag("loca");
    const bool transformed = glyph_table ? t.version == 0 : t.version != 0;
    if (FieldRead read = ReadBase128(file, at, t.length); read != FieldRead::kRead)
      return RefuseRead(facts, read);
    t.stream_length = t.length;
    if (transformed)
      if (FieldRead read = ReadBase128(file, at, t.stream_length); read != FieldRead::kRead)
        return RefuseRead(facts, read);
    // A transformed loca is rebuilt from glyf: it has no bytes of its own.
    if (t.tag == Tag("loca") && transformed && t.stream_length != 0)
      return Refuse(facts, WebFontProblem::kBadTransform);
    if (t.tag == Tag("glyf")) glyf_transformed = transformed;
    if (t.tag == Tag("loca")) loca_transformed = transformed;
    stream += t.stream_length;
    decoded += Pad4(t.length);
    if (stream > kMaxDecodedSize || decoded > kMaxDecodedSize)
      return Refuse(facts, WebFontProblem::kTooLarge);
  }
  // glyf and loca come and are transformed together (in a collection, per font).
  if (!collection && glyf_transformed != loca_transformed)
    return Refuse(facts, WebFontProblem::kBadTransform);
  if (!collection) {
    std::vector<uint32_t> tags(tables.size());
    std::transform(tables.begin(), tables.end(), tags.begin(),
                   [](const Woff2Table& t) { return t.tag; });
    std::sort(tags.begin(), tags.end());
    if (std::adjacent_find(tags.begin(), tags.end()) != tags.end())
      return Refuse(facts, WebFontProblem::kBadHeader);
  }
  if (stream > uint64_t{kMaxCompressionRatio} * file.size)
    return Refuse(facts, WebFontProblem::kTooLarge);

  if (collection) {
    uint32_t version = 0, font_count = 0;
    if (!ReadU32BE(file, at, 0, version)) return Refuse(facts, WebFontProblem::kTruncated);
    at += 4;
    if (version != 0x00010000 && version != 0x00020000)
      return Refuse(facts, WebFontProblem::kBadHeader);
    if (FieldRead read = Read255UInt16(file, at, font_count); read != FieldRead::kRead)
      return RefuseRead(facts, read);
    if (font_count == 0) return Refuse(facts, WebFontProblem::kBadHeader);
    decoded += 12 + uint64_t{4} * font_count;
    for (uint32_t font = 0; font < font_count; ++font) {
      uint32_t count = 0, flavor = 0;
      if (FieldRead read = Read255UInt16(file, at, count); read != FieldRead::kRead)
        return RefuseRead(facts, read);
      if (!ReadU32BE(file, at, 0, flavor)) return Refuse(facts, WebFontProblem::kTruncated);
      at += 4;
      if (count == 0) return Refuse(facts, WebFontProblem::kBadHeader);
      decoded += kOffsetTableSize + uint64_t{kTableRecordSize} * count;
      for (uint32_t i = 0; i < count; ++i) {
        uint32_t index = 0;
        if (FieldRead read = Read255UInt16(file, at, index); read != FieldRead::kRead)
          return RefuseRead(facts, read);
        if (index >= tables.size()) return Refuse(facts, WebFontProblem::kBadHeader);
      }
      if (decoded > kMaxDecodedSize) return Refuse(facts, WebFontProblem::kTooLarge);
    }
  }

  // The compressed stream, then the metadata and the private block, each on a
  // four-byte boundary after what comes before it, and nothing after them.
  const std::optional<ByteView> compressed = SubView(file, at, h.compressed_length);
  if (!compressed) return Refuse(facts, WebFontProblem::kTruncated);
  uint64_t end = Pad4(uint64_t{at} + h.compressed_length);
  for (const BlockSpan block : {BlockSpan{h.meta_offset, h.meta_length},
                           BlockSpan{h.private_offset, h.private_length}}) {
    if (!block.offset) continue;
    if (block.offset != end || !InBounds(file, block.offset, block.length))
      return Refuse(facts, WebFontProblem::kOverlap);
    end = Pad4(uint64_t{block.offset} + block.length);
  }
  if (end != Pad4(file.size)) return Refuse(facts, WebFontProblem::kLengthMismatch);

  SfntOut out(sfnt);
  sfnt.reserve(static_cast<size_t>(std::min<uint64_t>(decoded, kMaxDecodedSize)));
  if (!woff2::ConvertWOFF2ToTTF(file.data, file.size, &out)) {
    sfnt.clear();
    if (out.too_large()) return Refuse(facts, WebFontProblem::kTooLarge);
    // The decoder says only that it failed: the stream on its own tells whether
    // the compressed data or the tables rebuilt from it were at fault.
    std::vector<uint8_t> tables_data(static_cast<size_t>(stream));
    const WebFontProblem problem = Unbrotli(*compressed, tables_data.data(), tables_data.size());
    return Refuse(facts, problem != WebFontProblem::kNone ? problem : WebFontProblem::kBadTransform);
  }
  sfnt.resize(out.Size());
  ReadWoff2Metadata(file, h, facts);
  return true;
}

}  // namespace

WebFontKind RecognizeWebFont(ByteView file) {
  if (ReadTagIs(file, 0, 0, "wOFF")) return WebFontKind::kWoff1;
  if (ReadTagIs(file, 0, 0, "wOF2")) return WebFontKind::kWoff2;
  return WebFontKind::kNone;
}

bool DecodeWebFont(ByteView file, std::vector<uint8_t>& sfnt, WebFontFacts& facts) {
  facts = WebFontFacts{};
  sfnt.clear();
  facts.kind = RecognizeWebFont(file);
  facts.compressed_size = file.size;
  if (facts.kind == WebFontKind::kNone) return Refuse(facts, WebFontProblem::kBadHeader);
  Header h;
  if (!ReadHeader(file, facts.kind, h, facts)) return Refuse(facts, WebFontProblem::kTruncated);
  if (!CheckHeader(file, h, facts)) return false;
  try {
    const bool decoded = facts.kind == WebFontKind::kWoff1 ? DecodeWoff1(file, h, sfnt, facts)
                                                           : DecodeWoff2(file, h, sfnt, facts);
    if (!decoded) {
      sfnt.clear();
      sfnt.shrink_to_fit();
      return false;
    }
  } catch (const std::bad_alloc&) {
    sfnt.clear();
    sfnt.shrink_to_fit();
    return Refuse(facts, WebFontProblem::kOutOfMemory);
  }
  facts.decoded_size = static_cast<uint32_t>(sfnt.size());
  return true;
}
