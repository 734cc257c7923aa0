#include "tools/orvane_info/anatomy_json.h"

#include "fontfile/layout_catalog.h"
#include "platform/platform.h"
#include "tools/orvane_info/output_text.h"

namespace {

std::string Text(const FontText& text) {
  return text ? JsonString(AnsiToUtf8(*text)) : "null";
}

std::string Bool(bool value) { return value ? "true" : "false"; }

// A registered name, or null.
std::string Registered(const std::string& name) {
  return name.empty() ? "null" : JsonString(name);
}

std::string Tables(uint8_t tables) {
  std::string out = "[";
  if (tables & kInGsub) out += "\"GSUB\"";
  if (tables & kInGpos) out += (tables & kInGsub) ? ",\"GPOS\"" : "\"GPOS\"";
  return out + "]";
}

template <typename Items, typename Write>
std::string List(const Items& items, Write write) {
  std::string out = "[";
  bool first = true;
  for (const auto& item : items) {
    if (!first) out += ',';
    first = false;
    out += write(item);
  }
  return out + "]";
}

// The tables listed but found cut short or pointing astray.
std::string Damaged(const FontAnatomy& a) {
  const struct {
    bool broken;
    const char* tag;
  } tables[] = {{a.variation.fvar_broken, "fvar"},  {a.variation.avar_broken, "avar"},
                {a.variation.stat_broken, "STAT"},  {a.layout.gsub_broken, "GSUB"},
                {a.layout.gpos_broken, "GPOS"},     {a.color.colr_broken, "COLR"},
                {a.color.cpal_broken, "CPAL"},      {a.color.cblc_broken, "CBLC"},
                {a.color.sbix_broken, "sbix"},      {a.color.svg_broken, "SVG "},
                {a.facts.kern_broken, "kern"},      {a.facts.gasp_broken, "gasp"},
                {a.facts.dsig_broken, "DSIG"}};
  std::string out = "[";
  for (const auto& table : tables) {
    if (!table.broken) continue;
    if (out.size() > 1) out += ',';
    out += JsonString(table.tag);
  }
  return out + "]";
}

}  // namespace

std::string ColorFormatsJson(const ColorFacts& color) {
  std::string out = "[";
  auto add = [&out](const char* format) {
    if (out.size() > 1) out += ',';
    out += JsonString(format);
  };
  if (color.colr != TableState::kAbsent) add(color.colr_version >= 1 ? "COLRv1" : "COLRv0");
  if (color.cpal != TableState::kAbsent) add("CPAL");
  if (color.cbdt != TableState::kAbsent) add("CBDT");
  if (color.sbix != TableState::kAbsent) add("sbix");
  if (color.svg != TableState::kAbsent) add("SVG");
  return out + "]";
}

std::string AnatomyJson(const FontAnatomy& a) {
  std::string out = ",\"axes\":" + List(a.variation.axes, [](const VariationAxis& axis) {
    return "{\"tag\":" + JsonString(axis.tag) + ",\"name\":" + Text(axis.name) +
           ",\"min\":" + FixedText(axis.minimum) + ",\"default\":" + FixedText(axis.default_value) +
           ",\"max\":" + FixedText(axis.maximum) + ",\"hidden\":" + Bool(axis.hidden) + "}";
  });
  out += ",\"instances\":" + List(a.variation.instances, [](const NamedInstance& instance) {
    return "{\"subfamily\":" + Text(instance.subfamily) +
           ",\"postscript\":" + Text(instance.postscript_name) + ",\"coordinates\":" +
           List(instance.coordinates, [](int32_t value) { return FixedText(value); }) + "}";
  });
  out += ",\"scripts\":" + List(a.layout.scripts, [](const LayoutScript& script) {
    return "{\"tag\":" + JsonString(script.tag) + ",\"name\":" + Registered(ScriptName(script.tag)) +
           ",\"tables\":" + Tables(script.tables) + ",\"languages\":" +
           List(script.languages, [](const std::string& tag) { return JsonString(tag); }) + "}";
  });
  out += ",\"features\":" + List(a.layout.features, [](const LayoutFeature& feature) {
    return "{\"tag\":" + JsonString(feature.tag) +
           ",\"name\":" + Registered(FeatureName(feature.tag)) + ",\"ui_name\":" +
           Text(feature.ui_name) + ",\"tables\":" + Tables(feature.tables) + "}";
  });
  const ColorFacts& c = a.color;
  out += ",\"color\":{\"formats\":" + ColorFormatsJson(c);
  if (c.colr == TableState::kPresent)
    out += ",\"colr\":{\"version\":" + std::to_string(c.colr_version) +
           ",\"base_glyphs\":" + std::to_string(c.base_glyphs) +
           ",\"layers\":" + std::to_string(c.layers) + "}";
  if (c.cpal == TableState::kPresent)
    out += ",\"cpal\":{\"palettes\":" + std::to_string(c.palettes) +
           ",\"entries\":" + std::to_string(c.palette_entries) +
           ",\"light\":" + std::to_string(c.light_palettes) +
           ",\"dark\":" + std::to_string(c.dark_palettes) + "}";
  if (c.cblc == TableState::kPresent)
    out += ",\"cbdt_strikes\":" +
           List(c.bitmap_strikes, [](uint8_t ppem) { return std::to_string(ppem); });
  if (c.sbix == TableState::kPresent)
    out += ",\"sbix_strikes\":" +
           List(c.sbix_strikes, [](uint16_t ppem) { return std::to_string(ppem); });
  if (c.svg == TableState::kPresent) out += ",\"svg_documents\":" + std::to_string(c.svg_documents);
  out += "},\"damaged\":" + Damaged(a);
  // OS/2 fsType, the embedding permissions; null without an OS/2 table.
  out += ",\"fs_type\":" + (a.facts.has_fs_type ? std::to_string(a.facts.fs_type) : std::string("null"));
  return out;
}
