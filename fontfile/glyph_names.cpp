#include "fontfile/glyph_names.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <unordered_map>

namespace {

// The 258 glyph names of the Macintosh character set, which post formats 1.0
// and 2.0 refer to by number.
constexpr std::array<const char*, 258> kMacintoshNames = {
    ".notdef", ".null", "nonmarkingreturn", "space", "exclam", "quotedbl", "numbersign",
    "dollar", "percent", "ampersand", "quotesingle", "parenleft", "parenright", "asterisk",
    "plus", "comma", "hyphen", "period", "slash", "zero", "one", "two", "three", "four",
    "five", "six", "seven", "eight", "nine", "colon", "semicolon", "less", "equal", "greater",
    "question", "at", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N",
    "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z", "bracketleft", "backslash",
    "bracketright", "asciicircum", "underscore", "grave", "a", "b", "c", "d", "e", "f", "g",
    "h", "i", "j", "k", "l", "m", "n", "o", "p", "q", "r", "s", "t", "u", "v", "w", "x", "y",
    "z", "braceleft", "bar", "braceright", "asciitilde", "Adieresis", "Aring", "Ccedilla",
    "Eacute", "Ntilde", "Odieresis", "Udieresis", "aacute", "agrave", "acircumflex",
    "adieresis", "atilde", "aring", "ccedilla", "eacute", "egrave", "ecircumflex", "edieresis",
    "iacute", "igrave", "icircumflex", "idieresis", "ntilde", "oacute", "ograve",
    "ocircumflex", "odieresis", "otilde", "uacute", "ugrave", "ucircumflex", "udieresis",
    "dagger", "degree", "cent", "sterling", "section", "bullet", "paragraph", "germandbls",
    "registered", "copyright", "trademark", "acute", "dieresis", "notequal", "AE", "Oslash",
    "infinity", "plusminus", "lessequal", "greaterequal", "yen", "mu", "partialdiff",
    "summation", "product", "pi", "integral", "ordfeminine", "ordmasculine", "Omega", "ae",
    "oslash", "questiondown", "exclamdown", "logicalnot", "radical", "florin", "approxequal",
    "Delta", "guillemotleft", "guillemotright", "ellipsis", "nonbreakingspace", "Agrave",
    "Atilde", "Otilde", "OE", "oe", "endash", "emdash", "quotedblleft", "quotedblright",
    "quoteleft", "quoteright", "divide", "lozenge", "ydieresis", "Ydieresis", "fraction",
    "currency", "guilsinglleft", "guilsinglright", "fi", "fl", "daggerdbl", "periodcentered",
    "quotesinglbase", "quotedblbase", "perthousand", "Acircumflex", "Ecircumflex", "Aacute",
    "Edieresis", "Egrave", "Iacute", "Icircumflex", "Idieresis", "Igrave", "Oacute",
    "Ocircumflex", "apple", "Ograve", "Uacute", "Ucircumflex", "Ugrave", "dotlessi",
    "circumflex", "tilde", "macron", "breve", "dotaccent", "ring", "cedilla", "hungarumlaut",
    "ogonek", "caron", "Lslash", "lslash", "Scaron", "scaron", "Zcaron", "zcaron", "brokenbar",
    "Eth", "eth", "Yacute", "yacute", "Thorn", "thorn", "minus", "multiply", "onesuperior",
    "twosuperior", "threesuperior", "onehalf", "onequarter", "threequarters", "franc",
    "Gbreve", "gbreve", "Idotaccent", "Scedilla", "scedilla", "Cacute", "cacute", "Ccaron",
    "ccaron", "dcroat",
};

// The 391 standard strings of CFF, which a charset refers to by string id.
constexpr std::array<const char*, 391> kCffStandardStrings = {
    ".notdef", "space", "exclam", "quotedbl", "numbersign", "dollar", "percent", "ampersand",
    "quoteright", "parenleft", "parenright", "asterisk", "plus", "comma", "hyphen", "period",
    "slash", "zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine",
    "colon", "semicolon", "less", "equal", "greater", "question", "at", "A", "B", "C", "D",
    "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P", "Q", "R", "S", "T", "U", "V",
    "W", "X", "Y", "Z", "bracketleft", "backslash", "bracketright", "asciicircum",
    "underscore", "quoteleft", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m",
    "n", "o", "p", "q", "r", "s", "t", "u", "v", "w", "x", "y", "z", "braceleft", "bar",
    "braceright", "asciitilde", "exclamdown", "cent", "sterling", "fraction", "yen", "florin",
    "section", "currency", "quotesingle", "quotedblleft", "guillemotleft", "guilsinglleft",
    "guilsinglright", "fi", "fl", "endash", "dagger", "daggerdbl", "periodcentered",
    "paragraph", "bullet", "quotesinglbase", "quotedblbase", "quotedblright", "guillemotright",
    "ellipsis", "perthousand", "questiondown", "grave", "acute", "circumflex", "tilde",
    "macron", "breve", "dotaccent", "dieresis", "ring", "cedilla", "hungarumlaut", "ogonek",
    "caron", "emdash", "AE", "ordfeminine", "Lslash", "Oslash", "OE", "ordmasculine", "ae",
    "dotlessi", "lslash", "oslash", "oe", "germandbls", "onesuperior", "logicalnot", "mu",
    "trademark", "Eth", "onehalf", "plusminus", "Thorn", "onequarter", "divide", "brokenbar",
    "degree", "thorn", "threequarters", "twosuperior", "registered", "minus", "eth",
    "multiply", "threesuperior", "copyright", "Aacute", "Acircumflex", "Adieresis", "Agrave",
    "Aring", "Atilde", "Ccedilla", "Eacute", "Ecircumflex", "Edieresis", "Egrave", "Iacute",
    "Icircumflex", "Idieresis", "Igrave", "Ntilde", "Oacute", "Ocircumflex", "Odieresis",
    "Ograve", "Otilde", "Scaron", "Uacute", "Ucircumflex", "Udieresis", "Ugrave", "Yacute",
    "Ydieresis", "Zcaron", "aacute", "acircumflex", "adieresis", "agrave", "aring", "atilde",
    "ccedilla", "eacute", "ecircumflex", "edieresis", "egrave", "iacute", "icircumflex",
    "idieresis", "igrave", "ntilde", "oacute", "ocircumflex", "odieresis", "ograve", "otilde",
    "scaron", "uacute", "ucircumflex", "udieresis", "ugrave", "yacute", "ydieresis", "zcaron",
    "exclamsmall", "Hungarumlautsmall", "dollaroldstyle", "dollarsuperior", "ampersandsmall",
    "Acutesmall", "parenleftsuperior", "parenrightsuperior", "twodotenleader",
    "onedotenleader", "zerooldstyle", "oneoldstyle", "twooldstyle", "threeoldstyle",
    "fouroldstyle", "fiveoldstyle", "sixoldstyle", "sevenoldstyle", "eightoldstyle",
    "nineoldstyle", "commasuperior", "threequartersemdash", "periodsuperior", "questionsmall",
    "asuperior", "bsuperior", "centsuperior", "dsuperior", "esuperior", "isuperior",
    "lsuperior", "msuperior", "nsuperior", "osuperior", "rsuperior", "ssuperior", "tsuperior",
    "ff", "ffi", "ffl", "parenleftinferior", "parenrightinferior", "Circumflexsmall",
    "hyphensuperior", "Gravesmall", "Asmall", "Bsmall", "Csmall", "Dsmall", "Esmall", "Fsmall",
    "Gsmall", "Hsmall", "Ismall", "Jsmall", "Ksmall", "Lsmall", "Msmall", "Nsmall", "Osmall",
    "Psmall", "Qsmall", "Rsmall", "Ssmall", "Tsmall", "Usmall", "Vsmall", "Wsmall", "Xsmall",
    "Ysmall", "Zsmall", "colonmonetary", "onefitted", "rupiah", "Tildesmall",
    "exclamdownsmall", "centoldstyle", "Lslashsmall", "Scaronsmall", "Zcaronsmall",
    "Dieresissmall", "Brevesmall", "Caronsmall", "Dotaccentsmall", "Macronsmall", "figuredash",
    "hypheninferior", "Ogoneksmall", "Ringsmall", "Cedillasmall", "questiondownsmall",
    "oneeighth", "threeeighths", "fiveeighths", "seveneighths", "onethird", "twothirds",
    "zerosuperior", "foursuperior", "fivesuperior", "sixsuperior", "sevensuperior",
    "eightsuperior", "ninesuperior", "zeroinferior", "oneinferior", "twoinferior",
    "threeinferior", "fourinferior", "fiveinferior", "sixinferior", "seveninferior",
    "eightinferior", "nineinferior", "centinferior", "dollarinferior", "periodinferior",
    "commainferior", "Agravesmall", "Aacutesmall", "Acircumflexsmall", "Atildesmall",
    "Adieresissmall", "Aringsmall", "AEsmall", "Ccedillasmall", "Egravesmall", "Eacutesmall",
    "Ecircumflexsmall", "Edieresissmall", "Igravesmall", "Iacutesmall", "Icircumflexsmall",
    "Idieresissmall", "Ethsmall", "Ntildesmall", "Ogravesmall", "Oacutesmall",
    "Ocircumflexsmall", "Otildesmall", "Odieresissmall", "OEsmall", "Oslashsmall",
    "Ugravesmall", "Uacutesmall", "Ucircumflexsmall", "Udieresissmall", "Yacutesmall",
    "Thornsmall", "Ydieresissmall", "001.000", "001.001", "001.002", "001.003", "Black",
    "Bold", "Book", "Light", "Medium", "Regular", "Roman", "Semibold",
};

constexpr uint32_t kPostHeaderSize = 32;
constexpr uint32_t kIsoAdobeCharsetLast = 228;  // charset 0 names glyph g by string id g

// A name's bytes as they are shown: printable ASCII, anything else '?'.
void AppendName(std::string& text, ByteView bytes) {
  for (uint32_t i = 0; i < bytes.size; ++i) {
    uint8_t byte = 0;
    ReadU8(bytes, i, 0, byte);
    text += byte > 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?';
  }
  text += '\0';
}

// Copies a name into the text unless it is empty or the text could no longer
// be addressed; its offset, or kNoName.
uint32_t KeepName(GlyphNames& names, ByteView bytes) {
  if (bytes.size == 0 || names.text.size() + bytes.size + 1 >= kStandardName) return kNoName;
  const uint32_t offset = static_cast<uint32_t>(names.text.size());
  AppendName(names.text, bytes);
  return offset;
}

// post formats 1.0 and 2.0. Format 2.0 numbers each glyph's name: below 258 a
// Macintosh name, from 258 on the Pascal strings after the numbers, in order.
void ReadPostNames(ByteView post, GlyphNames& names) {
  uint32_t version = 0;
  if (!ReadU32BE(post, 0, 0, version)) {
    names.post_damaged = post.size != 0;
    return;
  }
  if (version == 0x00010000) {
    names.post.assign(std::min<uint32_t>(names.glyph_count, kMacintoshNames.size()), 0);
    for (uint32_t glyph = 0; glyph < names.post.size(); ++glyph) names.post[glyph] = kStandardName | glyph;
    return;
  }
  if (version != 0x00020000) return;
  uint16_t count = 0;
  if (!ReadU16BE(post, kPostHeaderSize, 0, count)) {
    names.post_damaged = true;
    return;
  }
  const uint32_t numbers = kPostHeaderSize + 2;
  uint32_t readable = count;
  if (!InBounds(post, numbers, 2 * readable)) {
    names.post_damaged = true;
    readable = (post.size - numbers) / 2;
  }
  const uint32_t named = std::min(readable, names.glyph_count);
  // The strings that some glyph refers to, found in one walk of the table: as
  // many as the highest number asks for, and never more than the table holds.
  uint32_t highest = 0;
  for (uint32_t glyph = 0; glyph < named; ++glyph) {
    uint16_t number = 0;
    ReadU16BE(post, numbers, 2 * glyph, number);
    highest = std::max<uint32_t>(highest, number);
  }
  std::vector<ByteView> strings;
  uint32_t at = numbers + 2 * readable;
  while (strings.size() + kMacintoshNames.size() <= highest) {
    uint8_t length = 0;
    if (!ReadU8(post, at, 0, length)) break;
    const std::optional<ByteView> text = SubView(post, at + 1, length);
    if (!text) {
      names.post_damaged = true;
      break;
    }
    strings.push_back(*text);
    at += 1 + length;
  }
  // Each string is copied once, however many glyphs share it.
  std::vector<uint32_t> kept(strings.size(), kNoName - 1);
  names.post.assign(named, kNoName);
  for (uint32_t glyph = 0; glyph < named; ++glyph) {
    uint16_t number = 0;
    ReadU16BE(post, numbers, 2 * glyph, number);
    if (number < kMacintoshNames.size()) {
      names.post[glyph] = kStandardName | number;
      continue;
    }
    const uint32_t index = number - static_cast<uint32_t>(kMacintoshNames.size());
    if (index >= strings.size()) {
      names.post_damaged = true;
      continue;
    }
    if (kept[index] == kNoName - 1) kept[index] = KeepName(names, strings[index]);
    names.post[glyph] = kept[index];
  }
}

// ---- CFF ----------------------------------------------------------------------

// An INDEX: `count` entries whose offsets (1-based, from the byte before the
// data) are `offset_size` bytes wide.
struct CffIndex {
  uint32_t count = 0, offsets = 0, data = 0, end = 0;
  uint8_t offset_size = 0;
};

bool ReadOffset(ByteView cff, const CffIndex& index, uint32_t i, uint32_t& out) {
  out = 0;
  for (uint32_t b = 0; b < index.offset_size; ++b) {
    uint8_t byte = 0;
    if (!ReadU8(cff, index.offsets, i * index.offset_size + b, byte)) return false;
    out = out << 8 | byte;
  }
  return true;
}

bool ReadIndex(ByteView cff, uint32_t at, CffIndex& index) {
  uint16_t count = 0;
  if (!ReadU16BE(cff, at, 0, count)) return false;
  index = CffIndex{};
  index.count = count;
  if (count == 0) {
    index.end = at + 2;
    return true;
  }
  if (!ReadU8(cff, at, 2, index.offset_size) || index.offset_size < 1 || index.offset_size > 4)
    return false;
  index.offsets = at + 3;
  const uint64_t data = uint64_t{index.offsets} + uint64_t{count + 1u} * index.offset_size - 1;
  uint32_t last = 0;
  if (data > cff.size || !ReadOffset(cff, index, count, last)) return false;
  index.data = static_cast<uint32_t>(data);
  return CheckedAdd(index.data, last, index.end) && index.end <= cff.size;
}

std::optional<ByteView> IndexEntry(ByteView cff, const CffIndex& index, uint32_t i) {
  uint32_t first = 0, next = 0;
  if (i >= index.count || !ReadOffset(cff, index, i, first) || !ReadOffset(cff, index, i + 1, next) ||
      first == 0 || next < first)
    return std::nullopt;
  return SubView(cff, index.data + first, next - first);
}

// What the names need of the Top DICT: the charset's offset and whether the
// font is CID-keyed (its ROS operator).
struct TopDict {
  uint32_t charset = 0;
  bool cid_keyed = false;
};

// DICT data: operands, then the operator that takes them. Only integers matter
// here; a real number counts as an operand of value 0.
bool ReadTopDict(ByteView dict, TopDict& out) {
  int64_t last = 0;
  uint32_t at = 0;
  while (at < dict.size) {
    uint8_t b0 = 0;
    ReadU8(dict, at, 0, b0);
    ++at;
    if (b0 <= 21) {
      uint16_t op = b0;
      if (b0 == 12) {
        uint8_t b1 = 0;
        if (!ReadU8(dict, at, 0, b1)) return false;
        ++at;
        op = 0x0C00 | b1;
      }
      if (op == 15 && last >= 0 && last <= UINT32_MAX) out.charset = static_cast<uint32_t>(last);
      if (op == 0x0C1E) out.cid_keyed = true;
      last = 0;
    } else if (b0 == 28 || b0 == 29) {
      const uint32_t width = b0 == 28 ? 2 : 4;
      uint32_t value = 0;
      if (width == 2) {
        uint16_t v = 0;
        if (!ReadU16BE(dict, at, 0, v)) return false;
        last = static_cast<int16_t>(v);
      } else {
        if (!ReadU32BE(dict, at, 0, value)) return false;
        last = static_cast<int32_t>(value);
      }
      at += width;
    } else if (b0 == 30) {
      // A real: nibbles up to the one of value 0xF.
      for (;;) {
        uint8_t nibbles = 0;
        if (!ReadU8(dict, at, 0, nibbles)) return false;
        ++at;
        if ((nibbles & 0x0F) == 0x0F || (nibbles >> 4) == 0x0F) break;
      }
      last = 0;
    } else if (b0 >= 32 && b0 <= 246) {
      last = b0 - 139;
    } else if (b0 >= 247 && b0 <= 254) {
      uint8_t b1 = 0;
      if (!ReadU8(dict, at, 0, b1)) return false;
      ++at;
      last = b0 <= 250 ? (b0 - 247) * 256 + b1 + 108 : -(b0 - 251) * 256 - b1 - 108;
    } else {
      return false;  // reserved bytes
    }
  }
  return true;
}

struct CffStrings {
  ByteView cff;
  CffIndex index;
  std::unordered_map<uint32_t, uint32_t> kept;  // string id -> offset in the text
};

uint32_t NameOfString(GlyphNames& names, CffStrings& strings, uint32_t sid) {
  if (sid < kCffStandardStrings.size()) return kStandardName | sid;
  auto [where, added] = strings.kept.try_emplace(sid, kNoName);
  if (!added) return where->second;
  const std::optional<ByteView> bytes =
      IndexEntry(strings.cff, strings.index, sid - static_cast<uint32_t>(kCffStandardStrings.size()));
  if (!bytes) names.cff_damaged = true;
  else where->second = KeepName(names, *bytes);
  return where->second;
}

// The charset: glyph 0 is .notdef; the others' string ids (or CIDs) as an array
// (format 0) or as ranges with a count of 8 (format 1) or 16 bits (format 2).
// Each range names at least one glyph, so the walk ends by the glyph count.
void ReadCharset(ByteView cff, uint32_t at, CffStrings& strings, GlyphNames& names) {
  uint8_t format = 0;
  if (!ReadU8(cff, at, 0, format) || format > 2) {
    names.cff_damaged = true;
    return;
  }
  names.charset.assign(names.glyph_count, kNoName);
  if (names.glyph_count) names.charset[0] = kStandardName;  // .notdef
  uint32_t glyph = 1, field = at + 1;
  const auto name = [&](uint32_t id) {
    names.charset[glyph++] = names.cid_keyed ? id : NameOfString(names, strings, id);
  };
  while (glyph < names.glyph_count) {
    uint16_t first = 0;
    if (!ReadU16BE(cff, field, 0, first)) break;
    if (format == 0) {
      name(first);
      field += 2;
      continue;
    }
    uint16_t left = 0;
    uint8_t left8 = 0;
    if (format == 1 ? !ReadU8(cff, field, 2, left8) : !ReadU16BE(cff, field, 2, left)) break;
    if (format == 1) left = left8;
    field += format == 1 ? 3 : 4;
    for (uint32_t id = first; id <= uint32_t{first} + left && id <= 0xFFFF && glyph < names.glyph_count; ++id)
      name(id);
  }
  if (glyph < names.glyph_count) names.cff_damaged = true;
}

void ReadCffNames(ByteView cff, GlyphNames& names) {
  if (cff.size == 0) return;
  uint8_t header_size = 0;
  CffIndex name_index, top_index;
  CffStrings strings{cff, {}, {}};
  TopDict top;
  std::optional<ByteView> dict;
  if (!ReadU8(cff, 0, 2, header_size) || !ReadIndex(cff, header_size, name_index) ||
      !ReadIndex(cff, name_index.end, top_index) || !ReadIndex(cff, top_index.end, strings.index) ||
      !(dict = IndexEntry(cff, top_index, 0)) || !ReadTopDict(*dict, top)) {
    names.cff_damaged = true;
    return;
  }
  names.cid_keyed = top.cid_keyed;
  if (top.charset == 0 && !top.cid_keyed) {
    // The ISOAdobe charset: glyph g is string id g.
    names.charset.assign(names.glyph_count, kNoName);
    for (uint32_t glyph = 0; glyph < names.glyph_count && glyph <= kIsoAdobeCharsetLast; ++glyph)
      names.charset[glyph] = kStandardName | glyph;
    return;
  }
  // The Expert charsets name small capitals and figures of old Type 1 fonts;
  // their glyphs are named by index.
  if (top.charset <= 2) return;
  ReadCharset(cff, top.charset, strings, names);
}

uint32_t Entry(const std::vector<uint32_t>& entries, uint32_t glyph) {
  return glyph < entries.size() ? entries[glyph] : kNoName;
}

// The name without making a string where one exists: `buffer` holds the made ones.
std::string_view NameView(const GlyphNames& names, uint32_t glyph, char (&buffer)[16]) {
  if (const uint32_t entry = Entry(names.post, glyph); entry != kNoName)
    return entry & kStandardName ? kMacintoshNames[entry & ~kStandardName]
                                 : std::string_view(names.text.c_str() + entry);
  if (const uint32_t entry = Entry(names.charset, glyph); entry != kNoName) {
    if (entry & kStandardName) return kCffStandardStrings[entry & ~kStandardName];
    if (!names.cid_keyed) return std::string_view(names.text.c_str() + entry);
    const int length = std::snprintf(buffer, sizeof buffer, "cid%05u", entry);
    return std::string_view(buffer, static_cast<size_t>(length));
  }
  const int length = std::snprintf(buffer, sizeof buffer, "gid%u", glyph);
  return std::string_view(buffer, static_cast<size_t>(length));
}

// The number after `prefix` (any letter case) and optional spaces, to the end.
std::optional<uint32_t> NumberAfter(std::string_view text, std::string_view prefix) {
  if (text.size() <= prefix.size()) return std::nullopt;
  for (size_t i = 0; i < prefix.size(); ++i)
    if ((text[i] | 0x20) != prefix[i]) return std::nullopt;
  text.remove_prefix(prefix.size());
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

}  // namespace

GlyphNames ReadGlyphNames(ByteView post, ByteView cff, uint32_t glyph_count) {
  GlyphNames names;
  names.glyph_count = glyph_count;
  ReadPostNames(post, names);
  ReadCffNames(cff, names);
  return names;
}

std::string GlyphName(const GlyphNames& names, uint32_t glyph) {
  char buffer[16];
  return std::string(NameView(names, glyph, buffer));
}

GlyphNameSource NameSource(const GlyphNames& names, uint32_t glyph) {
  if (Entry(names.post, glyph) != kNoName) return GlyphNameSource::kPost;
  const uint32_t entry = Entry(names.charset, glyph);
  if (entry == kNoName) return GlyphNameSource::kIndex;
  return names.cid_keyed && !(entry & kStandardName) ? GlyphNameSource::kCid
                                                     : GlyphNameSource::kCharset;
}

std::optional<uint32_t> FindGlyph(const GlyphNames& names, std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  if (const std::optional<uint32_t> index = NumberAfter(text, "gid"))
    return *index < names.glyph_count ? index : std::nullopt;
  char buffer[16];
  for (uint32_t glyph = 0; glyph < names.glyph_count; ++glyph)
    if (NameView(names, glyph, buffer) == text) return glyph;
  // A CID however it is written: "cid42", "cid 42".
  if (const std::optional<uint32_t> cid = NumberAfter(text, "cid"); cid && names.cid_keyed)
    for (uint32_t glyph = 1; glyph < names.charset.size(); ++glyph)
      if (names.charset[glyph] == *cid && NameSource(names, glyph) == GlyphNameSource::kCid) return glyph;
  return std::nullopt;
}
