#include "malformed_corpus.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

#include "hostile_fonts.h"
#include "support/test_paths.h"

namespace {

// ---- Bytes ----------------------------------------------------------------------
// The layouts are found with these plain reads, independent of the readers under
// test; a read outside the bytes gives 0.

uint32_t Get(const std::string& b, uint64_t at, int width, bool big_endian) {
  if (at + width > b.size()) return 0;
  uint32_t value = 0;
  for (int i = 0; i < width; ++i) {
    uint32_t byte = static_cast<uint8_t>(b[at + (big_endian ? i : width - 1 - i)]);
    value = value << 8 | byte;
  }
  return value;
}
uint32_t U16BE(const std::string& b, uint64_t at) { return Get(b, at, 2, true); }
uint32_t U32BE(const std::string& b, uint64_t at) { return Get(b, at, 4, true); }
uint32_t U16LE(const std::string& b, uint64_t at) { return Get(b, at, 2, false); }
uint32_t U32LE(const std::string& b, uint64_t at) { return Get(b, at, 4, false); }
uint32_t U8(const std::string& b, uint64_t at) { return Get(b, at, 1, false); }

std::string Set(std::string b, uint64_t at, int width, bool big_endian, uint32_t value) {
  if (at + width > b.size()) return b;
  for (int i = 0; i < width; ++i) {
    int shift = 8 * (big_endian ? width - 1 - i : i);
    b[at + i] = static_cast<char>(value >> shift & 0xFF);
  }
  return b;
}
std::string SetU16BE(const std::string& b, uint64_t at, uint32_t v) { return Set(b, at, 2, true, v); }
std::string SetU32BE(const std::string& b, uint64_t at, uint32_t v) { return Set(b, at, 4, true, v); }
std::string SetU16LE(const std::string& b, uint64_t at, uint32_t v) { return Set(b, at, 2, false, v); }
std::string SetU32LE(const std::string& b, uint64_t at, uint32_t v) { return Set(b, at, 4, false, v); }

std::string SetText(std::string b, uint64_t at, const std::string& text) {
  if (at + text.size() <= b.size()) b.replace(at, text.size(), text);
  return b;
}

std::string Hex(uint64_t value) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  do {
    out.insert(out.begin(), digits[value & 15]);
    value >>= 4;
  } while (value);
  return out;
}

// The zero-terminated text at `at`, ended by the end of the bytes when it has no zero.
std::string TextAt(const std::string& b, uint64_t at) {
  if (at >= b.size()) return std::string();
  size_t zero = b.find('\0', at);
  return b.substr(at, zero == std::string::npos ? std::string::npos : zero - at);
}

// Conversion sequences, as many as fit in `length` bytes: a face name that a
// careless printf would take for its format.
std::string FormatSequences(size_t length) {
  std::string out;
  while (out.size() < length) out += "%n%s%d%*d%ls%x%p";
  return out.substr(0, length);
}

const char* Extension(FontFormat format) {
  switch (format) {
    case FontFormat::kSfnt: return ".ttf";
    case FontFormat::kCollection: return ".ttc";
    case FontFormat::kFon: return ".fon";
    case FontFormat::kPfm: return ".pfm";
    case FontFormat::kWoff: return ".woff";
    case FontFormat::kWoff2: return ".woff2";
  }
  return "";
}

// Four hostile values for an offset or length of a file of `size` bytes.
struct Hostile {
  const char* name;
  uint32_t value;
};
std::vector<Hostile> HostileValues(uint32_t size) {
  return {{"0", 0}, {"last", size - 1}, {"7fffffff", 0x7FFFFFFF}, {"ffffffff", 0xFFFFFFFF}};
}

class Builder {
 public:
  Builder(const std::vector<SourceFont>& sources, std::vector<MalformedFont>& out)
      : sources_(sources), out_(out) {}

  void Add(int source, const std::string& mutation, std::string bytes, Expect expect,
           std::string face = std::string()) {
    const SourceFont& s = sources_[source];
    std::string name = s.name + "-" + mutation + Extension(s.format);
    if (!names_.insert(name).second) return;  // the same cut reached twice
    out_.push_back({name, std::move(bytes), s.format, expect, source, std::move(face)});
  }
  // A web font refused for `problem`.
  void AddRefused(int source, const std::string& mutation, std::string bytes,
                  WebFontProblem problem) {
    const size_t before = out_.size();
    Add(source, mutation, std::move(bytes), Expect::kRejectedByAll);
    if (out_.size() > before) out_.back().problem = problem;
  }
  const SourceFont& source(int i) const { return sources_[i]; }

 private:
  const std::vector<SourceFont>& sources_;
  std::vector<MalformedFont>& out_;
  std::set<std::string> names_;
};

// ---- sfnt and collections ----------------------------------------------------------

struct SfntRecord {
  uint64_t at = 0;  // position of the directory record
  std::string tag;
  uint32_t offset = 0;
  uint32_t length = 0;
};

struct SfntLayout {
  uint32_t start = 0;
  std::vector<SfntRecord> records;
  int os2 = -1;
  int name = -1;
  uint32_t name_count = 0;
  uint64_t storage = 0;
  int first_match = -1;  // first Windows US-English record with a text
  uint64_t needed_end = 0;  // every byte that reading the font touches lies below
};

bool IsWindowsEnglish(const std::string& b, uint64_t record) {
  uint32_t encoding = U16BE(b, record + 2);
  return U16BE(b, record) == 3 && (encoding == 0 || encoding == 1) &&
         U16BE(b, record + 4) == 0x0409;
}

SfntLayout ParseSfnt(const std::string& b, uint32_t start) {
  SfntLayout l;
  l.start = start;
  uint32_t count = U16BE(b, start + 4);
  for (uint32_t i = 0; i < count; ++i) {
    uint64_t at = start + 12 + 16ull * i;
    SfntRecord r{at, b.substr(std::min<uint64_t>(at, b.size()), 4), U32BE(b, at + 8),
                 U32BE(b, at + 12)};
    if (r.tag == "OS/2" && l.os2 < 0) l.os2 = static_cast<int>(i);
    if (r.tag == "name" && l.name < 0) l.name = static_cast<int>(i);
    l.records.push_back(r);
  }
  if (l.os2 < 0 || l.name < 0) return l;
  // The walk stops once both tables are read.
  int last = std::max(l.os2, l.name);
  l.needed_end = start + 12 + 16ull * (last + 1);
  l.needed_end = std::max<uint64_t>(l.needed_end, l.records[l.os2].offset + 64ull);
  uint64_t table = l.records[l.name].offset;
  l.name_count = U16BE(b, table + 2);
  l.storage = table + U16BE(b, table + 4);
  l.needed_end = std::max<uint64_t>(l.needed_end, table + 6 + 12ull * l.name_count);
  for (uint32_t i = 0; i < l.name_count; ++i) {
    uint64_t record = table + 6 + 12ull * i;
    uint32_t length = U16BE(b, record + 8);
    if (!IsWindowsEnglish(b, record) || length < 2) continue;
    if (l.first_match < 0) l.first_match = static_cast<int>(i);
    l.needed_end = std::max<uint64_t>(l.needed_end, l.storage + U16BE(b, record + 10) + length);
  }
  return l;
}

// The font with its cmap record pointing at a new table after its end: `records`
// (3,10) records that all name one format 12 subtable of `groups` rising groups
// whose last one goes back, so that a reader refuses it only at its end.
std::string WithSharedRefusedSubtable(const std::string& b, const SfntRecord& cmap,
                                      uint32_t records, uint32_t groups) {
  std::string table;
  auto put32 = [&table](uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) table += static_cast<char>(value >> shift & 0xFF);
  };
  put32(records);  // version 0, then the count
  const uint32_t subtable = 4 + 8 * records;
  for (uint32_t i = 0; i < records; ++i) {
    put32(3 << 16 | 10);
    put32(subtable);
  }
  put32(12 << 16);
  put32(16 + 12 * groups);
  put32(0);
  put32(groups);
  for (uint32_t g = 0; g + 1 < groups; ++g) {
    put32(0x20 + g);
    put32(0x20 + g);
    put32(1 + g % 64);
  }
  for (int i = 0; i < 3; ++i) put32(0);
  std::string out = b;
  out.resize((out.size() + 3) & ~size_t{3}, '\0');
  out = SetU32BE(SetU32BE(out, cmap.at + 8, static_cast<uint32_t>(out.size())), cmap.at + 12,
                 static_cast<uint32_t>(table.size()));
  return out + table;
}

// Lies in the character map of the font at `start`: record offsets, counts past
// the table, segments and groups out of order or pointing outside, and every
// record naming one subtable that is refused at its end (once read again for
// each record, which kept a viewer busy for minutes). None of them touches what
// the record holds besides the characters.
void AddCmapVariants(Builder& out, int src, const std::string& b, const SfntLayout& l) {
  const uint32_t size = static_cast<uint32_t>(b.size());
  for (const SfntRecord& r : l.records) {
    if (r.tag != "cmap") continue;
    out.Add(src, "cmap-shared-subtable-ffff", WithSharedRefusedSubtable(b, r, 0xFFFF, 16384),
            Expect::kAsSource);
    out.Add(src, "cmap-shared-subtable-1000", WithSharedRefusedSubtable(b, r, 1000, 2000),
            Expect::kAsSource);
    const uint64_t table = r.offset;
    const uint32_t count = U16BE(b, table + 2);
    out.Add(src, "cmap-count-ffff", SetU16BE(b, table + 2, 0xFFFF), Expect::kAsSource);
    for (uint32_t i = 0; i < count && i < 8; ++i) {
      const uint64_t record = table + 4 + 8ull * i;
      const uint64_t sub = table + U32BE(b, record + 4);
      const std::string id = "cmap" + std::to_string(i);
      for (const Hostile& h : HostileValues(size))
        out.Add(src, id + "-offset-" + h.name, SetU32BE(b, record + 4, h.value), Expect::kAsSource);
      const uint32_t format = U16BE(b, sub);
      if (format == 4) {
        const uint32_t segments = U16BE(b, sub + 6) / 2;
        if (segments < 2) continue;
        const uint64_t ends = sub + 14, starts = ends + 2 * segments + 2;
        const uint64_t range_offsets = starts + 4ull * segments;
        out.Add(src, id + "-segments-fffe", SetU16BE(b, sub + 6, 0xFFFE), Expect::kAsSource);
        out.Add(src, id + "-end-before-start", SetU16BE(b, starts, 0xFFFE), Expect::kAsSource);
        out.Add(src, id + "-ends-unsorted", SetU16BE(b, ends, 0xFFFF), Expect::kAsSource);
        for (uint32_t seg : {0u, segments / 2, segments - 2})
          out.Add(src, id + "-range-offset" + std::to_string(seg) + "-ffff",
                  SetU16BE(b, range_offsets + 2 * seg, 0xFFFF), Expect::kAsSource);
      } else if (format == 12 || format == 13) {
        const uint32_t groups = U32BE(b, sub + 12);
        out.Add(src, id + "-groups-ffffffff", SetU32BE(b, sub + 12, 0xFFFFFFFF), Expect::kAsSource);
        out.Add(src, id + "-groups-past-table", SetU32BE(b, sub + 12, groups + 1), Expect::kAsSource);
        if (groups < 2) continue;
        out.Add(src, id + "-group-end-ffffffff", SetU32BE(b, sub + 16 + 4, 0xFFFFFFFF),
                Expect::kAsSource);
        out.Add(src, id + "-groups-unsorted", SetU32BE(b, sub + 16 + 12, 0), Expect::kAsSource);
      }
    }
  }
}

// Truncations, directory and name-table mutations of the font at `start`. For a
// collection the font's own reader is ReadCollection, which reads the same font.
void AddSfntVariants(Builder& out, int src, const std::string& b, uint32_t start) {
  SfntLayout l = ParseSfnt(b, start);
  if (l.os2 < 0 || l.name < 0 || l.first_match < 0) return;
  const uint32_t size = static_cast<uint32_t>(b.size());
  const bool collection = start != 0;
  // Too short for any reader: below the offset table (collections: below its first offset).
  const uint64_t too_short = collection ? 16 : 12;
  // No other reader takes a file that starts with "ttcf".
  const Expect rejected = collection ? Expect::kRejectedByAll : Expect::kRejected;

  std::set<uint64_t> cuts = {0, 1, 4, 11, 12, 15, start + 4ull, start + 12ull, start + 20ull};
  for (size_t i = 0; i < l.records.size(); ++i) {
    cuts.insert(l.records[i].at + 8);
    cuts.insert(l.records[i].offset);
    cuts.insert(uint64_t{l.records[i].offset} + l.records[i].length);
  }
  uint64_t table = l.records[l.name].offset;
  cuts.insert(table + 3);
  cuts.insert(table + 6);
  for (uint32_t i : {0u, l.name_count / 2, l.name_count - 1}) cuts.insert(table + 6 + 12ull * i + 5);
  uint64_t first = table + 6 + 12ull * l.first_match;
  cuts.insert(l.storage + U16BE(b, first + 10) + 1);
  cuts.insert(l.storage);
  cuts.insert(l.needed_end - 1);
  cuts.insert(l.needed_end);
  cuts.insert(l.records[l.os2].offset + 63ull);
  for (uint64_t cut : cuts) {
    if (cut >= size) continue;
    Expect expect = cut >= l.needed_end ? Expect::kAsSource
                    : cut < too_short   ? Expect::kRejectedByAll
                                        : rejected;
    out.Add(src, "cut-" + Hex(cut), b.substr(0, cut), expect);
  }

  // Offsets of the two tables that are read.
  for (int index : {l.os2, l.name}) {
    const SfntRecord& r = l.records[index];
    for (const Hostile& h : HostileValues(size)) {
      // At 0 the table is read from the offset table's bytes: anything may come of it.
      Expect expect = h.value == 0 ? Expect::kAnything : rejected;
      out.Add(src, r.tag.substr(0, 2) + "-offset-" + h.name, SetU32BE(b, r.at + 8, h.value),
              expect);
      // Lengths and checksums are not consulted.
      out.Add(src, r.tag.substr(0, 2) + "-length-" + h.name, SetU32BE(b, r.at + 12, h.value),
              Expect::kAsSource);
    }
    out.Add(src, r.tag.substr(0, 2) + "-checksum", SetU32BE(b, r.at + 4, 0xFFFFFFFF),
            Expect::kAsSource);
  }
  // A table that is never read, before and after the two.
  for (size_t index : {size_t{0}, l.records.size() - 1}) {
    if (static_cast<int>(index) == l.os2 || static_cast<int>(index) == l.name) continue;
    const SfntRecord& r = l.records[index];
    for (const Hostile& h : HostileValues(size)) {
      out.Add(src, "unread" + std::to_string(index) + "-offset-" + h.name,
              SetU32BE(b, r.at + 8, h.value), Expect::kAsSource);
      out.Add(src, "unread" + std::to_string(index) + "-length-" + h.name,
              SetU32BE(b, r.at + 12, h.value), Expect::kAsSource);
    }
  }

  // Offset table.
  out.Add(src, "tables-0", SetU16BE(b, start + 4, 0), rejected);
  // A directory that runs past the end of the file is no font, even where the
  // tables read come first.
  out.Add(src, "tables-ffff", SetU16BE(b, start + 4, 0xFFFF),
          start + 12 + 16ull * 0xFFFF > size ? rejected : Expect::kAsSource);
  out.Add(src, "search-fields-ffff",
          SetU16BE(SetU16BE(SetU16BE(b, start + 6, 0xFFFF), start + 8, 0xFFFF), start + 10, 0xFFFF),
          Expect::kAsSource);
  out.Add(src, "version-true", SetText(b, start, "true"), rejected);
  out.Add(src, "version-typ1", SetText(b, start, "typ1"), rejected);
  out.Add(src, "version-ttcf", SetText(b, start, "ttcf"), rejected);
  out.Add(src, "version-10001", SetU32BE(b, start, 0x00010001), rejected);
  out.Add(src, "version-otto", SetText(b, start, "OTTO"), Expect::kAsSource);
  out.Add(src, "version-10000", SetU32BE(b, start, 0x00010000), Expect::kAsSource);
  AddCmapVariants(out, src, b, l);

  // Name table.
  bool name_decides = l.name > l.os2;  // the later table read gives the result
  out.Add(src, "name-count-0", SetU16BE(b, table + 2, 0),
          name_decides ? rejected : Expect::kAnything);
  out.Add(src, "name-count-ffff", SetU16BE(b, table + 2, 0xFFFF),
          table + 6 + 12ull * 0xFFFF > size ? rejected : Expect::kAnything);
  out.Add(src, "name-storage-0", SetU16BE(b, table + 4, 0), Expect::kAnything);
  out.Add(src, "name-storage-ffff", SetU16BE(b, table + 4, 0xFFFF), Expect::kAnything);
  uint32_t text_offset = U16BE(b, first + 10);
  uint32_t text_length = U16BE(b, first + 8);
  out.Add(src, "name-length-ffff", SetU16BE(b, first + 8, 0xFFFF),
          l.storage + text_offset + 0xFFFF > size ? rejected : Expect::kAnything);
  out.Add(src, "name-length-1", SetU16BE(b, first + 8, 1), Expect::kAnything);
  out.Add(src, "name-text-offset-ffff", SetU16BE(b, first + 10, 0xFFFF),
          l.storage + 0xFFFF + text_length > size ? rejected : Expect::kAnything);
  out.Add(src, "name-id-ffff", SetU16BE(b, first + 6, 0xFFFF), Expect::kAnything);
  out.Add(src, "name-id-14", SetU16BE(b, first + 6, 14), Expect::kAnything);
  if (l.storage < size && size - 1 - l.storage <= 0xFFFF) {
    // Two bytes of text from the last byte: leaves the file.
    out.Add(src, "name-text-last-byte",
            SetU16BE(SetU16BE(b, first + 10, size - 1 - static_cast<uint32_t>(l.storage)),
                     first + 8, 2),
            rejected);
    // A text that ends exactly at the end of the file.
    if (size - 2 >= l.storage)
      out.Add(src, "name-text-at-end",
              SetU16BE(SetU16BE(b, first + 10, size - 2 - static_cast<uint32_t>(l.storage)),
                       first + 8, 2),
              Expect::kAnything);
  }
  // Every Windows record's text made one long run of non-zero code units.
  std::string long_texts = b;
  for (uint32_t i = 0; i < l.name_count; ++i) {
    uint64_t record = table + 6 + 12ull * i;
    if (IsWindowsEnglish(b, record)) long_texts = SetU16BE(long_texts, record + 10, 0);
  }
  out.Add(src, "name-texts-overlap", long_texts, Expect::kAnything);
}

// Lies in the colour bitmaps of a real emoji font (CBLC/CBDT), each refusing some
// or all of its glyphs while its names and map stay as they are.
void AddColourVariants(Builder& out, int src) {
  const std::string& b = out.source(src).bytes;
  const SfntLayout l = ParseSfnt(b, 0);
  const SfntRecord* cblc = nullptr;
  const SfntRecord* cbdt = nullptr;
  for (const SfntRecord& r : l.records) {
    if (r.tag == "CBLC") cblc = &r;
    if (r.tag == "CBDT") cbdt = &r;
  }
  if (!cblc || !cbdt) return;
  const uint64_t strike = cblc->offset + 8;
  out.Add(src, "cblc-strikes-ffffffff", SetU32BE(b, cblc->offset + 4, 0xFFFFFFFF),
          Expect::kAsSource);
  out.Add(src, "cblc-array-offset-ffffffff", SetU32BE(b, strike, 0xFFFFFFFF), Expect::kAsSource);
  out.Add(src, "cblc-subtables-ffffffff", SetU32BE(b, strike + 8, 0xFFFFFFFF), Expect::kAsSource);
  // Every index subtable of the first strike pointing past CBDT.
  // Written in place: each of these touches thousands of places of a 10 MB file.
  auto put = [](std::string& bytes, uint64_t at, uint32_t value) {
    for (int i = 0; i < 4 && at + i < bytes.size(); ++i)
      bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
  };
  std::string far = b;
  const uint64_t array = cblc->offset + U32BE(b, strike);
  for (uint32_t i = 0; i < U32BE(b, strike + 8) && array + 8ull * i + 8 <= b.size(); ++i)
    put(far, array + U32BE(b, array + 8ull * i + 4) + 4, 0x7FFFFFFF);
  out.Add(src, "cbdt-image-offsets-7fffffff", far, Expect::kAsSource);
  // Every PNG claiming 60000 x 60000 pixels, and every PNG's data zeroed.
  std::string huge = b, blank = b;
  const uint64_t end = uint64_t{cbdt->offset} + cbdt->length;
  for (size_t at = b.find("IHDR", cbdt->offset); at != std::string::npos && at < end;
       at = b.find("IHDR", at + 4)) {
    put(huge, at + 4, 60000);
    put(huge, at + 8, 60000);
  }
  for (size_t at = b.find("IDAT", cbdt->offset); at != std::string::npos && at < end;
       at = b.find("IDAT", at + 4))
    for (size_t i = at + 4; i < at + 20 && i < end; ++i) blank[i] = 0;
  out.Add(src, "cbdt-png-60000", huge, Expect::kAsSource);
  out.Add(src, "cbdt-png-data-zeroed", blank, Expect::kAsSource);
  // CBDT cut to half its length: the glyphs in the other half leave it.
  out.Add(src, "cbdt-length-half", SetU32BE(b, cbdt->at + 12, cbdt->length / 2),
          Expect::kAsSource);
}

void AddCollectionVariants(Builder& out, int src) {
  const std::string& b = out.source(src).bytes;
  const uint32_t size = static_cast<uint32_t>(b.size());
  uint32_t first = U32BE(b, 12);
  for (const Hostile& h : HostileValues(size))
    if (h.value != 0)
      out.Add(src, "first-offset-" + std::string(h.name), SetU32BE(b, 12, h.value),
              Expect::kRejectedByAll);
  out.Add(src, "first-offset-past-end", SetU32BE(b, 12, size), Expect::kRejectedByAll);
  // The first font is the collection header itself, or starts at its own offset field.
  out.Add(src, "first-offset-self", SetU32BE(b, 12, 0), Expect::kRejectedByAll);
  out.Add(src, "first-offset-field", SetU32BE(b, 12, 12), Expect::kRejectedByAll);
  out.Add(src, "font-count-0", SetU32BE(b, 8, 0), Expect::kRejectedByAll);
  // A count the file holds no offsets for is refused, as the system refuses it.
  out.Add(src, "font-count-ffffffff", SetU32BE(b, 8, 0xFFFFFFFF), Expect::kRejectedByAll);
  out.Add(src, "font-count-1", SetU32BE(b, 8, 1), Expect::kAsSource);
  out.Add(src, "version-ffffffff", SetU32BE(b, 4, 0xFFFFFFFF), Expect::kAsSource);
  if (U32BE(b, 8) > 1) out.Add(src, "second-offset-ffffffff", SetU32BE(b, 16, 0xFFFFFFFF), Expect::kAsSource);
  AddSfntVariants(out, src, b, first);
}

// ---- FON ----------------------------------------------------------------------------

struct FonLayout {
  bool ok = false;
  uint32_t ne = 0, table = 0, names = 0, shift = 0;
  std::vector<uint64_t> entries;  // positions of the type entries
  uint64_t walk_end = 0;          // after the terminating type id
  uint64_t directory_entry = 0, font_entry = 0;
  uint64_t directory_data = 0, font_data = 0;
  uint64_t face = 0, face_end = 0;  // face_end: its terminator (or the file's end)
  uint64_t needed_end = 0;          // every byte before the face name that is read
};

FonLayout ParseFon(const std::string& b) {
  FonLayout l;
  l.ne = U32LE(b, 0x3C);
  l.table = l.ne + U16LE(b, l.ne + 0x24);
  l.names = U32LE(b, l.ne + 0x2C);
  l.shift = U16LE(b, l.table);
  uint64_t entry = l.table + 2ull;
  bool directory = false, font = false;
  for (;;) {
    if (entry + 2 > b.size()) return l;
    uint32_t type = U16LE(b, entry);
    if (type == 0) break;
    l.entries.push_back(entry);
    if ((type & 0x7FFF) == 7) l.directory_entry = entry, directory = true;
    if ((type & 0x7FFF) == 8) l.font_entry = entry, font = true;
    entry += 8 + 12ull * U16LE(b, entry + 2);
  }
  if (!directory || !font || l.shift >= 32) return l;
  l.walk_end = entry + 2;
  l.directory_data = uint64_t{U16LE(b, l.directory_entry + 8)} << l.shift;
  l.font_data = uint64_t{U16LE(b, l.font_entry + 8)} << l.shift;
  l.face = l.font_data + U32LE(b, l.font_data + 105);
  l.face_end = l.face + TextAt(b, l.face).size();
  l.needed_end = std::max<uint64_t>({128, l.ne + 0x30ull, l.names + 1ull + U8(b, l.names),
                                     l.walk_end, l.directory_entry + 10, l.font_entry + 10,
                                     l.directory_data + 2, l.font_data + 109, l.face});
  l.ok = l.face <= b.size();
  return l;
}

void AddFonVariants(Builder& out, int src) {
  const std::string& b = out.source(src).bytes;
  FonLayout l = ParseFon(b);
  if (!l.ok) return;
  const uint32_t size = static_cast<uint32_t>(b.size());
  const std::string face = TextAt(b, l.face);
  const uint8_t last = static_cast<uint8_t>(b.back());
  // The last bytes may be rewritten when they lie beyond everything that is read.
  auto tail_free = [&](uint64_t from) { return from >= l.needed_end && from > l.face_end; };

  // Truncations.
  std::set<uint64_t> cuts = {0, 2, 0x3C, 0x40, 127, 128, l.ne, l.ne + 2ull, l.ne + 0x24ull,
                             l.ne + 0x2Cull, l.ne + 0x30ull, l.table, l.table + 2ull,
                             l.walk_end - 2, l.walk_end, l.names, l.names + 1ull,
                             l.names + 1ull + U8(b, l.names) / 2, l.names + 1ull + U8(b, l.names),
                             l.directory_data, l.directory_data + 1, l.directory_data + 2,
                             l.font_data, l.font_data + 1, l.font_data + 66, l.font_data + 84,
                             l.font_data + 105, l.font_data + 108, l.font_data + 109, l.face,
                             l.face + 1, l.face_end, l.face_end + 1, l.needed_end - 1};
  for (uint64_t entry : l.entries) {
    cuts.insert(entry + 4);
    cuts.insert(entry + 8);
    cuts.insert(entry + 9);
  }
  for (uint64_t cut : cuts) {
    if (cut >= size) continue;
    Expect expect = Expect::kRejectedByAll;  // "MZ" is no other reader's start
    std::string cut_face;
    if (cut >= l.needed_end && cut > l.face_end) expect = Expect::kAsSource;
    else if (cut >= l.needed_end) expect = Expect::kFace, cut_face = face.substr(0, cut - l.face);
    out.Add(src, "cut-" + Hex(cut), b.substr(0, cut), expect, cut_face);
  }

  // The new header's offset.
  for (const Hostile& h : HostileValues(size))
    out.Add(src, "ne-offset-" + std::string(h.name), SetU32LE(b, 0x3C, h.value),
            Expect::kRejectedByAll);

  // Resource table offset (16 bits, from the NE header).
  out.Add(src, "resource-table-0", SetU16LE(b, l.ne + 0x24, 0), Expect::kAnything);
  out.Add(src, "resource-table-ffff", SetU16LE(b, l.ne + 0x24, 0xFFFF),
          l.ne + 0xFFFFull + 2 > size ? Expect::kRejectedByAll : Expect::kAnything);

  // Module description: its offset, and a length byte at the end of the file.
  out.Add(src, "names-0", SetU32LE(b, l.ne + 0x2C, 0), Expect::kFace, face);
  out.Add(src, "names-7fffffff", SetU32LE(b, l.ne + 0x2C, 0x7FFFFFFF), Expect::kRejectedByAll);
  out.Add(src, "names-ffffffff", SetU32LE(b, l.ne + 0x2C, 0xFFFFFFFF), Expect::kRejectedByAll);
  out.Add(src, "names-at-end", SetU32LE(b, l.ne + 0x2C, size), Expect::kRejectedByAll);
  if (tail_free(size - 4)) {
    out.Add(src, "names-last", SetU32LE(b, l.ne + 0x2C, size - 1),
            last == 0 ? Expect::kFace : Expect::kRejectedByAll, face);
    std::string beyond = SetU32LE(b, l.ne + 0x2C, size - 4);
    out.Add(src, "description-past-end", SetText(beyond, size - 4, "\x0A" "abc"),
            Expect::kRejectedByAll);
    out.Add(src, "description-to-end", SetText(beyond, size - 4, "\x03: x"), Expect::kFace, face);
  }

  // Alignment shift counts 0 to 40.
  const uint64_t directory_offset = U16LE(b, l.directory_entry + 8);
  const uint64_t font_offset = U16LE(b, l.font_entry + 8);
  for (uint32_t shift = 0; shift <= 40; ++shift) {
    // A larger count moves the font count or the font header past the end.
    bool past_end = shift < 32 && ((directory_offset << shift) + 2 > size ||
                                   (font_offset << shift) + 109 > size);
    Expect expect = shift == l.shift            ? Expect::kAsSource
                    : shift >= 32 || past_end ? Expect::kRejectedByAll
                                                : Expect::kAnything;
    out.Add(src, "shift-" + std::to_string(shift), SetU16LE(b, l.table, shift), expect);
  }

  // Type entries that never end: from the first entry on, every 8 bytes an entry
  // of an unknown type with no resources, up to the end of the file.
  std::string endless = b, endless_fonts = b;
  for (uint64_t at = l.table + 2; at + 8 <= size; at += 8) {
    endless = SetText(endless, at, std::string("\x01\x80\0\0\0\0\0\0", 8));
    // Font directory and font entries without resources, alternately.
    endless_fonts = SetText(endless_fonts, at,
                            std::string((at - l.table) % 16 == 2 ? "\x07\x80" : "\x08\x80", 2) +
                                std::string(6, '\0'));
  }
  out.Add(src, "types-never-end", endless, Expect::kRejectedByAll);
  out.Add(src, "types-never-end-fonts", endless_fonts, Expect::kRejectedByAll);
  out.Add(src, "type-count-ffff", SetU16LE(b, l.table + 4, 0xFFFF),
          l.table + 2 + 8 + 12ull * 0xFFFF > size ? Expect::kRejectedByAll : Expect::kAnything);
  out.Add(src, "types-no-terminator", SetU16LE(b, l.walk_end - 2, 0x8001), Expect::kAnything);
  out.Add(src, "font-entry-no-resources", SetU16LE(b, l.font_entry + 2, 0), Expect::kAnything);

  // Resource data.
  out.Add(src, "font-count-0", SetU16LE(b, l.directory_data, 0), Expect::kRejectedByAll);
  out.Add(src, "font-count-ffff", SetU16LE(b, l.directory_data, 0xFFFF), Expect::kAsSource);
  // Data at 0xFFFF << shift: past the end for the small files here.
  uint64_t far = uint64_t{0xFFFF} << l.shift;
  out.Add(src, "directory-data-ffff", SetU16LE(b, l.directory_entry + 8, 0xFFFF),
          far + 2 > size ? Expect::kRejectedByAll : Expect::kAnything);
  out.Add(src, "font-data-ffff", SetU16LE(b, l.font_entry + 8, 0xFFFF),
          far + 109 > size ? Expect::kRejectedByAll : Expect::kAnything);
  out.Add(src, "font-data-0", SetU16LE(b, l.font_entry + 8, 0), Expect::kRejectedByAll);

  // Font header.
  out.Add(src, "version-0000", SetU16LE(b, l.font_data, 0), Expect::kRejectedByAll);
  out.Add(src, "version-0400", SetU16LE(b, l.font_data, 0x0400), Expect::kRejectedByAll);
  out.Add(src, "version-0200", SetU16LE(b, l.font_data, 0x0200), Expect::kAsSource);
  out.Add(src, "copyright-unterminated", SetText(b, l.font_data + 6, std::string(60, 'C')),
          Expect::kFace, face);
  uint64_t face_field = l.font_data + 105;
  auto face_at = [&](uint64_t at) { return SetU32LE(b, face_field, static_cast<uint32_t>(at - l.font_data)); };
  out.Add(src, "face-last-byte", face_at(size - 1), Expect::kFace,
          last ? std::string(1, static_cast<char>(last)) : std::string());
  out.Add(src, "face-at-end", face_at(size), Expect::kFace, "");
  out.Add(src, "face-past-end", face_at(size + 1ull), Expect::kRejectedByAll);
  out.Add(src, "face-7fffffff", SetU32LE(b, face_field, 0x7FFFFFFF), Expect::kRejectedByAll);
  out.Add(src, "face-ffffffff", SetU32LE(b, face_field, 0xFFFFFFFF), Expect::kRejectedByAll);
  if (tail_free(size - 5))
    out.Add(src, "face-unterminated", SetText(face_at(size - 5), size - 5, "ABCDE"),
            Expect::kFace, "ABCDE");
  out.Add(src, "face-format-sequences", SetText(b, l.face, FormatSequences(face.size())),
          Expect::kFace, FormatSequences(face.size()));
}

// ---- PFM ----------------------------------------------------------------------------

void AddPfmVariants(Builder& out, int src) {
  const std::string& b = out.source(src).bytes;
  const uint32_t size = static_cast<uint32_t>(b.size());
  const uint64_t face = U32LE(b, 105);
  const std::string face_name = TextAt(b, face);
  const uint64_t face_end = face + face_name.size();
  const uint64_t postscript_end = face_end + 1 + TextAt(b, face_end + 1).size();
  // Bytes 00 01 00 00 would make the start an sfnt version.
  const Expect short_file = U16BE(b, 2) == 0 ? Expect::kRejected : Expect::kRejectedByAll;

  std::set<uint64_t> cuts = {0, 1, 2, 66, 85, 105, 108, 116, 117, face, face + 1,
                             face + face_name.size() / 2, face_end, face_end + 1,
                             (face_end + postscript_end) / 2, postscript_end, postscript_end + 1};
  for (uint64_t cut : cuts) {
    if (cut >= size) continue;
    Expect expect = short_file;
    std::string cut_face;
    if (cut >= postscript_end) expect = Expect::kAsSource;
    else if (cut >= 117 && cut >= face)
      expect = Expect::kFace, cut_face = face_name.substr(0, cut - face);
    else if (cut >= 117) expect = Expect::kRejected;
    out.Add(src, "cut-" + Hex(cut), b.substr(0, cut), expect, cut_face);
  }

  const uint8_t last = static_cast<uint8_t>(b.back());
  out.Add(src, "face-0", SetU32LE(b, 105, 0), Expect::kFace, TextAt(b, 0));
  out.Add(src, "face-last-byte", SetU32LE(b, 105, size - 1), Expect::kFace,
          last ? std::string(1, static_cast<char>(last)) : std::string());
  out.Add(src, "face-at-end", SetU32LE(b, 105, size), Expect::kFace, "");
  out.Add(src, "face-past-end", SetU32LE(b, 105, size + 1), Expect::kRejected);
  out.Add(src, "face-7fffffff", SetU32LE(b, 105, 0x7FFFFFFF), Expect::kRejected);
  out.Add(src, "face-ffffffff", SetU32LE(b, 105, 0xFFFFFFFF), Expect::kRejected);
  if (size - 5 >= 117 && size - 5 > postscript_end)
    out.Add(src, "face-unterminated", SetText(SetU32LE(b, 105, size - 5), size - 5, "ABCDE"),
            Expect::kFace, "ABCDE");
  // Fields the reader does not use.
  out.Add(src, "size-field-ffffffff", SetU32LE(b, 2, 0xFFFFFFFF), Expect::kAsSource);
  out.Add(src, "size-field-0", SetU32LE(b, 2, 0), Expect::kAsSource);
  out.Add(src, "metrics-ff", SetText(b, 68, std::string(12, '\xFF')), Expect::kAsSource);
  out.Add(src, "version-0200", SetU16LE(b, 0, 0x0200), Expect::kRejectedByAll);
  out.Add(src, "copyright-unterminated", SetText(b, 6, std::string(60, 'C')), Expect::kFace,
          face_name);
  out.Add(src, "face-format-sequences", SetText(b, face, FormatSequences(face_name.size())),
          Expect::kFace, FormatSequences(face_name.size()));
}

// ---- WOFF and WOFF2 -----------------------------------------------------------------

uint32_t Pad4(uint32_t value) { return (value + 3) & ~3u; }

// The header fields at the same places in both, and the size of the header.
constexpr uint32_t kWoffLength = 8, kWoffTableCount = 12, kWoffReserved = 14, kWoffSfntSize = 16;

// The cuts and header lies both containers refuse alike.
void AddWebHeaderVariants(Builder& out, int src, uint32_t header_size) {
  const std::string& b = out.source(src).bytes;
  const uint32_t size = static_cast<uint32_t>(b.size());
  using P = WebFontProblem;
  for (uint32_t cut : {4u, header_size - 1, header_size + 3, size / 2, size - 1})
    out.AddRefused(src, "cut-" + Hex(cut), b.substr(0, cut), P::kTruncated);
  out.AddRefused(src, "length-plus-4", SetU32BE(b, kWoffLength, size + 4), P::kTruncated);
  out.AddRefused(src, "length-minus-4", SetU32BE(b, kWoffLength, size - 4), P::kLengthMismatch);
  out.AddRefused(src, "reserved-1", SetU16BE(b, kWoffReserved, 1), P::kBadHeader);
  out.AddRefused(src, "tables-0", SetU16BE(b, kWoffTableCount, 0), P::kBadHeader);
  out.AddRefused(src, "sfnt-size-ffffffff", SetU32BE(b, kWoffSfntSize, 0xFFFFFFFF), P::kTooLarge);
  out.AddRefused(src, "sfnt-size-64m", SetU32BE(b, kWoffSfntSize, kMaxDecodedSize + 1),
                 P::kTooLarge);
  // The signature and a header of zeros, which claims a length of 0.
  out.AddRefused(src, "signature-only", b.substr(0, 4) + std::string(header_size - 4, '\0'),
                 P::kLengthMismatch);
}

void AddWoffVariants(Builder& out, int src) {
  const std::string& b = out.source(src).bytes;
  const uint32_t size = static_cast<uint32_t>(b.size());
  const uint32_t count = U16BE(b, kWoffTableCount);
  using P = WebFontProblem;
  AddWebHeaderVariants(out, src, 44);
  // The table directory: 20-byte entries of tag, offset, compLength, origLength, checksum.
  auto entry = [](uint32_t i) { return 44u + 20u * i; };
  out.AddRefused(src, "cut-in-directory-length-fixed",
                 SetU32BE(b.substr(0, entry(count / 2) + 6), kWoffLength, entry(count / 2) + 6),
                 P::kTruncated);
  const uint32_t last_table = U32BE(b, entry(count - 1) + 4);
  out.AddRefused(src, "cut-in-last-table-length-fixed",
                 SetU32BE(b.substr(0, last_table + 2), kWoffLength, last_table + 2), P::kOverlap);
  out.AddRefused(src, "sfnt-size-minus-4", SetU32BE(b, kWoffSfntSize, U32BE(b, kWoffSfntSize) - 4),
                 P::kLengthMismatch);
  out.AddRefused(src, "offset-0", SetU32BE(b, entry(0) + 4, 0), P::kOverlap);
  out.AddRefused(src, "offset-past-end", SetU32BE(b, entry(0) + 4, Pad4(size)), P::kOverlap);
  out.AddRefused(src, "offset-7ffffffc", SetU32BE(b, entry(0) + 4, 0x7FFFFFFC), P::kOverlap);
  out.AddRefused(src, "offset-ffffffff", SetU32BE(b, entry(0) + 4, 0xFFFFFFFF), P::kBadHeader);
  out.AddRefused(src, "offset-of-next-table", SetU32BE(b, entry(0) + 4, U32BE(b, entry(1) + 4)),
                 P::kOverlap);
  out.AddRefused(src, "duplicate-tag", SetText(b, entry(1), b.substr(entry(0), 4)), P::kBadHeader);
  out.AddRefused(src, "orig-length-7fffffff", SetU32BE(b, entry(0) + 12, 0x7FFFFFFF),
                 P::kTooLarge);
  // The first compressed table (stored ones have compLength == origLength).
  uint32_t packed = count;
  for (uint32_t i = 0; i < count && packed == count; ++i)
    if (U32BE(b, entry(i) + 8) < U32BE(b, entry(i) + 12) && U32BE(b, entry(i) + 12) >= 8) packed = i;
  if (packed < count) {
    const uint32_t e = entry(packed), offset = U32BE(b, e + 4), compressed = U32BE(b, e + 8),
                   length = U32BE(b, e + 12);
    out.AddRefused(src, "comp-length-over-orig", SetU32BE(b, e + 8, length + 1),
                   P::kLengthMismatch);
    // The data inflates to four bytes more than the table and the font declare.
    out.AddRefused(src, "orig-length-minus-4",
                   SetU32BE(SetU32BE(b, e + 12, length - 4), kWoffSfntSize,
                            U32BE(b, kWoffSfntSize) - 4),
                   P::kLengthMismatch);
    // zlib's header stays; the deflate data after it becomes a block type that does not exist.
    if (compressed > 8)
      out.AddRefused(src, "deflate-damaged", SetText(b, offset + 2, std::string(6, '\xFF')),
                     P::kCorrupt);
  }
  // The metadata and private blocks over the tables, past the end, off the four-byte grid.
  out.AddRefused(src, "metadata-over-tables",
                 SetU32BE(SetU32BE(b, 24, U32BE(b, entry(0) + 4)), 28, 64), P::kOverlap);
  out.AddRefused(src, "private-past-end", SetU32BE(SetU32BE(b, 36, Pad4(size)), 40, 4),
                 P::kOverlap);
  out.AddRefused(src, "metadata-offset-2", SetU32BE(SetU32BE(b, 24, 2), 28, 4), P::kBadHeader);
  // What the decoder leaves to others: checksums and the version fields.
  out.Add(src, "checksum-0", SetU32BE(b, entry(0) + 16, 0), Expect::kAsSource);
  out.Add(src, "version-ffff", SetU32BE(b, 20, 0xFFFFFFFF), Expect::kAsSource);
}

// The places in a WOFF2 table directory that the variants change.
struct Woff2Layout {
  uint32_t directory_end = 0;  // where the compressed stream begins
  uint32_t loca_flags = 0;     // the flags byte of loca's entry; 0 when absent
  uint32_t loca_transform_length = 0;
  uint32_t loca_length_last = 0;  // the last byte of loca's origLength
  uint32_t plain_length_last = 0;  // the last byte of an untransformed table's origLength
  uint32_t first_flags = 0;        // the flags byte of the first entry that is no glyf, loca or hmtx
};

Woff2Layout ParseWoff2(const std::string& b) {
  Woff2Layout l;
  uint32_t at = 48;
  auto base128 = [&b, &at]() {
    while (U8(b, at) & 0x80) ++at;
    return at++;  // the last byte
  };
  for (uint32_t i = 0, count = U16BE(b, kWoffTableCount); i < count && at < b.size(); ++i) {
    const uint32_t flags_at = at++;
    const uint32_t flags = U8(b, flags_at);
    const uint32_t known = flags & 0x3F;
    if (known == 0x3F) at += 4;
    const uint32_t version = flags >> 6;
    const bool glyph_table = known == 10 || known == 11;
    const bool transformed = glyph_table ? version == 0 : version != 0;
    const uint32_t length_last = base128();
    if (transformed) {
      const uint32_t transform_last = base128();
      if (known == 11) l.loca_transform_length = transform_last;
    } else if (!l.plain_length_last && U8(b, length_last) < 0x7F && U8(b, length_last) > 0) {
      l.plain_length_last = length_last;
    }
    if (known == 11) {
      l.loca_flags = flags_at;
      l.loca_length_last = length_last;
    }
    if (!l.first_flags && !glyph_table && known != 3) l.first_flags = flags_at;
  }
  l.directory_end = at;
  return l;
}

void AddWoff2Variants(Builder& out, int src) {
  const std::string& b = out.source(src).bytes;
  const uint32_t size = static_cast<uint32_t>(b.size());
  const uint32_t compressed = U32BE(b, 20);
  const Woff2Layout l = ParseWoff2(b);
  using P = WebFontProblem;
  AddWebHeaderVariants(out, src, 48);
  out.AddRefused(src, "compressed-past-end", SetU32BE(b, 20, compressed + 1000), P::kTruncated);
  out.AddRefused(src, "compressed-minus-8", SetU32BE(b, 20, compressed - 8), P::kLengthMismatch);
  // Half the stream, the header's lengths made to agree: the stream ends early.
  const uint32_t half = l.directory_end + compressed / 2;
  out.AddRefused(src, "stream-cut-in-half",
                 SetU32BE(SetU32BE(b.substr(0, half), 20, compressed / 2), kWoffLength, half),
                 P::kTruncated);
  out.AddRefused(src, "stream-damaged", SetText(b, l.directory_end, std::string(32, '\xFF')),
                 P::kCorrupt);
  if (l.first_flags)
    out.AddRefused(src, "transform-1-of-plain-table",
                   SetText(b, l.first_flags, std::string(1, char(U8(b, l.first_flags) | 0x40))),
                   P::kBadTransform);
  if (l.loca_flags) {
    out.AddRefused(src, "loca-transform-length-1", SetText(b, l.loca_transform_length, "\x01"),
                   P::kBadTransform);
    // loca's length no longer fits the glyphs that glyf's transform rebuilds.
    out.AddRefused(src, "loca-length-plus-2",
                   SetText(b, l.loca_length_last, std::string(1, char(U8(b, l.loca_length_last) + 2))),
                   P::kBadTransform);
  }
  if (l.plain_length_last)
    out.AddRefused(src, "table-length-minus-1",
                   SetText(b, l.plain_length_last,
                           std::string(1, char(U8(b, l.plain_length_last) - 1))),
                   P::kLengthMismatch);
  out.AddRefused(src, "metadata-offset-4", SetU32BE(SetU32BE(b, 28, 4), 32, 4), P::kOverlap);
  out.AddRefused(src, "private-past-end", SetU32BE(SetU32BE(b, 40, Pad4(size)), 44, 4),
                 P::kOverlap);
  // The header's sfnt size is only a hint to WOFF2 decoders; the version is the font's.
  out.Add(src, "sfnt-size-1", SetU32BE(b, kWoffSfntSize, 1), Expect::kAsSource);
  out.Add(src, "version-ffff", SetU32BE(b, 24, 0xFFFFFFFF), Expect::kAsSource);
}

// In one read: byte by byte through a stream iterator, the 28 MB of the sources
// took seconds under the sanitizers.
std::string ReadWholeFile(const std::string& host_path) {
  std::ifstream in(host_path, std::ios::binary | std::ios::ate);
  if (!in) return std::string();
  const std::streamoff size = in.tellg();
  if (size <= 0) return std::string();
  std::string bytes(static_cast<size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), size)) return std::string();
  return bytes;
}

// The collection header and offset tables of a collection, with the first
// font's OS/2 and name tables copied behind them (every other table offset then
// points past the end, which no reader follows).
std::string CompactCollection(const std::string& ttc) {
  uint32_t first = U32BE(ttc, 12);
  SfntLayout l = ParseSfnt(ttc, first);
  if (l.os2 < 0 || l.name < 0) return std::string();
  uint64_t head = ttc.size();
  for (const SfntRecord& r : l.records) head = std::min<uint64_t>(head, r.offset);
  std::string out = ttc.substr(0, head);
  for (int index : {l.os2, l.name}) {
    const SfntRecord& r = l.records[index];
    while (out.size() % 4) out += '\0';
    out = SetU32BE(out, r.at + 8, static_cast<uint32_t>(out.size()));
    out += ttc.substr(r.offset, r.length);
  }
  return out;
}

}  // namespace

std::vector<SourceFont> LoadSourceFonts(const std::string& pfm_path) {
  std::vector<SourceFont> sources;
  auto add = [&sources](const std::string& name, FontFormat format, std::string bytes) {
    if (!bytes.empty()) sources.push_back({name, format, std::move(bytes)});
  };
  add("dejavu", FontFormat::kSfnt,
      ReadWholeFile(HostPath("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")));
  // Small Wine fonts: names in Unicode encoding, and a symbol font's in encoding 0.
  add("fixedsys", FontFormat::kSfnt, ReadWholeFile(HostPath("/usr/share/wine/fonts/fixedsys.ttf")));
  add("marlett", FontFormat::kSfnt, ReadWholeFile(HostPath("/usr/share/wine/fonts/marlett.ttf")));
  // A colour font: its bitmap tables alone are varied (AddColourVariants).
  add("notoemoji", FontFormat::kSfnt,
      ReadWholeFile(HostPath("/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf")));
  add("notocjk", FontFormat::kCollection,
      CompactCollection(
          ReadWholeFile(HostPath("/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"))));

  std::vector<std::filesystem::path> fon_files;
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator(HostPath("/usr/share/wine/fonts"), error))
    if (entry.path().extension() == ".fon") fon_files.push_back(entry.path());
  std::sort(fon_files.begin(), fon_files.end());
  for (const auto& path : fon_files)
    add(path.stem().string(), FontFormat::kFon, ReadWholeFile(path.string()));

  if (!pfm_path.empty()) add("pfm", FontFormat::kPfm, ReadWholeFile(HostPath(pfm_path)));
  // The smallest of DejaVu's web fonts (package fonts-dejavu-web).
  add("dejavu-light", FontFormat::kWoff,
      ReadWholeFile(HostPath("/usr/share/fonts/woff/dejavu/DejaVuSans-ExtraLight.woff")));
  add("dejavu-light", FontFormat::kWoff2,
      ReadWholeFile(HostPath("/usr/share/fonts/woff2/dejavu/DejaVuSans-ExtraLight.woff2")));
  return sources;
}

std::vector<MalformedFont> MakeMalformedCorpus(const std::vector<SourceFont>& sources) {
  std::vector<MalformedFont> corpus;
  Builder out(sources, corpus);
  for (int i = 0; i < static_cast<int>(sources.size()); ++i) {
    switch (sources[i].format) {
      case FontFormat::kSfnt:
        if (sources[i].name == "notoemoji") AddColourVariants(out, i);
        else AddSfntVariants(out, i, sources[i].bytes, 0);
        break;
      case FontFormat::kCollection: AddCollectionVariants(out, i); break;
      case FontFormat::kFon: AddFonVariants(out, i); break;
      case FontFormat::kPfm: AddPfmVariants(out, i); break;
      case FontFormat::kWoff: AddWoffVariants(out, i); break;
      case FontFormat::kWoff2: AddWoff2Variants(out, i); break;
    }
  }
  // Shapes that multiply a reader's work, which no mutation reaches: last, each
  // as a file of its own format.
  for (HostileShape& shape : HostileShapes()) {
    const std::string extension = shape.name.substr(shape.name.rfind('.'));
    const FontFormat format = extension == ".ttc"     ? FontFormat::kCollection
                              : extension == ".woff"  ? FontFormat::kWoff
                              : extension == ".woff2" ? FontFormat::kWoff2
                                                      : FontFormat::kSfnt;
    MalformedFont font;
    font.name = shape.name;
    font.bytes = std::move(shape.bytes);
    font.format = format;
    corpus.push_back(std::move(font));
  }
  return corpus;
}

bool WriteCorpus(const std::vector<MalformedFont>& corpus, const std::string& dir) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  bool ok = true;
  for (const MalformedFont& font : corpus) {
    std::ofstream file(std::filesystem::path(dir) / font.name, std::ios::binary | std::ios::trunc);
    file.write(font.bytes.data(), static_cast<std::streamsize>(font.bytes.size()));
    ok = ok && static_cast<bool>(file);
  }
  return ok;
}
