#include "hostile_fonts.h"

#include <zlib.h>

#include <algorithm>

#include "font_builder.h"

namespace {

// ---- A variable TrueType font of any number of glyphs and axes -----------------

struct Variable {
  uint32_t axes = 1;                          // wght first, then axes of 0..0..1
  std::vector<std::string> glyphs;            // glyf bytes by glyph; empty: no outline
  std::vector<std::string> glyph_variations;  // gvar data by glyph (may be shorter)
  std::vector<int16_t> shared_tuples;         // `axes` peaks a tuple
  std::string hvar, mvar, name;
  bool one_metric = false;  // hmtx: one long metric, the rest lsbs only
  bool heavy = false;       // a named instance "Heavy" at wght 900 (one axis only)
};

std::string Fvar(uint32_t axes, bool heavy) {
  std::string fvar;
  PutU16BE(fvar, 1);
  PutU16BE(fvar, 0);
  PutU16BE(fvar, 16);
  PutU16BE(fvar, 2);
  PutU16BE(fvar, static_cast<uint16_t>(axes));
  PutU16BE(fvar, 20);
  PutU16BE(fvar, heavy ? 1 : 0);
  PutU16BE(fvar, static_cast<uint16_t>(4 + 4 * axes));
  for (uint32_t a = 0; a < axes; ++a) {
    if (a == 0) {
      fvar += "wght";
      PutU32BE(fvar, 100 << 16);
      PutU32BE(fvar, 400 << 16);
      PutU32BE(fvar, 900 << 16);
    } else {
      PutU32BE(fvar, 0x58000000u | a);  // "X" and the axis number
      PutU32BE(fvar, 0);
      PutU32BE(fvar, 0);
      PutU32BE(fvar, 1 << 16);
    }
    PutU16BE(fvar, 0);
    PutU16BE(fvar, 255);
  }
  if (heavy) {
    PutU16BE(fvar, 256);  // its name
    PutU16BE(fvar, 0);
    PutU32BE(fvar, 900 << 16);
  }
  return fvar;
}

SfntFont VariableFontOf(const Variable& v) {
  const uint32_t count = static_cast<uint32_t>(v.glyphs.size());
  std::string glyf, loca;
  for (const std::string& glyph : v.glyphs) {
    PutU32BE(loca, static_cast<uint32_t>(glyf.size()));
    glyf += glyph;
    glyf.resize((glyf.size() + 3) & ~size_t{3}, '\0');
  }
  PutU32BE(loca, static_cast<uint32_t>(glyf.size()));
  std::string head(54, '\0');
  SetU32BE(head, 0, 0x00010000);
  SetU32BE(head, 12, 0x5F0F3CF5);
  SetU16BE(head, 18, 1000);
  SetU16BE(head, 50, 1);  // long loca
  const uint32_t metrics = v.one_metric ? 1 : count;
  std::string hhea(36, '\0');
  SetU32BE(hhea, 0, 0x00010000);
  SetU16BE(hhea, 34, static_cast<uint16_t>(metrics));
  std::string hmtx;
  for (uint32_t g = 0; g < count; ++g) {
    if (g < metrics) PutU16BE(hmtx, 500);
    PutU16BE(hmtx, 0);
  }
  std::string maxp;
  PutU32BE(maxp, 0x00005000);
  PutU16BE(maxp, static_cast<uint16_t>(count));

  std::string offsets, data;
  for (uint32_t g = 0; g < count; ++g) {
    PutU32BE(offsets, static_cast<uint32_t>(data.size()));
    if (g < v.glyph_variations.size()) data += v.glyph_variations[g];
    data.resize((data.size() + 1) & ~size_t{1}, '\0');
  }
  PutU32BE(offsets, static_cast<uint32_t>(data.size()));
  std::string shared;
  for (int16_t peak : v.shared_tuples) PutU16BE(shared, static_cast<uint16_t>(peak));
  std::string gvar;
  PutU16BE(gvar, 1);
  PutU16BE(gvar, 0);
  PutU16BE(gvar, static_cast<uint16_t>(v.axes));
  PutU16BE(gvar, static_cast<uint16_t>(v.shared_tuples.size() / v.axes));
  PutU32BE(gvar, static_cast<uint32_t>(20 + offsets.size()));
  PutU16BE(gvar, static_cast<uint16_t>(count));
  PutU16BE(gvar, 1);  // long offsets
  PutU32BE(gvar, static_cast<uint32_t>(20 + offsets.size() + shared.size()));
  gvar += offsets + shared + data;

  SfntFont font;
  font.Add("head", head).Add("hhea", hhea).Add("maxp", maxp).Add("hmtx", hmtx);
  font.Add("loca", loca).Add("glyf", glyf).Add("fvar", Fvar(v.axes, v.heavy)).Add("gvar", gvar);
  font.Add("name", v.name.empty()
                       ? BuildNameTable(
                             NameTable{}.Add(1, u"Demo VF").Add(2, u"Regular").Add(256, u"Heavy"))
                       : v.name);
  font.Add("OS/2", Os2Table());
  if (!v.hvar.empty()) font.Add("HVAR", v.hvar);
  if (!v.mvar.empty()) font.Add("MVAR", v.mvar);
  return font;
}

// A composite glyph of the components given (word offsets of 0).
std::string CompositeGlyph(const std::vector<uint16_t>& components) {
  std::string out;
  PutU16BE(out, 0xFFFF);
  for (int i = 0; i < 4; ++i) PutU16BE(out, 0);
  for (size_t i = 0; i < components.size(); ++i) {
    PutU16BE(out, i + 1 < components.size() ? 0x0023 : 0x0003);  // words, xy, more
    PutU16BE(out, components[i]);
    PutU32BE(out, 0);
  }
  return out;
}

// ---- Item variation stores ---------------------------------------------------------

// A store of one axis whose region list holds `regions` regions (peak 1 on the
// axis) and whose one data subtable is `data`.
std::string ItemStore(uint32_t regions, const std::string& data) {
  std::string store;
  PutU16BE(store, 1);
  PutU32BE(store, 12);  // the region list, after the one data offset
  PutU16BE(store, 1);
  PutU32BE(store, static_cast<uint32_t>(12 + 4 + 6 * regions));
  PutU16BE(store, 1);
  PutU16BE(store, static_cast<uint16_t>(regions));
  for (uint32_t r = 0; r < regions; ++r) {
    PutU16BE(store, 0);
    PutU16BE(store, 16384);
    PutU16BE(store, 16384);
  }
  return store + data;
}

// Item data of `items` rows over `regions` regions, each a byte delta of 0.
std::string ItemData(uint32_t items, uint32_t regions, uint16_t region_index = 0xFFFF) {
  std::string data;
  PutU16BE(data, static_cast<uint16_t>(items));
  PutU16BE(data, 0);
  PutU16BE(data, static_cast<uint16_t>(regions));
  for (uint32_t r = 0; r < regions; ++r)
    PutU16BE(data, static_cast<uint16_t>(region_index == 0xFFFF ? r : region_index));
  data.append(size_t{items} * regions, '\0');
  return data;
}

// HVAR: the store, then (when not empty) the advance mapping.
std::string Hvar(const std::string& store, const std::string& advance_map) {
  std::string hvar;
  PutU16BE(hvar, 1);
  PutU16BE(hvar, 0);
  PutU32BE(hvar, 20);
  PutU32BE(hvar, advance_map.empty() ? 0 : static_cast<uint32_t>(20 + store.size()));
  PutU32BE(hvar, 0);
  PutU32BE(hvar, 0);
  return hvar + store + advance_map;
}

// A DeltaSetIndexMap of one entry, (outer 0, inner), in two bytes.
std::string OneEntryMap(uint16_t inner) {
  std::string map;
  map += '\0';
  map += '\x1F';  // two-byte entries, 16 bits of inner index
  PutU16BE(map, 1);
  PutU16BE(map, inner);
  return map;
}

// ---- Collections -------------------------------------------------------------------

// A name table of `records` Windows English records of short texts, ids in turn.
std::string ManyRecordNames(uint32_t records) {
  NameTable names;
  names.Add(1, u"Shared").Add(2, u"Regular").Add(4, u"Shared Regular");
  for (uint32_t i = 3; i < records; ++i) names.Add(static_cast<uint16_t>(256 + i % 100), u"x");
  return BuildNameTable(names);
}

std::string Crc(const std::string& chunk) {
  std::string out;
  PutU32BE(out, static_cast<uint32_t>(
                    crc32(0, reinterpret_cast<const Bytef*>(chunk.data()),
                          static_cast<uInt>(chunk.size()))));
  return out;
}

std::string Deflate(const std::string& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
            static_cast<uLong>(raw.size()), 9);
  out.resize(size);
  return out;
}

// An RGBA PNG of side x side pixels, one colour throughout.
std::string Png(uint32_t side) {
  std::string row(1 + 4 * size_t{side}, '\0');
  for (uint32_t x = 0; x < side; ++x) row.replace(1 + 4 * x, 4, "\xD0\x40\x20\xFF", 4);
  std::string raw;
  raw.reserve(row.size() * side);
  for (uint32_t y = 0; y < side; ++y) raw += row;
  auto chunk = [](const std::string& type, const std::string& data) {
    std::string out;
    PutU32BE(out, static_cast<uint32_t>(data.size()));
    return out + type + data + Crc(type + data);
  };
  std::string header;
  PutU32BE(header, side);
  PutU32BE(header, side);
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA
  return std::string("\x89PNG\r\n\x1A\n", 8) + chunk("IHDR", header) +
         chunk("IDAT", Deflate(raw)) + chunk("IEND", "");
}

// Bits written least significant first, as brotli reads them.
struct BitWriter {
  std::string out;
  uint32_t used = 0;  // bits of the last byte taken
  void Put(uint32_t value, uint32_t bits) {
    for (uint32_t i = 0; i < bits; ++i) {
      if (used % 8 == 0) out += '\0';
      out.back() = static_cast<char>(out.back() | ((value >> i & 1) << (used % 8)));
      ++used;
    }
  }
  void Align() { used = (used + 7) & ~7u; }
};

// Brotli's stored form: a window of 2^16, uncompressed meta-blocks, an empty last one.
std::string StoredBrotli(const std::string& data) {
  BitWriter w;
  w.Put(0, 1);  // WBITS 16
  for (size_t at = 0; at < data.size();) {
    const uint32_t length = static_cast<uint32_t>(std::min<size_t>(data.size() - at, 1u << 24));
    // The fewest nibbles that hold MLEN - 1: 4, 5 or 6.
    const uint32_t nibbles = length - 1 < (1u << 16) ? 4 : length - 1 < (1u << 20) ? 5 : 6;
    w.Put(0, 1);  // ISLAST
    w.Put(nibbles - 4, 2);
    w.Put(length - 1, 4 * nibbles);
    w.Put(1, 1);  // ISUNCOMPRESSED
    w.Align();
    w.out.append(data, at, length);
    w.used = static_cast<uint32_t>(8 * w.out.size());
    at += length;
  }
  w.Put(3, 2);  // ISLAST, ISLASTEMPTY
  return w.out;
}

void Put255UInt16(std::string& out, uint32_t value) {
  if (value < 253) {
    out += static_cast<char>(value);
  } else {
    out += '\xFD';
    PutU16BE(out, static_cast<uint16_t>(value));
  }
}

}  // namespace

std::string CompositeDagFont(uint32_t depth) {
  Variable v;
  v.heavy = true;
  for (uint32_t g = 0; g < depth; ++g)
    v.glyphs.push_back(CompositeGlyph({static_cast<uint16_t>(g + 1), static_cast<uint16_t>(g + 1)}));
  v.glyphs.emplace_back();
  return BuildSfnt(VariableFontOf(v));
}

std::string LongItemHvarFont(uint32_t glyphs, uint32_t regions) {
  Variable v;
  v.glyphs.assign(glyphs, std::string());
  v.one_metric = true;
  v.hvar = Hvar(ItemStore(regions, ItemData(1, regions)), OneEntryMap(0));
  return BuildSfnt(VariableFontOf(v));
}

std::string RepeatedMvarFont(uint32_t records, uint32_t regions) {
  Variable v;
  v.glyphs.assign(1, std::string());
  std::string mvar;
  PutU16BE(mvar, 1);
  PutU16BE(mvar, 0);
  PutU16BE(mvar, 0);
  PutU16BE(mvar, 8);
  PutU16BE(mvar, static_cast<uint16_t>(records));
  PutU16BE(mvar, static_cast<uint16_t>(12 + 8 * records));  // an Offset16: records < 8,190
  for (uint32_t i = 0; i < records; ++i) {
    mvar += "hasc";
    PutU32BE(mvar, 0);  // item (0, 0)
  }
  v.mvar = mvar + ItemStore(regions, ItemData(1, regions));
  return BuildSfnt(VariableFontOf(v));
}

std::string WrappingRegionListFont() {
  // 16,384 axes: a region of 98,304 bytes; 43,691 of them 4,295,032,832 bytes,
  // 65,536 past 2^32.
  constexpr uint32_t kAxes = 16384, kRegions = 43691;
  Variable v;
  v.axes = kAxes;
  v.glyphs.assign(1, std::string());
  std::string store;
  PutU16BE(store, 1);
  PutU32BE(store, 8);
  PutU16BE(store, 0);  // no data
  PutU16BE(store, kAxes);
  PutU16BE(store, kRegions);
  store.append(65536, '\0');
  v.hvar = Hvar(store, "");
  return BuildSfnt(VariableFontOf(v));
}

std::string WrappingRowFont() {
  // 65,535 regions of which 32,767 take words: rows of 98,302 bytes. Item
  // 43,692 lies 4,295,010,984 bytes on, 43,688 past 2^32: inside the store.
  constexpr uint32_t kRegions = 65535, kWords = 32767, kItems = 43693, kRow = kRegions + kWords;
  std::string data;
  PutU16BE(data, kItems);
  PutU16BE(data, kWords);
  PutU16BE(data, kRegions);
  for (uint32_t r = 0; r < kRegions; ++r) PutU16BE(data, 0);  // region 0 each
  data.append(43688 + kRow, '\0');
  Variable v;
  v.glyphs.assign(2, std::string());
  v.hvar = Hvar(ItemStore(1, data), OneEntryMap(kItems - 1));
  return BuildSfnt(VariableFontOf(v));
}

std::string SharedNameTextFont(uint32_t records, uint32_t text_bytes) {
  // The storage begins at the records: every record's text is the records
  // themselves and what follows them, `text_bytes` long.
  std::string name;
  PutU16BE(name, 0);
  PutU16BE(name, static_cast<uint16_t>(records));
  PutU16BE(name, 6);
  for (uint32_t i = 0; i < records; ++i) {
    PutU16BE(name, 3);
    PutU16BE(name, 1);
    PutU16BE(name, 0x0409);
    PutU16BE(name, 0);  // copyright: kept by an instance
    PutU16BE(name, static_cast<uint16_t>(text_bytes));
    PutU16BE(name, 0);
  }
  if (name.size() < 6 + size_t{text_bytes}) name.resize(6 + size_t{text_bytes}, 'A');
  Variable v;
  v.glyphs.assign(1, std::string());
  v.name = name;
  return BuildSfnt(VariableFontOf(v));
}

std::string ManyAxesGvarFont(uint32_t axes, uint32_t glyphs, uint32_t tuples) {
  Variable v;
  v.axes = axes;
  v.glyphs.assign(glyphs, std::string());
  // One shared peak, on the second axis: at wght's maximum it does not apply.
  v.shared_tuples.assign(axes, 0);
  v.shared_tuples[1] = 16384;
  std::string data;
  PutU16BE(data, static_cast<uint16_t>(tuples));
  PutU16BE(data, static_cast<uint16_t>(4 + 4 * tuples));
  for (uint32_t t = 0; t < tuples; ++t) PutU32BE(data, 0);  // no data, shared tuple 0
  v.glyph_variations.assign(glyphs, data);
  return BuildSfnt(VariableFontOf(v));
}

std::string SharedFaceCollection(uint32_t faces, uint32_t records) {
  SfntFont font;
  font.Add("OS/2", Os2Table()).Add("name", ManyRecordNames(records));
  const uint32_t start = 12 + 4 * faces;
  std::string out = "ttcf";
  PutU32BE(out, 0x00010000);
  PutU32BE(out, faces);
  for (uint32_t i = 0; i < faces; ++i) PutU32BE(out, start);
  return out + BuildSfnt(font, start);
}

std::string SharedFaceWoff2Collection(uint32_t faces, uint32_t records) {
  const std::string os2 = Os2Table(), name = ManyRecordNames(records);
  auto base128 = [](std::string& out, size_t value) {
    for (int shift = 28; shift > 0; shift -= 7)
      if (value >> shift) out += static_cast<char>(0x80 | (value >> shift & 0x7F));
    out += static_cast<char>(value & 0x7F);
  };
  std::string directory;
  directory += '\x06';  // OS/2, kept as it is
  base128(directory, os2.size());
  directory += '\x05';  // name
  base128(directory, name.size());
  PutU32BE(directory, 0x00010000);
  Put255UInt16(directory, faces);
  for (uint32_t i = 0; i < faces; ++i) {
    directory += '\x02';
    PutU32BE(directory, 0x00010000);
    directory += '\x00';
    directory += '\x01';
  }
  const std::string stream = StoredBrotli(os2 + name);
  const uint64_t per_face = 12 + 2 * 16;
  const uint64_t decoded = 12 + 4 * uint64_t{faces} + per_face * faces + ((os2.size() + 3) & ~3u) +
                           ((name.size() + 3) & ~3u);
  std::string out(48, '\0');
  out.replace(0, 4, "wOF2");
  out.replace(4, 4, "ttcf");
  SetU16BE(out, 12, 2);
  SetU32BE(out, 16, static_cast<uint32_t>(decoded));
  SetU32BE(out, 20, static_cast<uint32_t>(stream.size()));
  out += directory + stream;
  out.resize((out.size() + 3) & ~size_t{3}, '\0');
  SetU32BE(out, 8, static_cast<uint32_t>(out.size()));
  return out;
}

std::string ZeroTableWoff(uint32_t size) {
  const std::string compressed = Deflate(std::string(size, '\0'));
  std::string out(44, '\0');
  out.replace(0, 4, "wOFF");
  SetU32BE(out, 4, 0x00010000);
  SetU16BE(out, 12, 1);
  SetU32BE(out, 16, 12 + 16 + ((size + 3) & ~3u));
  out += "zero";
  PutU32BE(out, 64);
  PutU32BE(out, static_cast<uint32_t>(compressed.size()));
  PutU32BE(out, size);
  PutU32BE(out, 0);
  out += compressed;
  out.resize((out.size() + 3) & ~size_t{3}, '\0');
  SetU32BE(out, 8, static_cast<uint32_t>(out.size()));
  return out;
}

std::string SharedBitmapFont(uint32_t glyphs, uint32_t side, bool sbix) {
  const std::string png = Png(side);
  const uint32_t count = glyphs + 1;  // glyph 0 is .notdef
  SfntFont font;
  std::string head(54, '\0');
  SetU32BE(head, 0, 0x00010000);
  SetU32BE(head, 12, 0x5F0F3CF5);
  SetU16BE(head, 18, 2048);
  SetU16BE(head, 50, 1);
  std::string hhea(36, '\0');
  SetU32BE(hhea, 0, 0x00010000);
  SetU16BE(hhea, 4, 1900);
  SetU16BE(hhea, 6, static_cast<uint16_t>(-500));
  SetU16BE(hhea, 34, static_cast<uint16_t>(count));
  std::string hmtx, loca, maxp;
  for (uint32_t g = 0; g < count; ++g) {
    PutU16BE(hmtx, 2550);
    PutU16BE(hmtx, 0);
  }
  for (uint32_t g = 0; g <= count; ++g) PutU32BE(loca, 0);
  PutU32BE(maxp, 0x00005000);
  PutU16BE(maxp, static_cast<uint16_t>(count));
  const uint16_t first = 0x20;
  const std::string cmap = BuildCmap(
      {{3, 1,
        CmapFormat4({{first, static_cast<uint16_t>(first + glyphs - 1),
                      static_cast<uint16_t>(1 - first)},
                     {0xFFFF, 0xFFFF, 1}})}});
  font.Add("head", head).Add("hhea", hhea).Add("maxp", maxp).Add("hmtx", hmtx);
  font.Add("loca", loca).Add("glyf", "").Add("cmap", cmap).Add("OS/2", Os2Table());
  font.Add("name", BuildNameTable(NameTable{}.Add(1, u"Shared Bitmap").Add(2, u"Regular")));
  if (sbix) {
    std::string strike, table;
    PutU16BE(strike, 109);
    PutU16BE(strike, 72);
    std::string data;
    std::vector<uint32_t> offsets;
    const uint32_t header = 4 + 4 * (count + 1);
    for (uint32_t g = 0; g < count; ++g) {
      offsets.push_back(header + static_cast<uint32_t>(data.size()));
      if (g == 0) continue;
      PutU16BE(data, 0);
      PutU16BE(data, 0);
      if (g == 1) {
        data += "png " + png;
      } else {
        data += "dupe";
        PutU16BE(data, 1);
      }
    }
    offsets.push_back(header + static_cast<uint32_t>(data.size()));
    for (uint32_t offset : offsets) PutU32BE(strike, offset);
    PutU16BE(table, 1);
    PutU16BE(table, 1);
    PutU32BE(table, 1);
    PutU32BE(table, 12);
    font.Add("sbix", table + strike + data);
  } else {
    // CBDT: one format 17 image. CBLC: one strike whose index records, one a
    // glyph, all lead to one format 1 subtable pointing at that image.
    std::string cbdt;
    PutU32BE(cbdt, 0x00030000);
    const uint32_t image = static_cast<uint32_t>(cbdt.size());
    cbdt += std::string("\x6D\x6D\x00\x64\x6D", 5);  // height, width, bearings, advance
    PutU32BE(cbdt, static_cast<uint32_t>(png.size()));
    cbdt += png;
    std::string cblc;
    PutU32BE(cblc, 0x00030000);
    PutU32BE(cblc, 1);
    const uint32_t array = 8 + 48;
    PutU32BE(cblc, array);
    PutU32BE(cblc, 8 * glyphs + 16);
    PutU32BE(cblc, glyphs);
    PutU32BE(cblc, 0);
    std::string line(12, '\0');
    line[0] = 100;
    cblc += line + line;
    PutU16BE(cblc, 1);
    PutU16BE(cblc, static_cast<uint16_t>(glyphs));
    cblc += std::string("\x6D\x6D\x20\x01", 4);  // 109 ppem, 32 bits, horizontal
    const uint32_t subtable = 8 * glyphs;  // after the records, from the array
    for (uint32_t g = 1; g <= glyphs; ++g) {
      PutU16BE(cblc, static_cast<uint16_t>(g));
      PutU16BE(cblc, static_cast<uint16_t>(g));
      PutU32BE(cblc, subtable);
    }
    PutU16BE(cblc, 1);
    PutU16BE(cblc, 17);
    PutU32BE(cblc, image);
    PutU32BE(cblc, 0);
    PutU32BE(cblc, static_cast<uint32_t>(cbdt.size() - image));
    font.Add("CBDT", cbdt).Add("CBLC", cblc);
  }
  return BuildSfnt(font);
}

std::vector<HostileShape> HostileShapes() {
  return {
      {"shape-composite-dag-26.ttf", CompositeDagFont(26)},
      {"shape-hvar-long-item.ttf", LongItemHvarFont(65535, 65535)},
      {"shape-mvar-repeated.ttf", RepeatedMvarFont(8000, 65535)},
      {"shape-region-list-wraps.ttf", WrappingRegionListFont()},
      {"shape-item-row-wraps.ttf", WrappingRowFont()},
      {"shape-name-shared-text.ttf", SharedNameTextFont(65535)},
      {"shape-gvar-many-axes.ttf", ManyAxesGvarFont(16384, 32, 4095)},
      {"shape-faces-shared.ttc", SharedFaceCollection(16384, 16384)},
      {"shape-faces-shared.woff2", SharedFaceWoff2Collection(16384, 16384)},
      {"shape-woff-ratio.woff", ZeroTableWoff(16u << 20)},
      {"shape-bitmaps-shared-cbdt.ttf", SharedBitmapFont(1000, 2048, false)},
      {"shape-bitmaps-shared-sbix.ttf", SharedBitmapFont(1000, 2048, true)},
  };
}
