#include "text/anatomy_report.h"

#include <string>

#include "fontfile/layout_catalog.h"
#include "text/language.h"

namespace {

void Heading(ReportSink& view, int id) {
  SetBold(view, true);
  AppendText(view, "\n%s\n\n", L(id));
  SetBold(view, false);
}

void Line(ReportSink& view, const std::string& label, const std::string& value) {
  AppendText(view, "\t%s\t: %s\n", label.c_str(), value.c_str());
}

void Damaged(ReportSink& view, bool broken, const char* tag) {
  if (broken) Line(view, tag, L(kTextTableDamaged));
}

// "Weight (wght)", or the tag alone when there is no name.
std::string Named(const std::string& name, const std::string& tag) {
  std::string trimmed = tag;
  while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
  return name.empty() ? trimmed : name + " (" + trimmed + ")";
}

std::string Join(const std::string& a, const std::string& b, const char* separator = ", ") {
  return a.empty() ? b : a + separator + b;
}

std::string Tables(uint8_t tables) {
  std::string out;
  if (tables & kInGsub) out = "GSUB";
  if (tables & kInGpos) out = Join(out, "GPOS");
  return out;
}

void WriteVariation(ReportSink& view, const VariationFacts& v) {
  if (v.fvar == TableState::kAbsent && v.avar == TableState::kAbsent &&
      v.stat == TableState::kAbsent)
    return;
  Heading(view, kTextAxesHeading);
  for (const VariationAxis& axis : v.axes) {
    std::string value = std::string(L(kTextAxisMinimum)) + " " + FixedText(axis.minimum) + ", " +
                        L(kTextAxisDefault) + " " + FixedText(axis.default_value) + ", " +
                        L(kTextAxisMaximum) + " " + FixedText(axis.maximum);
    if (axis.hidden) value = Join(value, L(kTextAxisHidden));
    Line(view, Named(axis.name.value_or(""), axis.tag), value);
  }
  Damaged(view, v.fvar_broken, "fvar");
  if (v.avar == TableState::kPresent && !v.avar_broken)
    Line(view, "avar", std::string(L(kTextAxesRemapped)) + ": " + std::to_string(v.avar_axes_mapped));
  Damaged(view, v.avar_broken, "avar");
  if (v.stat == TableState::kPresent && !v.stat_broken) {
    std::string axes;
    for (const std::string& tag : v.stat_axes) axes = Join(axes, Named("", tag));
    Line(view, L(kTextStatLabel),
         Join(axes, std::to_string(v.stat_axis_values) + " " + L(kTextAxisValues), "; "));
    if (v.elided_fallback_name) Line(view, L(kTextElidedName), *v.elided_fallback_name);
  }
  Damaged(view, v.stat_broken, "STAT");

  if (v.instances.empty()) return;
  Heading(view, kTextInstancesHeading);
  for (const NamedInstance& instance : v.instances) {
    std::string value;
    for (size_t a = 0; a < instance.coordinates.size(); ++a) {
      const std::string tag = a < v.axes.size() ? Named("", v.axes[a].tag) : "?";
      value = Join(value, tag + " " + FixedText(instance.coordinates[a]));
    }
    if (instance.postscript_name)
      value = Join(value, std::string(L(kTextPostScriptNameLabel)) + " " + *instance.postscript_name,
                   "; ");
    Line(view, instance.subfamily.value_or(std::to_string(instance.subfamily_name_id)), value);
  }
}

void WriteLayout(ReportSink& view, const LayoutFacts& layout) {
  if (layout.gsub == TableState::kAbsent && layout.gpos == TableState::kAbsent) return;
  if (!layout.scripts.empty() || layout.gsub_broken || layout.gpos_broken) {
    Heading(view, kTextScriptsHeading);
    for (const LayoutScript& script : layout.scripts) {
      std::string value;
      for (const std::string& language : script.languages)
        value = Join(value, language == "dflt" ? std::string(L(kTextDefaultLanguage))
                                               : Named(LanguageName(language), language));
      Line(view, Named(ScriptName(script.tag), script.tag), value);
    }
    Damaged(view, layout.gsub_broken, "GSUB");
    Damaged(view, layout.gpos_broken, "GPOS");
  }
  if (layout.features.empty()) return;
  Heading(view, kTextFeaturesHeading);
  for (const LayoutFeature& feature : layout.features) {
    std::string value = FeatureName(feature.tag);
    if (feature.ui_name) value = Join(value, "\"" + *feature.ui_name + "\"", " ");
    value = Join(value, "(" + Tables(feature.tables) + ")", " ");
    Line(view, feature.tag, value);
  }
}

std::string Count(uint32_t count, int words) { return std::to_string(count) + " " + L(words); }

template <typename Sizes>
std::string StrikeSizes(const Sizes& sizes) {
  std::string list;
  for (auto size : sizes) list = Join(list, std::to_string(size));
  return std::string(L(kTextStrikeSizes)) + ": " + list;
}

void WriteColor(ReportSink& view, const ColorFacts& c) {
  if (!c.any()) return;
  Heading(view, kTextColorHeading);
  if (c.colr == TableState::kPresent && !c.colr_broken)
    Line(view, "COLR",
         std::string(L(kTextColorVersion)) + " " + std::to_string(c.colr_version) + ", " +
             Count(c.base_glyphs, kTextBaseGlyphs) + ", " + Count(c.layers, kTextLayers));
  Damaged(view, c.colr_broken, "COLR");
  if (c.cpal == TableState::kPresent && !c.cpal_broken) {
    std::string value = Count(c.palettes, kTextPalettes) + ", " +
                        Count(c.palette_entries, kTextColoursEach);
    if (c.light_palettes) value = Join(value, Count(c.light_palettes, kTextLightPalettes));
    if (c.dark_palettes) value = Join(value, Count(c.dark_palettes, kTextDarkPalettes));
    Line(view, "CPAL", value);
  }
  Damaged(view, c.cpal_broken, "CPAL");
  if (c.cblc == TableState::kPresent && !c.cblc_broken)
    Line(view, c.cbdt == TableState::kAbsent ? "CBLC" : "CBDT/CBLC", StrikeSizes(c.bitmap_strikes));
  else if (c.cbdt != TableState::kAbsent && c.cblc == TableState::kAbsent)
    Line(view, "CBDT", L(kTextTableDamaged));  // bitmaps without their locations
  Damaged(view, c.cblc_broken, "CBLC");
  if (c.sbix == TableState::kPresent && !c.sbix_broken) Line(view, "sbix", StrikeSizes(c.sbix_strikes));
  Damaged(view, c.sbix_broken, "sbix");
  if (c.svg == TableState::kPresent && !c.svg_broken)
    Line(view, "SVG", Count(c.svg_documents, kTextSvgDocuments));
  Damaged(view, c.svg_broken, "SVG");
}

std::string Embedding(uint16_t fs_type) {
  // The usage permission is bits 0-3; only one of them is meant to be set, and
  // the most restrictive one set counts.
  std::string value;
  if (fs_type & kEmbedRestricted) value = L(kTextEmbedRestricted);
  else if (fs_type & kEmbedPreviewPrint) value = L(kTextEmbedPreviewPrint);
  else if (fs_type & kEmbedEditable) value = L(kTextEmbedEditable);
  else value = L(kTextEmbedInstallable);
  if (fs_type & kEmbedNoSubsetting) value = Join(value, L(kTextEmbedNoSubsetting));
  if (fs_type & kEmbedBitmapOnly) value = Join(value, L(kTextEmbedBitmapOnly));
  return value;
}

std::string GaspBehavior(uint16_t behavior) {
  static constexpr struct {
    uint16_t bit;
    int text;
  } kBits[] = {{0x1, kTextGaspGridFit},
               {0x2, kTextGaspSmoothing},
               {0x4, kTextGaspSymmetricGridFit},
               {0x8, kTextGaspSymmetricSmoothing}};
  std::string value;
  for (const auto& bit : kBits)
    if (behavior & bit.bit) value = Join(value, L(bit.text));
  return value.empty() ? L(kTextGaspNone) : value;
}

void WriteFacts(ReportSink& view, const FaceFacts& f, const LayoutFacts& layout) {
  const LayoutFeature* kern_feature = FindFeature(layout, "kern");
  std::string kerning;
  if (f.kern == TableState::kPresent && !f.kern_broken)
    kerning = std::string(L(kTextKernTable)) + " (" + L(kTextKernSubtables) + ": " +
              std::to_string(f.kern_subtables) + ")";
  if (kern_feature) kerning = Join(kerning, std::string(L(kTextKernFeature)) + " (" +
                                                Tables(kern_feature->tables) + ")");
  std::string vertical;
  for (auto [state, tag] : {std::pair{f.vhea, "vhea"}, {f.vmtx, "vmtx"}, {f.vorg, "VORG"}})
    if (state != TableState::kAbsent) vertical = Join(vertical, tag);
  std::string hinting;
  for (auto [state, tag, size] : {std::tuple{f.fpgm, "fpgm", f.fpgm_size},
                                  {f.prep, "prep", f.prep_size}, {f.cvt, "cvt", f.cvt_size}})
    if (state == TableState::kPresent) hinting = Join(hinting, std::string(tag) + " " + Count(size, kTextBytes));
  std::string gasp;
  for (const GaspRange& range : f.gasp_ranges)
    gasp = Join(gasp, std::string(L(kTextGaspUpTo)) + " " + std::to_string(range.max_ppem) +
                          " ppem: " + GaspBehavior(range.behavior), "; ");
  const bool signature = f.dsig == TableState::kPresent && !f.dsig_broken;
  if (!f.has_fs_type && kerning.empty() && vertical.empty() && hinting.empty() && gasp.empty() &&
      !signature && !f.kern_broken && !f.gasp_broken && !f.dsig_broken)
    return;

  Heading(view, kTextFactsHeading);
  if (f.has_fs_type) Line(view, L(kTextEmbeddingLabel), Embedding(f.fs_type));
  if (!kerning.empty()) Line(view, L(kTextKerningLabel), kerning);
  Damaged(view, f.kern_broken, "kern");
  if (!vertical.empty()) Line(view, L(kTextVerticalLabel), vertical);
  if (!hinting.empty()) Line(view, L(kTextHintingLabel), hinting);
  if (!gasp.empty()) Line(view, L(kTextGaspLabel), gasp);
  Damaged(view, f.gasp_broken, "gasp");
  if (signature) Line(view, L(kTextSignatureLabel), "DSIG, " + Count(f.signatures, kTextSignatures));
  Damaged(view, f.dsig_broken, "DSIG");
}

}  // namespace

void WriteAnatomy(ReportSink& view, const FontAnatomy& anatomy) {
  if (!anatomy.sfnt) return;
  WriteVariation(view, anatomy.variation);
  WriteLayout(view, anatomy.layout);
  WriteColor(view, anatomy.color);
  WriteFacts(view, anatomy.facts, anatomy.layout);
}
