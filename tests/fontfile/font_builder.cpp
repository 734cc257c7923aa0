#include "font_builder.h"

#include <algorithm>

void PutU16BE(std::string& out, uint16_t value) {
  out += static_cast<char>(value >> 8);
  out += static_cast<char>(value);
}
void PutU32BE(std::string& out, uint32_t value) {
  PutU16BE(out, static_cast<uint16_t>(value >> 16));
  PutU16BE(out, static_cast<uint16_t>(value));
}
void PutU16LE(std::string& out, uint16_t value) {
  out += static_cast<char>(value);
  out += static_cast<char>(value >> 8);
}
void PutU32LE(std::string& out, uint32_t value) {
  PutU16LE(out, static_cast<uint16_t>(value));
  PutU16LE(out, static_cast<uint16_t>(value >> 16));
}
void SetU16BE(std::string& bytes, size_t at, uint16_t value) {
  std::string field;
  PutU16BE(field, value);
  bytes.replace(at, 2, field);
}
void SetU32BE(std::string& bytes, size_t at, uint32_t value) {
  std::string field;
  PutU32BE(field, value);
  bytes.replace(at, 4, field);
}
void SetU16LE(std::string& bytes, size_t at, uint16_t value) {
  std::string field;
  PutU16LE(field, value);
  bytes.replace(at, 2, field);
}
void SetU32LE(std::string& bytes, size_t at, uint32_t value) {
  std::string field;
  PutU32LE(field, value);
  bytes.replace(at, 4, field);
}

std::string Utf16BE(const std::u16string& text) {
  std::string out;
  for (char16_t unit : text) PutU16BE(out, static_cast<uint16_t>(unit));
  return out;
}

std::string Os2Table(const Os2Fields& fields) {
  std::string table(78, '\0');
  SetU16BE(table, 0, fields.version);
  SetU16BE(table, 4, fields.weight);
  SetU16BE(table, 6, fields.width);
  SetU16BE(table, 62, fields.selection);
  return table;
}

std::string BuildNameTable(const NameTable& table) {
  std::string records, storage;
  for (const NameRecord& record : table.records) {
    PutU16BE(records, record.platform);
    PutU16BE(records, record.encoding);
    PutU16BE(records, record.language);
    PutU16BE(records, record.name_id);
    PutU16BE(records, static_cast<uint16_t>(record.text.size()));
    PutU16BE(records, static_cast<uint16_t>(storage.size()));
    storage += record.text;
  }
  std::string out;
  PutU16BE(out, table.format);
  PutU16BE(out, static_cast<uint16_t>(table.records.size()));
  PutU16BE(out, static_cast<uint16_t>(6 + records.size() + table.gap));
  out += records;
  out += std::string(table.gap, '\xEE');
  return out + storage;
}

std::string BuildSfnt(const SfntFont& font, uint32_t base) {
  std::string out;
  PutU32BE(out, font.version);
  PutU16BE(out, static_cast<uint16_t>(font.tables.size()));
  PutU16BE(out, 0);
  PutU16BE(out, 0);
  PutU16BE(out, 0);
  uint32_t offset = static_cast<uint32_t>(12 + 16 * font.tables.size());
  std::string data;
  for (size_t i = 0; i < font.tables.size(); ++i) {
    const SfntTable& table = font.tables[i];
    out += table.tag.substr(0, 4);
    PutU32BE(out, 0);
    PutU32BE(out, base + offset + static_cast<uint32_t>(data.size()));
    PutU32BE(out, static_cast<uint32_t>(table.data.size()));
    data += table.data;
    if (i + 1 < font.tables.size()) data.resize((data.size() + 3) & ~size_t{3}, '\0');
  }
  return out + data;
}

SfntFont ReadSfntFont(ByteView view) {
  SfntFont font;
  uint16_t count = 0;
  if (!ReadU32BE(view, 0, 0, font.version) || !ReadU16BE(view, 0, 4, count)) return font;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t record = 12 + 16 * i;
    uint32_t offset = 0, length = 0;
    std::string tag, data;
    if (!ReadBytes(view, record, 4, tag) || !ReadU32BE(view, record, 8, offset) ||
        !ReadU32BE(view, record, 12, length) || !ReadBytes(view, offset, length, data))
      return SfntFont{};
    font.Add(tag, data);
  }
  return font;
}

std::string BuildCollection(const std::vector<SfntFont>& fonts) {
  std::string header = "ttcf";
  PutU32BE(header, 0x00010000);
  PutU32BE(header, static_cast<uint32_t>(fonts.size()));
  uint32_t offset = static_cast<uint32_t>(12 + 4 * fonts.size());
  std::string body;
  for (const SfntFont& font : fonts) {
    PutU32BE(header, offset + static_cast<uint32_t>(body.size()));
    body += BuildSfnt(font, offset + static_cast<uint32_t>(body.size()));
    body.resize((body.size() + 3) & ~size_t{3}, '\0');
  }
  return header + body;
}

SfntFont PlainSfnt() {
  SfntFont font;
  font.Add("OS/2", Os2Table()).Add("name", BuildNameTable(NameTable{}.Add(1, u"Demo").Add(2, u"Regular")));
  return font;
}

std::string BuildCmap(const std::vector<CmapSubtable>& subtables) {
  std::string out;
  PutU16BE(out, 0);
  PutU16BE(out, static_cast<uint16_t>(subtables.size()));
  uint32_t offset = static_cast<uint32_t>(4 + 8 * subtables.size());
  for (const CmapSubtable& sub : subtables) {
    PutU16BE(out, sub.platform);
    PutU16BE(out, sub.encoding);
    PutU32BE(out, offset);
    offset += static_cast<uint32_t>(sub.data.size());
  }
  for (const CmapSubtable& sub : subtables) out += sub.data;
  return out;
}

std::string CmapFormat4(const std::vector<CmapSegment>& segments) {
  const uint16_t count = static_cast<uint16_t>(segments.size());
  std::string ends, starts, deltas, offsets, glyphs;
  // Range offsets count from their own field to the segment's first glyph entry.
  const uint32_t offsets_start = 16 + 6u * count;
  const uint32_t glyphs_start = offsets_start + 2u * count;
  for (uint16_t i = 0; i < count; ++i) {
    const CmapSegment& s = segments[i];
    PutU16BE(ends, s.end);
    PutU16BE(starts, s.start);
    PutU16BE(deltas, s.delta);
    if (s.glyphs.empty()) {
      PutU16BE(offsets, 0);
      continue;
    }
    PutU16BE(offsets, static_cast<uint16_t>(glyphs_start + glyphs.size() - (offsets_start + 2 * i)));
    for (uint16_t g : s.glyphs) PutU16BE(glyphs, g);
  }
  std::string out;
  PutU16BE(out, 4);
  PutU16BE(out, static_cast<uint16_t>(glyphs_start + glyphs.size()));
  PutU16BE(out, 0);
  PutU16BE(out, static_cast<uint16_t>(2 * count));
  PutU16BE(out, 0);
  PutU16BE(out, 0);
  PutU16BE(out, 0);
  out += ends;
  PutU16BE(out, 0);
  return out + starts + deltas + offsets + glyphs;
}

std::string CmapGroups(uint16_t format, const std::vector<CmapGroup>& groups) {
  std::string out;
  PutU16BE(out, format);
  PutU16BE(out, 0);
  PutU32BE(out, static_cast<uint32_t>(16 + 12 * groups.size()));
  PutU32BE(out, 0);
  PutU32BE(out, static_cast<uint32_t>(groups.size()));
  for (const CmapGroup& g : groups) {
    PutU32BE(out, g.first);
    PutU32BE(out, g.last);
    PutU32BE(out, g.glyph);
  }
  return out;
}

std::string CmapFormat0(const std::vector<uint8_t>& glyphs) {
  std::string out;
  PutU16BE(out, 0);
  PutU16BE(out, 262);
  PutU16BE(out, 0);
  for (size_t i = 0; i < 256; ++i) out += static_cast<char>(i < glyphs.size() ? glyphs[i] : 0);
  return out;
}

std::string CmapFormat6(uint16_t first, const std::vector<uint16_t>& glyphs) {
  std::string out;
  PutU16BE(out, 6);
  PutU16BE(out, static_cast<uint16_t>(10 + 2 * glyphs.size()));
  PutU16BE(out, 0);
  PutU16BE(out, first);
  PutU16BE(out, static_cast<uint16_t>(glyphs.size()));
  for (uint16_t g : glyphs) PutU16BE(out, g);
  return out;
}

std::string BuildFontHeader(const FontHeader& header) {
  std::string out(kFontHeaderFixedSize, '\0');
  SetU16LE(out, 0, header.version);
  out.replace(6, header.copyright.size() < 60 ? header.copyright.size() : 60, header.copyright.substr(0, 60));
  SetU16LE(out, 66, header.type);
  out[80] = static_cast<char>(header.italic);
  out[81] = static_cast<char>(header.underline);
  out[82] = static_cast<char>(header.strike_out);
  SetU16LE(out, 83, header.weight);
  out[85] = static_cast<char>(header.charset);
  out[95] = static_cast<char>(header.first_char);
  out[96] = static_cast<char>(header.last_char);
  SetU32LE(out, kFontHeaderFaceOffsetField, kFontHeaderFixedSize);
  out += header.face;
  out += '\0';
  out += header.after_face;
  out += '\0';
  return out;
}

namespace {
void AlignTo(std::string& out, uint32_t alignment) {
  while (out.size() % alignment) out += '\0';
}

void PutResourceEntry(std::string& out, uint16_t shifted_offset) {
  PutU16LE(out, shifted_offset);
  PutU16LE(out, 1);       // length, in alignment units
  PutU16LE(out, 0x0C50);  // flags: moveable, pure, preload
  PutU16LE(out, 0x8001);  // resource id
  PutU32LE(out, 0);
}
}  // namespace

std::string BuildFon(const FonFile& fon, FonLayout* layout) {
  FonLayout at;
  at.ne = 0x80;
  at.resource_table = at.ne + 0x40;
  uint32_t alignment = fon.shift < 16 ? 1u << fon.shift : 16;

  // Resource table, with placeholders for the data offsets.
  std::string table;
  PutU16LE(table, fon.shift);
  if (fon.font_directory) {
    at.directory_entry = at.resource_table + static_cast<uint32_t>(table.size());
    PutU16LE(table, 0x8007);
    PutU16LE(table, 1);
    PutU32LE(table, 0);
    PutResourceEntry(table, 0);
  }
  at.font_entry = at.resource_table + static_cast<uint32_t>(table.size());
  PutU16LE(table, 0x8008);
  PutU16LE(table, static_cast<uint16_t>(fon.fonts.size()));
  PutU32LE(table, 0);
  for (size_t i = 0; i < fon.fonts.size(); ++i) PutResourceEntry(table, 0);
  PutU16LE(table, 0);

  std::string out(at.ne, '\0');
  out[0] = 'M';
  out[1] = 'Z';
  SetU32LE(out, kFonNeOffsetField, at.ne);
  std::string ne(0x40, '\0');
  ne[0] = 'N';
  ne[1] = 'E';
  SetU16LE(ne, kNeResourceTableField, 0x40);
  out += ne;
  out += table;

  at.names = static_cast<uint32_t>(out.size());
  out += static_cast<char>(fon.description.size());
  out += fon.description;
  out += '\0';
  SetU32LE(out, at.ne + kNeNonResidentNamesField, at.names);

  AlignTo(out, alignment);
  at.directory_data = static_cast<uint32_t>(out.size());
  PutU16LE(out, fon.directory_font_count);
  out += std::string(14, '\0');
  for (const FontHeader& header : fon.fonts) {
    AlignTo(out, alignment);
    at.font_data.push_back(static_cast<uint32_t>(out.size()));
    out += BuildFontHeader(header);
  }

  auto shifted = [&fon](uint32_t offset) {
    return static_cast<uint16_t>(fon.shift < 32 ? offset >> fon.shift : 0);
  };
  if (fon.font_directory) SetU16LE(out, at.directory_entry + 8, shifted(at.directory_data));
  for (size_t i = 0; i < fon.fonts.size(); ++i)
    SetU16LE(out, at.font_entry + 8 + 12 * i, shifted(at.font_data[i]));
  if (layout) *layout = at;
  return out;
}

std::string BuildPfm(FontHeader header, uint16_t version) {
  header.version = version;
  return BuildFontHeader(header);
}

// ---- Variable TrueType fonts ----------------------------------------------------

std::string PackedPoints(const std::vector<uint16_t>& points) {
  std::string out;
  const size_t count = points.size();
  if (count < 0x80) {
    out += static_cast<char>(count);
  } else {
    out += static_cast<char>(0x80 | count >> 8);
    out += static_cast<char>(count);
  }
  uint16_t last = 0;
  for (size_t i = 0; i < count;) {
    const bool words = points[i] - last > 255;
    size_t run = 0;
    std::string values;
    while (i < count && run < 128 && (points[i] - last > 255) == words) {
      if (words) PutU16BE(values, static_cast<uint16_t>(points[i] - last));
      else values += static_cast<char>(points[i] - last);
      last = points[i++];
      ++run;
    }
    out += static_cast<char>((words ? 0x80 : 0) | (run - 1));
    out += values;
  }
  return out;
}

std::string PackedDeltas(const std::vector<int16_t>& deltas) {
  std::string out;
  auto kind = [](int16_t v) { return v == 0 ? 0 : v >= -128 && v <= 127 ? 1 : 2; };
  for (size_t i = 0; i < deltas.size();) {
    const int k = kind(deltas[i]);
    size_t run = 0;
    std::string values;
    while (i < deltas.size() && run < 64 && kind(deltas[i]) == k) {
      if (k == 1) values += static_cast<char>(deltas[i]);
      if (k == 2) PutU16BE(values, static_cast<uint16_t>(deltas[i]));
      ++i;
      ++run;
    }
    out += static_cast<char>((k == 0 ? 0x80 : k == 2 ? 0x40 : 0) | (run - 1));
    out += values;
  }
  return out;
}

std::string GlyphVariationData(const std::vector<GvarTuple>& tuples,
                               const std::string& shared_points) {
  std::string headers, data = shared_points;
  for (const GvarTuple& tuple : tuples) {
    PutU16BE(headers, static_cast<uint16_t>(tuple.data.size()));
    PutU16BE(headers, tuple.index);
    for (int16_t v : tuple.peak) PutU16BE(headers, static_cast<uint16_t>(v));
    for (int16_t v : tuple.start) PutU16BE(headers, static_cast<uint16_t>(v));
    for (int16_t v : tuple.end) PutU16BE(headers, static_cast<uint16_t>(v));
    data += tuple.data;
  }
  std::string out;
  PutU16BE(out, static_cast<uint16_t>((shared_points.empty() ? 0 : 0x8000) | tuples.size()));
  PutU16BE(out, static_cast<uint16_t>(4 + headers.size()));
  return out + headers + data;
}

SfntFont VariableSfnt(const VariableFont& font) {
  // glyf: the simple glyph, the composite, the empty glyph.
  std::string simple;
  int16_t x_min = 0x7FFF, y_min = 0x7FFF, x_max = -0x8000, y_max = -0x8000;
  for (const auto& [x, y] : font.points) {
    x_min = std::min(x_min, x);
    y_min = std::min(y_min, y);
    x_max = std::max(x_max, x);
    y_max = std::max(y_max, y);
  }
  PutU16BE(simple, 1);
  for (int16_t v : {x_min, y_min, x_max, y_max}) PutU16BE(simple, static_cast<uint16_t>(v));
  PutU16BE(simple, static_cast<uint16_t>(font.points.size() - 1));
  PutU16BE(simple, 0);  // no instructions
  std::string xs, ys;
  int16_t last_x = 0, last_y = 0;
  for (const auto& [x, y] : font.points) {
    simple += '\x01';  // on curve, word steps
    PutU16BE(xs, static_cast<uint16_t>(x - last_x));
    PutU16BE(ys, static_cast<uint16_t>(y - last_y));
    last_x = x;
    last_y = y;
  }
  simple += xs + ys;
  simple.resize((simple.size() + 3) & ~size_t{3}, '\0');
  auto composite_of = [&](uint16_t component, int16_t x, int16_t y) {
    std::string out;
    PutU16BE(out, 0xFFFF);
    for (int16_t v : {x_min, y_min, x_max, y_max}) PutU16BE(out, static_cast<uint16_t>(v));
    PutU16BE(out, 0x0003);  // word args, xy values
    PutU16BE(out, component);
    PutU16BE(out, static_cast<uint16_t>(x));
    PutU16BE(out, static_cast<uint16_t>(y));
    return out;
  };
  const std::string composite = composite_of(font.component, font.component_x, font.component_y);
  const std::string second =
      font.second_component < 0 ? "" : composite_of(static_cast<uint16_t>(font.second_component), 0, 0);
  std::string glyf = simple + composite + second, loca;
  for (size_t offset : {size_t{0}, simple.size(), simple.size() + composite.size(), glyf.size()})
    PutU32BE(loca, static_cast<uint32_t>(offset));

  std::string head(54, '\0');
  SetU32BE(head, 0, 0x00010000);
  SetU32BE(head, 12, 0x5F0F3CF5);
  SetU16BE(head, 18, 1000);
  SetU16BE(head, 50, 1);  // long loca
  std::string hhea(36, '\0');
  SetU32BE(hhea, 0, 0x00010000);
  SetU16BE(hhea, 34, 3);
  std::string hmtx;
  for (int g = 0; g < 3; ++g) {
    PutU16BE(hmtx, font.advances[g]);
    PutU16BE(hmtx, static_cast<uint16_t>(g == 2 ? 0 : x_min));
  }
  std::string maxp;
  PutU32BE(maxp, 0x00005000);
  PutU16BE(maxp, 3);

  std::string fvar;
  PutU16BE(fvar, 1);
  PutU16BE(fvar, 0);
  PutU16BE(fvar, 16);  // axes offset
  PutU16BE(fvar, 2);
  PutU16BE(fvar, 1);   // one axis
  PutU16BE(fvar, 20);
  PutU16BE(fvar, 0);   // no named instances
  PutU16BE(fvar, 8);
  fvar += "wght";
  PutU32BE(fvar, 100 << 16);
  PutU32BE(fvar, 400 << 16);
  PutU32BE(fvar, 900 << 16);
  PutU16BE(fvar, 0);
  PutU16BE(fvar, 256);

  std::string gvar, offsets, data;
  const uint32_t shared = 20 + 4 * 4;
  const std::string shared_tuples = [&] {
    std::string out;
    for (int16_t peak : font.shared_peaks)
      for (int a = 0; a < font.gvar_axis_count; ++a) PutU16BE(out, static_cast<uint16_t>(peak));
    return out;
  }();
  for (int g = 0; g < 3; ++g) {
    PutU32BE(offsets, static_cast<uint32_t>(data.size()));
    data += font.glyph_variations[g];
    data.resize((data.size() + 1) & ~size_t{1}, '\0');
  }
  PutU32BE(offsets, static_cast<uint32_t>(data.size()));
  PutU16BE(gvar, 1);
  PutU16BE(gvar, 0);
  PutU16BE(gvar, font.gvar_axis_count);
  PutU16BE(gvar, static_cast<uint16_t>(font.shared_peaks.size()));
  PutU32BE(gvar, shared);
  PutU16BE(gvar, font.gvar_glyph_count);
  PutU16BE(gvar, 1);  // long offsets
  PutU32BE(gvar, static_cast<uint32_t>(shared + shared_tuples.size()));
  gvar += offsets + shared_tuples + data;

  SfntFont sfnt;
  sfnt.Add("head", head).Add("hhea", hhea).Add("maxp", maxp).Add("hmtx", hmtx);
  sfnt.Add("loca", loca).Add("glyf", glyf).Add("fvar", fvar).Add("gvar", gvar);
  sfnt.Add("name", BuildNameTable(NameTable{}.Add(1, u"Demo VF").Add(2, u"Regular")));
  if (!font.os2.empty()) sfnt.Add("OS/2", font.os2);
  if (!font.avar.empty()) sfnt.Add("avar", font.avar);
  if (!font.hvar.empty()) sfnt.Add("HVAR", font.hvar);
  if (!font.mvar.empty()) sfnt.Add("MVAR", font.mvar);
  return sfnt;
}
