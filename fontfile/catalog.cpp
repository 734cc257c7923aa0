#include "fontfile/catalog.h"

#include <iterator>

namespace {

// The Unicode-range bits follow the OS/2 table's assignment; blocks added to
// Unicode after it have no bit (-2) and are never listed.
constexpr UnicodeBlockRow kUnicodeBlocks[] = {
    {-1, 0x0000, 0x00FF, "ANSI"},
    {0, 0x0000, 0x007E, "Latin"},
    {1, 0x0080, 0x00FF, "Latin Supplement and C1 Controls"},
    {2, 0x0100, 0x017F, "Latin Extended-A"},
    {3, 0x0180, 0x024F, "Latin Extended-B"},
    {4, 0x0250, 0x02AF, "IPA Extensions"},
    {5, 0x02B0, 0x02FF, "Spacing Modifier Letters"},
    {6, 0x0300, 0x036F, "Combining Diacritical Marks"},
    {7, 0x0370, 0x03FF, "Greek and Coptic"},
    {9, 0x0400, 0x04FF, "Cyrillic"},
    {-2, 0x0500, 0x052F, "Cyrillic Supplementary"},
    {10, 0x0530, 0x058F, "Armenian"},
    {11, 0x0590, 0x05FF, "Hebrew"},
    {13, 0x0600, 0x06FF, "Arabic"},
    {71, 0x0700, 0x074F, "Syriac"},
    {72, 0x0780, 0x07BF, "Thaana"},
    {15, 0x0900, 0x097F, "Devanagari"},
    {16, 0x0980, 0x09FF, "Bengali"},
    {17, 0x0A00, 0x0A7F, "Gurmukhi"},
    {18, 0x0A80, 0x0AFF, "Gujarati"},
    {19, 0x0B00, 0x0B7F, "Oriya"},
    {20, 0x0B80, 0x0BFF, "Tamil"},
    {21, 0x0C00, 0x0C7F, "Telugu"},
    {22, 0x0C80, 0x0CFF, "Kannada"},
    {23, 0x0D00, 0x0D7F, "Malayalam"},
    {73, 0x0D80, 0x0DFF, "Sinhala"},
    {24, 0x0E00, 0x0E7F, "Thai"},
    {25, 0x0E80, 0x0EFF, "Lao"},
    {70, 0x0F00, 0x0FFF, "Tibetan"},
    {74, 0x1000, 0x109F, "Myanmar"},
    {26, 0x10A0, 0x10FF, "Georgian"},
    {28, 0x1100, 0x11FF, "Hangul Jamo"},
    {75, 0x1200, 0x137F, "Ethiopic"},
    {76, 0x13A0, 0x13FF, "Cherokee"},
    {77, 0x1400, 0x167F, "Unified Canadian Aboriginal Syllabics"},
    {78, 0x1680, 0x169F, "Ogham"},
    {79, 0x16A0, 0x16FF, "Runic"},
    {-2, 0x1700, 0x171F, "Tagalog"},
    {-2, 0x1720, 0x173F, "Hanunoo"},
    {-2, 0x1740, 0x175F, "Buhid"},
    {-2, 0x1760, 0x177F, "Tagbanwa"},
    {80, 0x1780, 0x17FF, "Khmer"},
    {81, 0x1800, 0x18AF, "Mongolian"},
    {-2, 0x1900, 0x194F, "Limbu"},
    {-2, 0x1950, 0x197F, "Tai Le"},
    {-2, 0x1D00, 0x1D7F, "Phonetic Extensions"},
    {29, 0x1E00, 0x1EFF, "Latin Extended Additional"},
    {30, 0x1F00, 0x1FFF, "Greek Extended"},
    {31, 0x2000, 0x206F, "General Punctuation"},
    {32, 0x2070, 0x209F, "Superscripts and Subscripts"},
    {33, 0x20A0, 0x20CF, "Currency Symbols"},
    {34, 0x20D0, 0x20FF, "Combining Diacritical Marks for Symbols"},
    {35, 0x2100, 0x214F, "Letterlike Symbols"},
    {36, 0x2150, 0x218F, "Number Forms"},
    {37, 0x2190, 0x21FF, "Arrows"},
    {38, 0x2200, 0x22FF, "Mathematical Operators"},
    {39, 0x2300, 0x23FF, "Miscellaneous Technical"},
    {40, 0x2400, 0x243F, "Control Pictures"},
    {41, 0x2440, 0x245F, "Optical Character Recognition"},
    {42, 0x2460, 0x24FF, "Enclosed Alphanumerics"},
    {43, 0x2500, 0x257F, "Box Drawing"},
    {44, 0x2580, 0x259F, "Block Elements"},
    {45, 0x25A0, 0x25FF, "Geometric Shapes"},
    {46, 0x2600, 0x26FF, "Miscellaneous Symbols"},
    {47, 0x2700, 0x27BF, "Dingbats"},
    {-2, 0x27C0, 0x27EF, "Miscelaneous Mathematical Symbols-A"},
    {-2, 0x27F0, 0x27FF, "Supplemental Arrows-A"},
    {82, 0x2800, 0x28FF, "Braille Patterns"},
    {-2, 0x2900, 0x297F, "Supplemental Arrows-B"},
    {-2, 0x2980, 0x29FF, "Miscelaneous Mathematical Symbols-B"},
    {-2, 0x2A00, 0x2AFF, "Supplemental Mathematical Operators"},
    {59, 0x2E80, 0x2EFF, "Chinese, Japanese, and Korean Radicals Supplement"},
    {59, 0x2F00, 0x2FDF, "Kangxi Radicals"},
    {59, 0x2FF0, 0x2FFF, "Ideographic Description Characters"},
    {48, 0x3000, 0x303F, "Chinese, Japanese, and Korean Symbols and Punctuation"},
    {49, 0x3040, 0x309F, "Hiragana"},
    {50, 0x30A0, 0x30FF, "Katakana"},
    {51, 0x3100, 0x312F, "Bopomofo"},
    {52, 0x3130, 0x318F, "Hangul Compatibility Jamo"},
    {53, 0x3190, 0x319F, "Chinese, Japanese, and Korean Miscellaneous"},
    {51, 0x31A0, 0x31BF, "Bopomofo Extended"},
    {-2, 0x31F0, 0x31FF, "Katakana Phonetic Extensions"},
    {54, 0x3200, 0x32FF, "Chinese, Japanese, and Korean Enclosed Letters and Months"},
    {55, 0x3300, 0x33FF, "Chinese, Japanese, and Korean Compatibility"},
    {59, 0x3400, 0x4DBF, "Chinese, Japanese, and Korean Unified Ideographs Extension A"},
    {-2, 0x4DC0, 0x4DFF, "Yijing Hexagram Symbols"},
    {59, 0x4E00, 0x9FAF, "Chinese, Japanese, and Korean Unified Ideographs"},
    {83, 0xA000, 0xA48F, "Yi Syllables"},
    {-2, 0xA490, 0xA4CF, "Yi Radicals"},
    {56, 0xAC00, 0xD7AF, "Hangul Syllabels"},
    {57, 0xD800, 0xDFFF, "Surrogate Area"},
    {60, 0xE000, 0xF8FF, "Private Use Area"},
    {61, 0xF900, 0xFAFF, "Chinese, Japanese, and Korean Compatibility Ideographs"},
    {62, 0xFB00, 0xFB4F, "Alphabetic Presentation Forms"},
    {63, 0xFB50, 0xFDFF, "Arabic Presentation Forms-A"},
    {64, 0xFE20, 0xFE2F, "Combining Half Marks"},
    {65, 0xFE30, 0xFE4F, "Chinese, Japanese, and Korean Compatibility Forms"},
    {66, 0xFE50, 0xFE6F, "Small Form Variants"},
    {67, 0xFE70, 0xFEFF, "Arabic Presentation Forms-B"},
    {68, 0xFF00, 0xFFEF, "Halfwidth and Fullwidth Forms"},
    {69, 0xFFF0, 0xFFFF, "Specials"},
};

// "Default" first; the rest in the order the character-set list shows them.
constexpr NamedValue kCharsets[] = {
    {1, "Default"},  // DEFAULT_CHARSET
    {0, "ANSI"},  // ANSI_CHARSET
    {2, "Symbol"},  // SYMBOL_CHARSET
    {77, "Mac"},  // MAC_CHARSET
    {128, "Shift JIS"},  // SHIFTJIS_CHARSET
    {129, "Hangul"},  // HANGUL_CHARSET
    {130, "Johab"},  // JOHAB_CHARSET
    {134, "GB2312"},  // GB2312_CHARSET
    {136, "Chinese Big 5"},  // CHINESEBIG5_CHARSET
    {161, "Greek"},  // GREEK_CHARSET
    {162, "Turkish"},  // TURKISH_CHARSET
    {163, "Vietnamese"},  // VIETNAMESE_CHARSET
    {222, "Thai"},  // THAI_CHARSET
    {177, "Hebrew"},  // HEBREW_CHARSET
    {178, "Arabic"},  // ARABIC_CHARSET
    {186, "Baltic"},  // BALTIC_CHARSET
    {204, "Russian"},  // RUSSIAN_CHARSET
    {238, "East Europe"},  // EASTEUROPE_CHARSET
    {255, "OEM"},  // OEM_CHARSET
};
constexpr NamedValue kOs2Versions[] = {
    {0, "TrueType 1.5"},
    {1, "TrueType 1.66"},
    {2, "OpenType 1.2"},
    {3, "OpenType 1.4"},
};

constexpr NamedValue kWeights[] = {
    {100, "Thin"},    {200, "Extra-light"}, {300, "Light"},      {400, "Regular"}, {500, "Medium"},
    {600, "Semi-bold"}, {700, "Bold"},      {800, "Extra-bold"}, {900, "Black"},
};

constexpr NamedValue kWidths[] = {
    {1, "Ultra-condensed, 50% of normal"},
    {2, "Extra-condensed, 62.5% of normal"},
    {3, "Condensed, 75% of normal"},
    {4, "Semi-condensed, 87.5% of normal"},
    {5, "Normal"},
    {6, "Semi-expanded, 112.5% of normal"},
    {7, "Expanded, 125% of normal"},
    {8, "Extra-expanded, 150% of normal"},
    {9, "Ultra-expanded, 200% of normal"},
};

static_assert(std::size(kUnicodeBlocks) == kUnicodeBlockCount);
static_assert(std::size(kCharsets) == kCharsetCount);

}  // namespace

const std::span<const UnicodeBlockRow> UnicodeBlockTable{kUnicodeBlocks};
const std::span<const NamedValue> CharsetTable{kCharsets};
const std::span<const NamedValue> Os2VersionNames{kOs2Versions};
const std::span<const NamedValue> WeightNames{kWeights};
const std::span<const NamedValue> WidthNames{kWidths};

const char* LookupName(std::span<const NamedValue> rows, int32_t key) {
  for (const NamedValue& row : rows)
    if (row.value == key) return row.name;
  return "Unknown";
}

bool IsBlockSupported(const uint32_t ranges[4], int32_t bit) {
  if (bit == -1) return true;
  if (bit < 0 || bit > 127) return false;
  return (ranges[bit / 32] >> (bit % 32) & 1u) != 0;
}
