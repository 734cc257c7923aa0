// Text shaped as the font means it: HarfBuzz maps a line of text to the font's
// glyphs with the chosen script, language, features and variation coordinates,
// and gives each glyph's cluster, advance and offsets in font units.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Longer text is cut to this many characters before shaping, so that a reshape
// and a redraw stay within a frame.
constexpr uint32_t kShapingTextLimit = 512;

// A feature switched on (1), off (0) or to an alternate (2 and up), for the
// characters [start, end) of the text; the whole text by default.
struct FeatureSetting {
  std::string tag;  // four characters, as OpenType names it ("liga")
  uint32_t value = 1;
  uint32_t start = 0, end = UINT32_MAX;
};

// An axis at a point of the font's design space, in the axis' own units.
struct AxisSetting {
  std::string tag;
  float value = 0;
};

struct ShapingRequest {
  std::string text;      // UTF-8; bytes that are not are shaped as U+FFFD
  std::string script;    // ISO 15924 ("Arab"); empty: found from the text
  std::string language;  // BCP 47 ("tr"); empty: none
  std::vector<FeatureSetting> features;
  std::vector<AxisSetting> variations;  // axes not named stay at their default
  bool glyph_names = false;             // also name each glyph (ShapedRun::names)
};

struct ShapedGlyph {
  uint32_t glyph = 0;
  uint32_t cluster = 0;  // index in the text of the first character it comes from
  int32_t x_advance = 0, y_advance = 0;
  int32_t x_offset = 0, y_offset = 0;
};

struct ShapedRun {
  bool opened = false;  // false: the bytes hold no such sfnt face, and nothing was shaped
  std::vector<ShapedGlyph> glyphs;  // in visual order, left to right
  std::vector<std::string> names;   // each glyph's name ("gid42" where it has none), when asked
  bool right_to_left = false;
  bool text_cut = false;            // the text was longer than kShapingTextLimit
  // HarfBuzz refused the table the font lists: the text is given unshaped,
  // each character's nominal glyph at its nominal advance.
  bool gsub_refused = false, gpos_refused = false;
  uint32_t units_per_em = 0;
  bool unshaped() const { return gsub_refused || gpos_refused; }
};

// A face of an opened font made ready for HarfBuzz, kept across reshapes of the
// same font (its tables are checked once). HarfBuzz reads the tables the record's
// directory lists (FontTable), in place: the record must outlive it.
struct OpenedFont;
struct ShapingFont;
struct ShapingFontCloser {
  void operator()(ShapingFont* font) const;
};
using ShapingFontPtr = std::unique_ptr<ShapingFont, ShapingFontCloser>;

// Face `face` (0 for a single font) of an sfnt font or collection; nullptr when
// the record holds no such face, or a face without glyphs.
ShapingFontPtr OpenShapingFont(const OpenedFont& font, uint32_t face);

ShapedRun ShapeText(ShapingFont& font, const ShapingRequest& request);
ShapedRun ShapeText(const OpenedFont& font, uint32_t face, const ShapingRequest& request);

// The run as HarfBuzz's hb-shape prints it by default:
// [name=cluster@x_offset,y_offset+x_advance,y_advance|...], the offsets only where
// one is not 0, the vertical advance only where it is not 0. Glyph ids stand for
// names that were not asked for.
std::string FormatShapedRun(const ShapedRun& run);
// One glyph of the run in that format, without the brackets and bar.
std::string FormatShapedGlyph(const ShapedRun& run, size_t index);

// hb-shape's lists: features separated by commas ("liga,-kern,ss01=1,aalt[3:5]=2")
// and variations ("wght=900,wdth=75"). False, with nothing added, when an item
// does not parse.
bool ParseFeatureList(std::string_view list, std::vector<FeatureSetting>& out);
bool ParseVariationList(std::string_view list, std::vector<AxisSetting>& out);

// The script (ISO 15924) and language (BCP 47) that select an OpenType script
// tag and language system tag of the font ("arab", "URD "). The language is
// empty for the default language system; a tag with no registered language is
// carried in a private form that selects it all the same.
struct ShapingScript {
  std::string script, language;
};
ShapingScript ScriptForOpenTypeTags(const std::string& script_tag, const std::string& language_tag);
