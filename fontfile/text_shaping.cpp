#include "fontfile/text_shaping.h"

#include "fontfile/face_tables.h"
#include "fontfile/layout_tables.h"
#include "fontfile/opened_font.h"

#include <hb-ot.h>
#include <hb.h>

#include <cstdio>
#include <cstring>

struct ShapingFont {
  // The record's bytes and the face's directory, which HarfBuzz's table
  // callback reads; both live as long as the record.
  ByteView bytes;
  const OpenedFace* opened = nullptr;
  hb_face_t* face = nullptr;
  hb_font_t* font = nullptr;
  // The font lists the table but HarfBuzz's checks refused it.
  bool gsub_refused = false, gpos_refused = false;
  std::vector<hb_variation_t> variations;  // as last set on `font`
};

void ShapingFontCloser::operator()(ShapingFont* font) const {
  if (!font) return;
  hb_font_destroy(font->font);
  hb_face_destroy(font->face);
  delete font;
}

namespace {

struct BufferCloser {
  void operator()(hb_buffer_t* buffer) const { hb_buffer_destroy(buffer); }
};
using BufferPtr = std::unique_ptr<hb_buffer_t, BufferCloser>;

hb_tag_t TagOf(const std::string& text) {
  return hb_tag_from_string(text.data(), static_cast<int>(text.size()));
}

// HarfBuzz asks for each table it reads once, and keeps it: the table as the
// record's directory lists it, in place, or nothing when it is absent or leaves
// the bytes.
hb_blob_t* ReferenceTable(hb_face_t*, hb_tag_t tag, void* user_data) {
  const auto& font = *static_cast<const ShapingFont*>(user_data);
  const char name[5] = {static_cast<char>(tag >> 24), static_cast<char>(tag >> 16),
                        static_cast<char>(tag >> 8), static_cast<char>(tag), '\0'};
  const FaceTable table = FaceTableOf(font.bytes, *font.opened, name);
  if (!table.present() || !table.bytes.size) return hb_blob_get_empty();
  return hb_blob_create(reinterpret_cast<const char*>(table.bytes.data), table.bytes.size,
                        HB_MEMORY_MODE_READONLY, nullptr, nullptr);
}

// The length in bytes of the first `limit` characters of UTF-8 text; lead bytes
// start characters, so that a cut never splits one (a stray continuation byte
// counts as part of the character before it).
size_t CutLength(const std::string& text, uint32_t limit, bool& cut) {
  uint32_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<uint8_t>(text[i]) & 0xC0) == 0x80) continue;
    if (characters == limit) {
      cut = true;
      return i;
    }
    ++characters;
  }
  return text.size();
}

bool SameVariations(const std::vector<hb_variation_t>& a, const std::vector<hb_variation_t>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].tag != b[i].tag || a[i].value != b[i].value) return false;
  return true;
}

// Splits an hb-shape list at its commas, each item trimmed of spaces.
template <typename Item>
bool ParseList(std::string_view list, std::vector<Item>& items,
               bool (*parse)(const std::string& text, Item& item)) {
  std::vector<Item> parsed;
  while (!list.empty()) {
    const size_t comma = list.find(',');
    std::string_view item = list.substr(0, comma);
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
    if (item.empty()) continue;
    Item one;
    if (!parse(std::string(item), one)) return false;
    parsed.push_back(std::move(one));
  }
  items.insert(items.end(), parsed.begin(), parsed.end());
  return true;
}

bool ParseFeature(const std::string& text, FeatureSetting& setting) {
  hb_feature_t feature;
  if (!hb_feature_from_string(text.c_str(), static_cast<int>(text.size()), &feature)) return false;
  setting = {TagText(feature.tag), feature.value, feature.start, feature.end};
  return true;
}

bool ParseVariation(const std::string& text, AxisSetting& setting) {
  hb_variation_t variation;
  if (!hb_variation_from_string(text.c_str(), static_cast<int>(text.size()), &variation))
    return false;
  setting = {TagText(variation.tag), variation.value};
  return true;
}

}  // namespace

ShapingFontPtr OpenShapingFont(const OpenedFont& source, uint32_t face_index) {
  const OpenedFace* opened = FaceOf(source, face_index);
  if (!opened) return nullptr;
  ShapingFontPtr font(new ShapingFont);
  font->bytes = source.bytes;
  font->opened = opened;
  font->face = hb_face_create_for_tables(&ReferenceTable, font.get(), nullptr);
  // No glyphs (no maxp, or HarfBuzz's empty face when out of memory): nothing to shape.
  if (hb_face_get_glyph_count(font->face) == 0) return nullptr;
  font->font = hb_font_create(font->face);
  if (hb_font_is_immutable(font->font)) return nullptr;  // HarfBuzz's empty font: out of memory
  // Listed, but HarfBuzz's checks refused it (or its bytes leave the file).
  font->gsub_refused = FaceTableOf(font->bytes, *opened, "GSUB").listed() &&
                       !hb_ot_layout_has_substitution(font->face);
  font->gpos_refused = FaceTableOf(font->bytes, *opened, "GPOS").listed() &&
                       !hb_ot_layout_has_positioning(font->face);
  return font;
}

ShapedRun ShapeText(ShapingFont& font, const ShapingRequest& request) {
  ShapedRun run;
  run.opened = true;
  run.units_per_em = hb_face_get_upem(font.face);
  run.gsub_refused = font.gsub_refused;
  run.gpos_refused = font.gpos_refused;

  std::vector<hb_variation_t> variations;
  for (const AxisSetting& axis : request.variations)
    variations.push_back({TagOf(axis.tag), axis.value});
  if (!SameVariations(variations, font.variations)) {
    hb_font_set_variations(font.font, variations.data(), static_cast<unsigned>(variations.size()));
    font.variations = std::move(variations);
  }

  BufferPtr buffer(hb_buffer_create());
  if (!hb_buffer_allocation_successful(buffer.get())) return run;
  const size_t length = CutLength(request.text, kShapingTextLimit, run.text_cut);
  hb_buffer_add_utf8(buffer.get(), request.text.data(), static_cast<int>(length), 0,
                     static_cast<int>(length));
  // Clusters count characters, not bytes, as hb-shape numbers them: before
  // shaping the buffer holds one item per character.
  unsigned characters = 0;
  hb_glyph_info_t* added = hb_buffer_get_glyph_infos(buffer.get(), &characters);
  for (unsigned i = 0; i < characters; ++i) added[i].cluster = i;
  if (!request.script.empty())
    hb_buffer_set_script(buffer.get(), hb_script_from_string(request.script.data(),
                                                             static_cast<int>(request.script.size())));
  if (!request.language.empty())
    hb_buffer_set_language(buffer.get(), hb_language_from_string(request.language.data(),
                                                                 static_cast<int>(request.language.size())));
  hb_buffer_guess_segment_properties(buffer.get());

  std::vector<hb_feature_t> features;
  for (const FeatureSetting& setting : request.features)
    features.push_back({TagOf(setting.tag), setting.value, setting.start, setting.end});
  // Where HarfBuzz refused a layout table, the fallback shaper maps each
  // character to its glyph and nothing more.
  static const char* const kUnshaped[] = {"fallback", nullptr};
  hb_shape_full(font.font, buffer.get(), features.data(), static_cast<unsigned>(features.size()),
                run.unshaped() ? kUnshaped : nullptr);

  unsigned count = 0;
  const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer.get(), &count);
  const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer.get(), nullptr);
  run.right_to_left = hb_buffer_get_direction(buffer.get()) == HB_DIRECTION_RTL;
  run.glyphs.reserve(count);
  for (unsigned i = 0; i < count; ++i) {
    run.glyphs.push_back({infos[i].codepoint, infos[i].cluster, positions[i].x_advance,
                          positions[i].y_advance, positions[i].x_offset, positions[i].y_offset});
  }
  if (request.glyph_names) {
    run.names.reserve(count);
    char name[128];
    for (const ShapedGlyph& glyph : run.glyphs) {
      hb_font_glyph_to_string(font.font, glyph.glyph, name, sizeof name);
      run.names.emplace_back(name);
    }
  }
  return run;
}

ShapedRun ShapeText(const OpenedFont& source, uint32_t face, const ShapingRequest& request) {
  ShapingFontPtr font = OpenShapingFont(source, face);
  if (!font) return {};
  return ShapeText(*font, request);
}

std::string FormatShapedGlyph(const ShapedRun& run, size_t index) {
  const ShapedGlyph& glyph = run.glyphs[index];
  std::string text = index < run.names.size() ? run.names[index] : std::to_string(glyph.glyph);
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "=%u", glyph.cluster);
  text += numbers;
  if (glyph.x_offset || glyph.y_offset) {
    std::snprintf(numbers, sizeof numbers, "@%d,%d", static_cast<int>(glyph.x_offset),
                  static_cast<int>(glyph.y_offset));
    text += numbers;
  }
  std::snprintf(numbers, sizeof numbers, "+%d", static_cast<int>(glyph.x_advance));
  text += numbers;
  if (glyph.y_advance) {
    std::snprintf(numbers, sizeof numbers, ",%d", static_cast<int>(glyph.y_advance));
    text += numbers;
  }
  return text;
}

std::string FormatShapedRun(const ShapedRun& run) {
  std::string text = "[";
  for (size_t i = 0; i < run.glyphs.size(); ++i) {
    if (i) text += '|';
    text += FormatShapedGlyph(run, i);
  }
  return text + "]";
}

bool ParseFeatureList(std::string_view list, std::vector<FeatureSetting>& out) {
  return ParseList(list, out, &ParseFeature);
}

bool ParseVariationList(std::string_view list, std::vector<AxisSetting>& out) {
  return ParseList(list, out, &ParseVariation);
}

ShapingScript ScriptForOpenTypeTags(const std::string& script_tag, const std::string& language_tag) {
  ShapingScript out;
  if (script_tag.size() != 4 || script_tag == "DFLT") return out;  // the text decides
  const hb_tag_t script = TagOf(script_tag);
  const hb_script_t iso = hb_ot_tag_to_script(script);
  if (iso != HB_SCRIPT_UNKNOWN) out.script = TagText(iso);
  if (language_tag.size() == 4 && language_tag != "dflt") {
    const char* language = hb_language_to_string(hb_ot_tag_to_language(TagOf(language_tag)));
    if (language) out.language = language;
  }
  // A script with several tags ("deva" and "dev2") selects the first the font
  // has: a private subtag names the one chosen, as HarfBuzz itself writes it.
  unsigned count = 1;
  hb_tag_t primary = HB_TAG_NONE;
  hb_ot_tags_from_script_and_language(iso, HB_LANGUAGE_INVALID, &count, &primary, nullptr, nullptr);
  if (count == 0 || primary != script) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(script));
    if (out.language.empty()) out.language = "x";
    else if (out.language.compare(0, 2, "x-") != 0) out.language += "-x";
    out.language += std::string("-hbsc-") + hex;
  }
  return out;
}
