#include "fontfile/font_header.h"

#include "fontfile/catalog.h"
#include "fontfile/char_map.h"
#include "platform/platform.h"

namespace {

// Field offsets in the header; weight and face offset are unaligned.
constexpr uint32_t kCopyright = 6;
constexpr uint32_t kCopyrightWidth = 60;
constexpr uint32_t kType = 66;
constexpr uint32_t kItalic = 80;
constexpr uint32_t kUnderline = 81;
constexpr uint32_t kStrikeOut = 82;
constexpr uint32_t kWeight = 83;
constexpr uint32_t kCharset = 85;
constexpr uint32_t kFirstChar = 95;
constexpr uint32_t kLastChar = 96;
constexpr uint32_t kFaceOffset = 105;

// The header's character range, through its character set; a range that ends
// before it begins says nothing, and the font shows every cell.
void StoreByteCoverage(ByteView view, uint32_t header, FontInfo& info) {
  uint8_t charset = 0, first = 0, last = 0;
  if (!ReadU8(view, header, kCharset, charset) || !ReadU8(view, header, kFirstChar, first) ||
      !ReadU8(view, header, kLastChar, last) || first > last)
    return;
  uint32_t characters[256] = {};
  CharsetCharacters(charset, characters);
  info.coverage = ByteCoverage(first, last, charset, characters);
}

}  // namespace

std::string MakeStyleText(uint16_t weight, uint8_t italic, uint8_t underline, uint8_t strike_out) {
  std::string text = LookupName(WeightNames, weight);
  if (italic) text += " Italic";
  if (underline) text += " Underlined";
  if (strike_out) text += " Strike-out";
  return text;
}

bool StoreFontHeader(ByteView view, uint32_t header, const char* vector_name,
                     const char* raster_name, FontInfo& info, uint32_t& after_face) {
  uint8_t italic = 0, underline = 0, strike_out = 0;
  uint16_t weight = 0, type = 0;
  if (!ReadU8(view, header, kItalic, italic) || !ReadU8(view, header, kUnderline, underline) ||
      !ReadU8(view, header, kStrikeOut, strike_out) || !ReadU16LE(view, header, kWeight, weight))
    return false;
  std::string style = MakeStyleText(weight, italic, underline, strike_out);

  if (!ReadU16LE(view, header, kType, type)) return false;
  info.type_name = (type & 1) ? vector_name : raster_name;

  uint32_t face_offset = 0, face = 0;
  std::string face_name;
  if (!ReadU32LE(view, header, kFaceOffset, face_offset) ||
      !CheckedAdd(header, face_offset, face) ||
      !ReadZeroTerminated(view, face, face_name, &after_face))
    return false;
  info.names[kNameFull] = face_name;
  info.names[kNameFamily] = std::move(face_name);
  info.names[kNameStyle] = std::move(style);

  std::string copyright;
  if (!ReadFixedText(view, header, kCopyright, kCopyrightWidth, copyright)) return false;
  info.names[kNameCopyright] = std::move(copyright);

  info.weight = weight;
  info.italic = italic;
  info.underline = underline;
  info.strike_out = strike_out;
  StoreByteCoverage(view, header, info);
  return true;
}
