#include "viewer/glyph_view.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "fontfile/face_glyphs.h"
#include "text/language.h"
#include "viewer/block_list.h"
#include "viewer/color_glyphs.h"
#include "viewer/face_selector.h"
#include "viewer/find_character.h"
#include "viewer/glyph_drawing.h"
#include "viewer/glyph_grid.h"
#include "viewer/grid_math.h"
#include "viewer/process_resources.h"
#include "viewer/theme.h"

namespace {

// A zoom box lists this many code ranges of a glyph, then "…".
constexpr size_t kZoomRanges = 6;

std::string CodeText(const CodeRange& range) {
  char text[32];
  if (range.first == range.last) std::snprintf(text, sizeof text, "U+%04X", range.first);
  else std::snprintf(text, sizeof text, "U+%04X..U+%04X", range.first, range.last);
  return text;
}

// The label font's advance of each printable ASCII character, measured once a
// row: a label's width is then their sum (the names are ASCII, without kerning).
struct LabelWidths {
  bool known = false;
  INT advance[0x7F - 0x20] = {};
  explicit LabelWidths(HDC dc) { known = GetCharWidth32A(dc, 0x20, 0x7E, advance) != 0; }
  // The width of `text` in pixels, or -1 when it cannot be told.
  int Of(HDC dc, const std::string& text) const {
    int width = 0;
    for (unsigned char c : text) {
      if (!known || c < 0x20 || c > 0x7E) {
        SIZE size = {};
        return GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size)
                   ? size.cx
                   : -1;
      }
      width += advance[c - 0x20];
    }
    return width;
  }
};

void DrawGlyphCell(ViewerState& s, const FaceGlyphs& g, const LabelWidths& widths, HDC dc,
                   RECT cell, uint32_t glyph) {
  const bool marked = static_cast<int>(glyph) == s.marked_code;
  const COLORREF background = marked ? (s.dark ? kDarkMark : GetSysColor(COLOR_HIGHLIGHT))
                              : s.dark ? kDarkWindow
                                       : GetSysColor(COLOR_WINDOW);
  const COLORREF list_colour = GetTextColor(dc);
  if (marked) {
    RECT fill = {cell.left + 1, cell.top + 1, cell.right, cell.bottom};
    SetDCBrushColor(dc, background);
    FillRect(dc, &fill, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetTextColor(dc, s.dark ? kDarkText : GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else if (CharactersOf(g.characters, glyph).empty()) {
    // No character reaches the glyph: its label stands on a tint of its own.
    RECT label = {cell.left, cell.top, cell.right, cell.top + UiLineHeight};
    SetDCBrushColor(dc, s.dark ? kDarkUnreachedLabel : kUnreachedLabel);
    FillRect(dc, &label, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
  if (s.dark && !marked) SetTextColor(dc, kDarkLabel);
  // The index, and the name beside it where the cell is wide enough.
  SelectObject(dc, UiFont);
  const std::string index = std::to_string(glyph);
  const std::string named = index + " " + GlyphName(g.names, glyph);
  const int width = widths.Of(dc, named);
  const bool fits = width >= 0 && width <= cell.right - cell.left - 4;
  const std::string& label = fits ? named : index;
  RECT text = cell;
  DrawTextA(dc, label.c_str(), static_cast<int>(label.size()), &text,
            DT_SINGLELINE | DT_CENTER | DT_NOPREFIX);
  if (s.dark && !marked) SetTextColor(dc, kDarkText);

  SelectObject(dc, s.glyph_font);
  RECT glyph_box = cell;
  glyph_box.top += UiLineHeight;
  const GlyphForm form = s.colour_glyphs ? DrawColorGlyph(dc, *s.colour_glyphs, glyph_box, glyph,
                                                          s.dark != 0, background)
                                         : GlyphForm::kText;
  if ((form == GlyphForm::kText || form == GlyphForm::kOutlineOnly) && glyph <= 0xFFFF)
    DrawGlyphIndex(dc, glyph_box, static_cast<WORD>(glyph), DT_CENTER | DT_VCENTER,
                   s.glyph_metrics.tmHeight);
  Rectangle(dc, cell.left, cell.top, cell.right + 1, cell.bottom + 1);
  if (marked) SetTextColor(dc, list_colour);
}

// The glyph a code reaches in the face's own map, or nothing.
std::optional<uint32_t> GlyphOfCode(const FaceGlyphs& g, uint32_t code) {
  const auto& runs = g.map.code_glyphs;
  auto it = std::upper_bound(runs.begin(), runs.end(), code,
                             [](uint32_t c, const GlyphRun& r) { return c < r.first; });
  if (it == runs.begin() || code > std::prev(it)->last) return std::nullopt;
  const GlyphRun& run = *std::prev(it);
  return run.one_glyph ? run.glyph : run.glyph + (code - run.first);
}

}  // namespace

bool GlyphViewOffered(const ViewerState& s) {
  return !s.load_error[0] && s.other_face.empty() && s.info.coverage.kind != CoverageKind::kBytes;
}

const FaceGlyphs* ShownGlyphs(const ViewerState& s) {
  return s.opened ? ReadFaceGlyphs(*s.opened, s.face) : nullptr;
}

uint32_t GlyphViewCount(ViewerState& s) {
  const FaceGlyphs* glyphs = ShownGlyphs(s);
  return glyphs ? glyphs->glyph_count : 0;
}

void ShowGlyphView(ViewerState& s, bool on) {
  s.glyph_view = on;
  s.marked_code = -1;
  s.zoom_code = -1;
  if (s.page_built[kGlyphsPage]) SetGlyphRowCount(s);
  SelectBlockItem(s);
  if (s.glyph_list) InvalidateRect(s.glyph_list, nullptr, TRUE);
}

void DrawGlyphViewRow(ViewerState& s, HDC dc, RECT row_rect, int row) {
  const FaceGlyphs* glyphs = ShownGlyphs(s);
  if (!glyphs || glyphs->glyph_count == 0) return;
  const int width = CellWidth(row_rect.right - row_rect.left);
  const int cells = RowCellCount(0, glyphs->glyph_count - 1, row);
  SelectObject(dc, UiFont);
  const LabelWidths widths(dc);
  RECT cell = row_rect;
  for (int column = 0; column < cells; ++column) {
    cell.right = cell.left + width;
    DrawGlyphCell(s, *glyphs, widths, dc, cell, static_cast<uint32_t>(kCellsPerRow * row + column));
    cell.left = cell.right;
  }
}

std::string GlyphZoomText(ViewerState& s, uint32_t glyph, HDC dc) {
  const FaceGlyphs* g = ShownGlyphs(s);
  if (!g || glyph >= g->glyph_count) return {};
  std::string text = std::to_string(glyph) + " " + GlyphName(g->names, glyph);
  const std::span<const CodeRange> codes = CharactersOf(g->characters, glyph);
  for (size_t i = 0; i < codes.size() && i <= kZoomRanges; ++i)
    text += (i == 0 ? "\n" : " ") + (i < kZoomRanges ? CodeText(codes[i]) : std::string("\xE2\x80\xA6"));
  const std::span<const uint16_t> features = FeaturesOf(g->features, glyph);
  if (!features.empty()) {
    text += "\n" + std::string(LanguageString(kTextProducedBy));
    for (size_t i = 0; i < features.size(); ++i)
      text += (i ? ", " : " ") + g->features.tags[features[i]];
  }
  if (codes.empty() && features.empty()) text += "\n" + std::string(LanguageString(kTextUnreachable));
  // Advance and bounds in font units: measured in the face at its em size.
  OUTLINETEXTMETRICA outline = {};
  outline.otmSize = sizeof outline;
  LOGFONTA units = s.logfont;
  if (glyph <= 0xFFFF && GetOutlineTextMetricsA(dc, sizeof outline, &outline) && outline.otmEMSquare) {
    units.lfHeight = -static_cast<LONG>(outline.otmEMSquare);
    units.lfWidth = 0;
    if (HFONT font = CreateFontIndirectA(&units)) {
      HGDIOBJ previous = SelectObject(dc, font);
      GLYPHMETRICS metrics = {};
      const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
      if (GetGlyphOutlineW(dc, glyph, GGO_METRICS | GGO_GLYPH_INDEX, &metrics, 0, nullptr, &identity) !=
          GDI_ERROR) {
        char line[160];
        std::snprintf(line, sizeof line, "\n%s %d, %s %d..%d, %d..%d", LanguageString(kTextAdvance),
                      metrics.gmCellIncX, LanguageString(kTextBounds),
                      static_cast<int>(metrics.gmptGlyphOrigin.x),
                      static_cast<int>(metrics.gmptGlyphOrigin.x + static_cast<LONG>(metrics.gmBlackBoxX)),
                      static_cast<int>(metrics.gmptGlyphOrigin.y - static_cast<LONG>(metrics.gmBlackBoxY)),
                      static_cast<int>(metrics.gmptGlyphOrigin.y));
        text += line;
      }
      SelectObject(dc, previous);
      DeleteObject(font);
    }
  }
  return text;
}

bool ShowGlyph(ViewerState& s, std::u16string_view text) {
  if (s.load_error[0] || !s.glyph_list) return false;
  const FaceGlyphs* g = ShownGlyphs(s);
  if (!g) return false;
  // Glyph names are ASCII; any other text names a character.
  std::string ascii;
  for (char16_t unit : text) ascii += unit < 0x80 ? static_cast<char>(unit) : '\x01';
  std::optional<uint32_t> glyph;
  if (ascii.find('\x01') == std::string::npos) glyph = FindGlyph(g->names, ascii);
  if (!glyph) {
    // A character, as the block view finds it: its glyph.
    const std::optional<CharacterQuery> query = ParseCharacterQuery(text);
    if (query) glyph = GlyphOfCode(*g, query->value);
  }
  if (!glyph || *glyph >= g->glyph_count) return false;
  s.marked_code = static_cast<int>(*glyph);
  ScrollRowIntoView(s.glyph_list, static_cast<int>(*glyph / kCellsPerRow));
  InvalidateRect(s.glyph_list, nullptr, TRUE);
  return true;
}
