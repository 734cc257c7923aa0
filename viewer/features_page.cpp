#include "viewer/features_page.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <new>
#include <vector>

#include "fontfile/face_tables.h"
#include "fontfile/font_anatomy.h"
#include "fontfile/layout_catalog.h"
#include "fontfile/opened_font.h"
#include "fontfile/text_shaping.h"
#include "text/language.h"
#include "viewer/color_glyphs.h"
#include "viewer/instance_selector.h"
#include "viewer/keyboard.h"
#include "viewer/process_resources.h"
#include "viewer/shaped_line.h"
#include "viewer/theme.h"
#include "viewer/viewer_layout.h"

const char kFeaturesClassName[] = "OrvaneFeaturesPage";

// Named, so that a build of whole units keeps its helpers apart from the
// viewer's others of the same name.
namespace features_parts {
namespace {

constexpr int kTextEditId = kFeaturesTextId, kScriptComboId = kFeaturesScriptId,
              kLanguageComboId = kFeaturesLanguageId, kFeatureListId = kFeaturesListId;
constexpr int kStateDefault = 0, kStateOn = 1, kStateOff = 2;
constexpr double kLineFactor = 1.35;  // a drawn line's height over its em

// What the page keeps between paints: the viewer's opened font and HarfBuzz's face
// of it, the choices the font offers, the user's, and the run shaped from them.
struct FeaturesPage {
  ViewerState* viewer = nullptr;
  HWND window = nullptr, text_edit = nullptr, script_label = nullptr, script_combo = nullptr,
       language_label = nullptr, language_combo = nullptr, feature_list = nullptr;
  // HarfBuzz reads the record's bytes in place: the page holds the record as long
  // as the face made over it (declared first, so let go of last).
  std::shared_ptr<const OpenedFont> opened;
  ShapingFontPtr font;
  LayoutFacts layout;
  std::vector<int> states;  // per layout.features: kStateDefault, kStateOn or kStateOff
  std::vector<int> rows;    // per row of the list: a feature, or -1 for a group's heading
  std::vector<std::string> language_tags;  // the language chooser's items after "Automatic"
  ShapedRun run;
  std::wstring text;  // the field's text, read once a change
  bool filled = false;
  int selected = -1;  // the glyph a click named
  // Where the first line was drawn, for clicks.
  RECT area = {};
  LinePlaces places;
  int line_x = 0, line_top = 0, line_bottom = 0;
  // The text field's font: the viewed face at the interface's size, so that the
  // field shows the scripts the face has and the interface font may not.
  HFONT text_font = nullptr;

  FeaturesPage() = default;
  FeaturesPage(const FeaturesPage&) = delete;
  FeaturesPage& operator=(const FeaturesPage&) = delete;
  ~FeaturesPage() {
    if (text_font) DeleteObject(text_font);
  }
};

FeaturesPage* PageOf(HWND window) {
  return reinterpret_cast<FeaturesPage*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}
FeaturesPage* PageOf(const ViewerState& s) {
  return s.features_view ? PageOf(s.features_view) : nullptr;
}

std::wstring Widen(const std::string& text, UINT code_page) {
  if (text.empty()) return {};
  const int count = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(count, 0)), L'\0');
  if (count > 0)
    MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        count);
  return wide;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int count = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(std::max(count, 0)), '\0');
  if (count > 0)
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                        count, nullptr, nullptr);
  return utf8;
}

std::wstring WindowTextW(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

int ComboSelection(HWND combo) {
  return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

// The script chosen, "" for automatic.
std::string ChosenScript(const FeaturesPage& p) {
  const int item = ComboSelection(p.script_combo);
  if (item <= 0 || static_cast<size_t>(item) > p.layout.scripts.size()) return {};
  return p.layout.scripts[static_cast<size_t>(item) - 1].tag;
}

std::string ChosenLanguage(const FeaturesPage& p) {
  const int item = ComboSelection(p.language_combo);
  if (item <= 0 || static_cast<size_t>(item) > p.language_tags.size()) return {};
  return p.language_tags[static_cast<size_t>(item) - 1];
}

// The coordinates of the instance the other pages draw: its static font is made
// from them. None for the default, and for an instance drawn as the default.
std::vector<AxisSetting> DrawnCoordinates(const ViewerState& s) {
  std::vector<AxisSetting> axes;
  const BuiltInstance* built = DrawnInstance(s);
  if (!built || built->instance == 0 || built->instance > s.instances.size()) return axes;
  const NamedInstance& instance = s.instances[built->instance - 1];
  for (size_t a = 0; a < s.axes.size() && a < instance.coordinates.size(); ++a)
    axes.push_back({s.axes[a].tag, static_cast<float>(instance.coordinates[a] / 65536.0)});
  return axes;
}

ShapingRequest Request(const FeaturesPage& p, bool names) {
  ShapingRequest request;
  request.text = Utf8(p.text);
  const ShapingScript script = ScriptForOpenTypeTags(ChosenScript(p), ChosenLanguage(p));
  request.script = script.script;
  request.language = script.language;
  for (size_t f = 0; f < p.layout.features.size() && f < p.states.size(); ++f)
    if (p.states[f] != kStateDefault)
      request.features.push_back({p.layout.features[f].tag, p.states[f] == kStateOn ? 1u : 0u});
  request.variations = DrawnCoordinates(*p.viewer);
  request.glyph_names = names;
  return request;
}

// How many units of text its first `limit` characters take, a surrogate pair
// counted as one character.
size_t CutLength(const std::wstring& text, uint32_t limit) {
  uint32_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] >= 0xDC00 && text[i] <= 0xDFFF && i > 0 && text[i - 1] >= 0xD800 &&
        text[i - 1] <= 0xDBFF)
      continue;
    if (characters++ == limit) return i;
  }
  return text.size();
}

void Reshape(FeaturesPage& p) {
  p.selected = -1;
  p.text = WindowTextW(p.text_edit);
  p.run = p.font ? ShapeText(*p.font, Request(p, false)) : ShapedRun{};
  if (p.window) InvalidateRect(p.window, nullptr, FALSE);
}

// ---- the choosers and the feature list ------------------------------------------

void FillLanguages(FeaturesPage& p) {
  SendMessageA(p.language_combo, CB_RESETCONTENT, 0, 0);
  SendMessageA(p.language_combo, CB_ADDSTRING, 0,
               reinterpret_cast<LPARAM>(LanguageString(kTextAutomatic)));
  p.language_tags.clear();
  const std::string script = ChosenScript(p);
  for (const LayoutScript& s : p.layout.scripts) {
    if (!script.empty() && s.tag != script) continue;
    for (const std::string& tag : s.languages) {
      if (std::find(p.language_tags.begin(), p.language_tags.end(), tag) != p.language_tags.end())
        continue;
      p.language_tags.push_back(tag);
      const std::string name = tag == "dflt" ? LanguageString(kTextDefaultLanguageSystem)
                                             : LanguageName(tag);
      const std::string item = name.empty() ? tag : name + " (" + tag + ")";
      SendMessageA(p.language_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
  }
  SendMessageA(p.language_combo, CB_SETCURSEL, 0, 0);
}

void FillScripts(FeaturesPage& p) {
  SendMessageA(p.script_combo, CB_RESETCONTENT, 0, 0);
  SendMessageA(p.script_combo, CB_ADDSTRING, 0,
               reinterpret_cast<LPARAM>(LanguageString(kTextAutomatic)));
  for (const LayoutScript& s : p.layout.scripts) {
    const std::string name = ScriptName(s.tag);
    const std::string item = name.empty() ? s.tag : name + " (" + s.tag + ")";
    SendMessageA(p.script_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  SendMessageA(p.script_combo, CB_SETCURSEL, 0, 0);
  FillLanguages(p);
}

const char* StateText(int state) {
  return LanguageString(state == kStateOn    ? kTextFeatureOn
                        : state == kStateOff ? kTextFeatureOff
                                             : kTextFeatureDefault);
}

void SetRowState(const FeaturesPage& p, int row) {
  const int feature = p.rows[static_cast<size_t>(row)];
  if (feature < 0) return;
  LVITEMA item = {};
  item.iSubItem = 0;
  item.pszText = const_cast<char*>(StateText(p.states[static_cast<size_t>(feature)]));
  SendMessageA(p.feature_list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
}

void AddRow(FeaturesPage& p, int feature, const std::string& state, const std::string& tag,
            const std::string& name) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(p.rows.size());
  item.pszText = const_cast<char*>(state.c_str());
  const int row = static_cast<int>(
      SendMessageA(p.feature_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  if (row < 0) return;
  p.rows.push_back(feature);
  item.iSubItem = 1;
  item.pszText = const_cast<char*>(tag.c_str());
  SendMessageA(p.feature_list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
  item.iSubItem = 2;
  item.pszText = const_cast<char*>(name.c_str());
  SendMessageA(p.feature_list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
}

// Grouped by the tables that hold them: GSUB alone, GPOS alone, both; each group
// under a heading row, its features in the font's order. A feature switched on or
// off in the font shown before keeps its switch.
void FillFeatureList(FeaturesPage& p, const std::map<std::string, int>& kept) {
  SendMessageA(p.feature_list, LVM_DELETEALLITEMS, 0, 0);
  p.rows.clear();
  p.states.assign(p.layout.features.size(), kStateDefault);
  for (size_t f = 0; f < p.layout.features.size(); ++f) {
    const auto found = kept.find(p.layout.features[f].tag);
    if (found != kept.end()) p.states[f] = found->second;
  }
  const struct {
    uint8_t tables;
    int heading;
  } groups[] = {{kInGsub, kTextGsubGroup}, {kInGpos, kTextGposGroup},
                {kInGsub | kInGpos, kTextBothGroup}};
  for (const auto& group : groups) {
    bool headed = false;
    for (size_t f = 0; f < p.layout.features.size(); ++f) {
      const LayoutFeature& feature = p.layout.features[f];
      if (feature.tables != group.tables) continue;
      if (!headed) {
        AddRow(p, -1, "", "", LanguageString(group.heading));
        headed = true;
      }
      std::string name = FeatureName(feature.tag);
      if (feature.ui_name) name += name.empty() ? *feature.ui_name : ": " + *feature.ui_name;
      AddRow(p, static_cast<int>(f), StateText(p.states[f]), feature.tag, name);
    }
  }
}

void CycleRow(FeaturesPage& p, int row) {
  if (row < 0 || static_cast<size_t>(row) >= p.rows.size() || p.rows[static_cast<size_t>(row)] < 0)
    return;
  int& state = p.states[static_cast<size_t>(p.rows[static_cast<size_t>(row)])];
  state = (state + 1) % 3;
  SetRowState(p, row);
  Reshape(p);
}

// ---- layout and drawing ------------------------------------------------------------

int Scaled(int pixels) { return ScaleToDpi(pixels, ScreenDpiY); }

void LayoutPage(FeaturesPage& p, int width, int height) {
  const int margin = Scaled(4), line = UiLineHeight;
  const int row = line + Scaled(8);
  int y = margin;
  MoveWindow(p.text_edit, margin, y, std::max(0, width - 2 * margin), row, TRUE);
  y += row + margin;
  const int label = Scaled(64);
  const int half = std::max(0, (width - 3 * margin) / 2);
  const int combo = std::max(0, half - label);
  MoveWindow(p.script_label, margin, y + Scaled(3), label, line, TRUE);
  MoveWindow(p.script_combo, margin + label, y, combo, row + Scaled(200), TRUE);
  MoveWindow(p.language_label, 2 * margin + half, y + Scaled(3), label, line, TRUE);
  MoveWindow(p.language_combo, 2 * margin + half + label, y, combo, row + Scaled(200), TRUE);
  y += row + margin;
  const int list = std::max(Scaled(60), (height - y) * 2 / 5);
  MoveWindow(p.feature_list, margin, y, std::max(0, width - 2 * margin), list, TRUE);
  y += list + margin;
  p.area = {margin, y, std::max(margin, width - margin), std::max(y, height - margin)};
  if (p.feature_list) {
    const int columns = std::max(0, width - 2 * margin - GetSystemMetrics(SM_CXVSCROLL) - 4);
    SendMessageA(p.feature_list, LVM_SETCOLUMNWIDTH, 0, Scaled(72));
    SendMessageA(p.feature_list, LVM_SETCOLUMNWIDTH, 1, Scaled(48));
    SendMessageA(p.feature_list, LVM_SETCOLUMNWIDTH, 2, std::max(Scaled(80), columns - Scaled(120)));
  }
}

HFONT SizedFont(const ViewerState& s, int pixels) {
  LOGFONTA lf = s.logfont;
  lf.lfHeight = -pixels;
  lf.lfWidth = 0;
  return CreateFontIndirectA(&lf);
}

// The run with the font selected into dc, its origin (x, baseline): glyphs of one
// height go out in one call, each at HarfBuzz's position rounded to pixels.
void DrawRun(const ViewerState& s, HDC dc, const ShapedRun& run, const LinePlaces& places, int x,
             int baseline, int ascent, int descent, COLORREF background) {
  const size_t count = run.glyphs.size();
  std::vector<WORD> glyphs;
  std::vector<INT> advances;
  size_t first = 0;
  while (first < count) {
    size_t last = first;
    while (last + 1 < count && places.y[last + 1] == places.y[first]) ++last;
    glyphs.clear();
    advances.clear();
    for (size_t i = first; i <= last; ++i) {
      const uint32_t glyph = run.glyphs[i].glyph;
      glyphs.push_back(static_cast<WORD>(glyph > 0xFFFF ? 0 : glyph));
      advances.push_back(i < last ? places.x[i + 1] - places.x[i] : 0);
    }
    if (!s.colour_glyphs) {
      ExtTextOutW(dc, x + places.x[first], baseline + places.y[first], ETO_GLYPH_INDEX, nullptr,
                  reinterpret_cast<LPCWSTR>(glyphs.data()), static_cast<UINT>(glyphs.size()),
                  advances.data());
    } else {
      // Colour glyphs one by one, in the box of their advance; the others as text.
      for (size_t i = first; i <= last; ++i) {
        const int left = x + places.x[i];
        const int right = left + std::max(places.pen[i + 1] - places.pen[i], 1);
        const RECT box = {left, baseline + places.y[i] - ascent, right,
                          baseline + places.y[i] + descent};
        if (DrawColorGlyph(dc, *s.colour_glyphs, box, run.glyphs[i].glyph, s.dark != 0,
                           background) == GlyphForm::kText)
          ExtTextOutW(dc, left, baseline + places.y[i], ETO_GLYPH_INDEX, nullptr,
                      reinterpret_cast<LPCWSTR>(&glyphs[i - first]), 1, nullptr);
      }
    }
    first = last + 1;
  }
}

std::string GlyphNote(FeaturesPage& p) {
  if (p.selected < 0 || static_cast<size_t>(p.selected) >= p.run.glyphs.size() || !p.font)
    return LanguageString(kTextFeaturesHint);
  const ShapedRun named = ShapeText(*p.font, Request(p, true));
  const size_t i = static_cast<size_t>(p.selected);
  if (i >= named.glyphs.size()) return {};
  const ShapedGlyph& g = named.glyphs[i];
  char numbers[160];
  snprintf(numbers, sizeof numbers, " (%u)    %s %u    %s %d", g.glyph,
           LanguageString(kTextClusterLabel), g.cluster, LanguageString(kTextAdvanceLabel),
           static_cast<int>(g.x_advance));
  std::string note = std::string(LanguageString(kTextGlyphLabel)) + " " + named.names[i] + numbers;
  if (g.y_advance) note += "," + std::to_string(g.y_advance);
  note += std::string("    ") + LanguageString(kTextOffsetLabel) + " " +
          std::to_string(g.x_offset) + "," + std::to_string(g.y_offset);
  return note;
}

void PaintPage(FeaturesPage& p, HDC dc) {
  const ViewerState& s = *p.viewer;
  RECT client = {};
  GetClientRect(p.window, &client);
  const COLORREF face = s.dark ? kDarkFace : GetSysColor(COLOR_BTNFACE);
  const COLORREF paper = s.dark ? kDarkWindow : GetSysColor(COLOR_WINDOW);
  const COLORREF ink = s.dark ? kDarkText : GetSysColor(COLOR_WINDOWTEXT);
  SetDCBrushColor(dc, face);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  RECT area = p.area;
  if (area.bottom <= area.top) return;
  SetDCBrushColor(dc, paper);
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, s.dark ? kDarkLabel : GetSysColor(COLOR_GRAYTEXT));
  HGDIOBJ previous = SelectObject(dc, UiFont);
  const int pad = Scaled(4);
  int y = area.top + pad;
  // The file's glyph numbers name other glyphs in a face the system draws in its
  // place: the text is then drawn as the system draws it in that face, by
  // character, unshaped, and no glyph is named.
  const bool own_face = s.other_face.empty();
  // The notes: another face, why the text is not shaped or cut, then the glyph a
  // click named.
  std::vector<std::string> notes;
  if (!own_face) notes.push_back(std::string(LanguageString(kTextOtherFace)) + " : " + s.other_face);
  if (p.run.unshaped()) notes.push_back(LanguageString(kTextLayoutRefused));
  if (p.run.text_cut) notes.push_back(LanguageString(kTextTextCut));
  if (own_face) notes.push_back(GlyphNote(p));
  for (const std::string& note : notes) {
    RECT r = {area.left + pad, y, area.right - pad, y + UiLineHeight};
    DrawTextA(dc, note.c_str(), static_cast<int>(note.size()), &r,
              DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    y += UiLineHeight;
  }
  if (!s.glyph_font || !p.font) {
    SelectObject(dc, previous);
    return;
  }
  HRGN clip = CreateRectRgnIndirect(&area);
  SelectClipRgn(dc, clip);
  const int label_width = Scaled(36);
  const int x = area.left + pad + label_width;
  std::vector<int> sizes = {s.sample_size};
  const int first_em = PointsToHeight(s.sample_size) < 0 ? -PointsToHeight(s.sample_size)
                                                         : PointsToHeight(s.sample_size);
  const int rest = area.bottom - y - static_cast<int>(first_em * kLineFactor) - pad;
  for (int size : WaterfallSizes(rest, ScreenDpiY, kLineFactor)) sizes.push_back(size);
  for (size_t line = 0; line < sizes.size(); ++line) {
    const int em = std::abs(PointsToHeight(sizes[line]));
    HFONT font = SizedFont(s, em);
    if (!font) continue;
    SelectObject(dc, font);
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    // A font without outlines is measured by the system at its one strike's size:
    // its own ascender and descender say where its bitmaps go.
    int ascent = tm.tmAscent, descent = tm.tmDescent;
    if (s.colour_glyphs && !s.colour_glyphs->outlines && s.colour_glyphs->units_per_em) {
      ascent = s.colour_glyphs->ascender * em / s.colour_glyphs->units_per_em;
      descent = -s.colour_glyphs->descender * em / s.colour_glyphs->units_per_em;
    }
    const int height = std::max(static_cast<int>(em * kLineFactor), ascent + descent);
    const int baseline = y + (height + ascent - descent) / 2;
    const LinePlaces places = own_face ? PlaceShapedRun(p.run, em) : LinePlaces{};
    if (line == 0) {
      p.places = places;
      p.line_x = x;
      p.line_top = y;
      p.line_bottom = y + height;
      if (p.selected >= 0 && static_cast<size_t>(p.selected) < places.x.size()) {
        const size_t i = static_cast<size_t>(p.selected);
        RECT mark = {x + std::min(places.pen[i], places.x[i]), y,
                     x + std::max(places.pen[i + 1], places.x[i] + 2), y + height};
        SetDCBrushColor(dc, s.dark ? kDarkMark : RGB(204, 232, 255));
        FillRect(dc, &mark, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
      }
    }
    SetTextColor(dc, ink);
    const UINT align = SetTextAlign(dc, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
    if (own_face)
      DrawRun(s, dc, p.run, places, x, baseline, ascent, descent, paper);
    else
      ExtTextOutW(dc, x, baseline, 0, nullptr, p.text.data(),
                  static_cast<UINT>(CutLength(p.text, kShapingTextLimit)), nullptr);
    SetTextAlign(dc, align);
    SelectObject(dc, UiFont);
    SetTextColor(dc, s.dark ? kDarkLabel : GetSysColor(COLOR_GRAYTEXT));
    const std::string label = std::to_string(sizes[line]);
    RECT r = {area.left + pad, baseline - UiLineHeight, x - pad, baseline};
    DrawTextA(dc, label.c_str(), static_cast<int>(label.size()), &r,
              DT_SINGLELINE | DT_RIGHT | DT_BOTTOM | DT_NOPREFIX);
    DeleteObject(font);
    y += height;
    if (y >= area.bottom) break;
  }
  SelectClipRgn(dc, nullptr);
  if (clip) DeleteObject(clip);
  SelectObject(dc, previous);
}

void OnPaint(FeaturesPage& p) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(p.window, &paint);
  if (!dc) return;
  // Drawn off screen and copied whole, so that a keystroke does not flicker.
  RECT client = {};
  GetClientRect(p.window, &client);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, client.right, client.bottom) : nullptr;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    PaintPage(p, memory);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
  } else {
    PaintPage(p, dc);
  }
  if (memory) DeleteDC(memory);
  EndPaint(p.window, &paint);
}

void OnClick(FeaturesPage& p, int x, int y) {
  SetFocus(p.window);
  if (y < p.line_top || y >= p.line_bottom) return;
  p.selected = GlyphAtX(p.places, x - p.line_x, Scaled(3));
  InvalidateRect(p.window, nullptr, FALSE);
}

// ---- the children ------------------------------------------------------------------

// The page's own controls pass the viewer's keys (Ctrl+Tab and the like, Ctrl+Right
// and Ctrl+Left around the page's controls, Escape) on to it. Each control holds
// the viewer's record in its user data, as the viewer's own controls do.
LRESULT CALLBACK ChildProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                           DWORD_PTR) {
  if (message == WM_KEYDOWN) {
    const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const bool viewer_key = wparam == VK_ESCAPE ||
                            (ctrl && (wparam == VK_TAB || wparam == VK_PRIOR || wparam == VK_NEXT ||
                                      wparam == VK_LEFT || wparam == VK_RIGHT));
    if (viewer_key && GetViewerState(control)) return HandleNavigationKey(control, wparam, lparam);
  }
  if (message == WM_GETDLGCODE && wparam == VK_TAB) return DLGC_WANTALLKEYS;
  return DefSubclassProc(control, message, wparam, lparam);
}

HWND Child(FeaturesPage& p, const wchar_t* class_name, DWORD style, DWORD ex_style, int id) {
  HWND child = CreateWindowExW(ex_style, class_name, nullptr, WS_CHILD | WS_VISIBLE | style, 0, 0,
                               0, 0, p.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               ModuleInstance, nullptr);
  if (!child) return nullptr;
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont), FALSE);
  SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(p.viewer));
  SetWindowSubclass(child, ChildProc, 1, 0);
  return child;
}

void CreateChildren(FeaturesPage& p) {
  p.text_edit = Child(p, L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, kTextEditId);
  // Each keystroke reads the whole field: a pasted book would make it slow. The
  // line itself is cut shorter, with a note (kShapingTextLimit).
  if (p.text_edit) SendMessageW(p.text_edit, EM_LIMITTEXT, 16 * kShapingTextLimit, 0);
  p.script_label = Child(p, L"STATIC", SS_NOPREFIX, 0, 0);
  p.script_combo = Child(p, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
                         kScriptComboId);
  p.language_label = Child(p, L"STATIC", SS_NOPREFIX, 0, 0);
  p.language_combo = Child(p, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
                           kLanguageComboId);
  p.feature_list = Child(p, WC_LISTVIEWW,
                         LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER |
                             WS_TABSTOP,
                         WS_EX_CLIENTEDGE, kFeatureListId);
  if (p.feature_list) {
    SendMessageA(p.feature_list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                 LVS_EX_FULLROWSELECT);
    const char* headings[] = {"", "", ""};
    for (int c = 0; c < 3; ++c) {
      LVCOLUMNA column = {};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.cx = Scaled(c == 2 ? 240 : 60);
      column.pszText = const_cast<char*>(headings[c]);
      SendMessageA(p.feature_list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(c),
                   reinterpret_cast<LPARAM>(&column));
    }
  }
}

void SetTexts(const FeaturesPage& p) {
  SetWindowTextA(p.script_label, LanguageString(kTextScriptLabel));
  SetWindowTextA(p.language_label, LanguageString(kTextLanguageChooserLabel));
  const char* headings[] = {LanguageString(kTextFeatureDefault), "Tag",
                            LanguageString(kTextFeaturesTab)};
  for (int c = 0; c < 3; ++c) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<char*>(c == 0 ? "" : headings[c]);
    SendMessageA(p.feature_list, LVM_SETCOLUMNA, static_cast<WPARAM>(c),
                 reinterpret_cast<LPARAM>(&column));
  }
}

void ColourList(const FeaturesPage& p) {
  if (!p.feature_list) return;
  const ViewerState& s = *p.viewer;
  const COLORREF back = s.dark ? kDarkWindow : GetSysColor(COLOR_WINDOW);
  SendMessageA(p.feature_list, LVM_SETBKCOLOR, 0, back);
  SendMessageA(p.feature_list, LVM_SETTEXTBKCOLOR, 0, back);
  SendMessageA(p.feature_list, LVM_SETTEXTCOLOR, 0, s.dark ? kDarkText : GetSysColor(COLOR_WINDOWTEXT));
  InvalidateRect(p.feature_list, nullptr, TRUE);
}

LRESULT OnNotify(FeaturesPage& p, const NMHDR& header) {
  if (header.idFrom != kFeatureListId) return 0;
  if (header.code == NM_CLICK || header.code == NM_DBLCLK) {
    const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
    LVHITTESTINFO hit = {};
    hit.pt = activate.ptAction;
    const int row = static_cast<int>(
        SendMessageA(p.feature_list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    CycleRow(p, row);
  } else if (header.code == LVN_KEYDOWN) {
    const auto& key = reinterpret_cast<const NMLVKEYDOWN&>(header);
    if (key.wVKey == VK_SPACE)
      CycleRow(p, static_cast<int>(SendMessageA(p.feature_list, LVM_GETNEXTITEM,
                                                static_cast<WPARAM>(-1), LVNI_SELECTED)));
  }
  return 0;
}

LRESULT OnCommand(FeaturesPage& p, WPARAM wparam) {
  const int id = LOWORD(wparam), code = HIWORD(wparam);
  if (id == kTextEditId && code == EN_CHANGE) Reshape(p);
  if (id == kScriptComboId && code == CBN_SELCHANGE) {
    FillLanguages(p);
    Reshape(p);
  }
  if (id == kLanguageComboId && code == CBN_SELCHANGE) Reshape(p);
  return 0;
}

LRESULT Dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* p = new (std::nothrow) FeaturesPage;
    if (!p) return FALSE;
    p->window = window;
    p->viewer = static_cast<ViewerState*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(p));
  }
  FeaturesPage* p = PageOf(window);
  if (!p) return DefWindowProcA(window, message, wparam, lparam);
  switch (message) {
    case WM_CREATE:
      CreateChildren(*p);
      SetTexts(*p);
      ColourList(*p);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      delete p;
      return DefWindowProcA(window, message, wparam, lparam);
    case WM_SIZE:
      LayoutPage(*p, LOWORD(lparam), HIWORD(lparam));
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_ERASEBKGND:
      return TRUE;
    case WM_PAINT:
      OnPaint(*p);
      return 0;
    case WM_LBUTTONDOWN:
      OnClick(*p, static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
      return 0;
    case WM_KEYDOWN:
      if (p->viewer) return HandleNavigationKey(p->viewer->viewer, wparam, lparam);
      return 0;
    case WM_SETFOCUS:
      // The text field takes the keys typed on the page.
      if (p->text_edit && reinterpret_cast<HWND>(wparam) != p->text_edit) SetFocus(p->text_edit);
      return 0;
    case WM_NOTIFY:
      return OnNotify(*p, *reinterpret_cast<const NMHDR*>(lparam));
    case WM_COMMAND:
      return OnCommand(*p, wparam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
      if (p->viewer)
        if (HBRUSH brush = DarkControlColours(*p->viewer, message, reinterpret_cast<HDC>(wparam)))
          return reinterpret_cast<LRESULT>(brush);
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace
}  // namespace features_parts

namespace fp = features_parts;

LRESULT CALLBACK FeaturesPageProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  try {
    return fp::Dispatch(window, message, wparam, lparam);
  } catch (...) {
    return DefWindowProcA(window, message, wparam, lparam);  // out of memory: nothing drawn
  }
}

HWND CreateFeaturesPage(ViewerState& s) {
  return CreateWindowExA(0, kFeaturesClassName, nullptr, WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0,
                         s.viewer, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFeaturesViewId)),
                         ModuleInstance, &s);
}

void FillFeaturesPage(ViewerState& s) {
  fp::FeaturesPage* page = fp::PageOf(s);
  if (!page) return;
  fp::FeaturesPage& p = *page;
  std::wstring sample;
  std::map<std::string, int> kept;
  for (size_t f = 0; f < p.layout.features.size() && f < p.states.size(); ++f)
    if (p.states[f] != fp::kStateDefault) kept[p.layout.features[f].tag] = p.states[f];
  try {
    p.font.reset();
    p.opened.reset();
    p.layout = LayoutFacts{};
    if (s.opened && !s.load_error[0]) {
      // The face and its layout as the other pages read them, from the viewer's record.
      p.opened = s.opened;
      p.layout = FaceAnatomy(*p.opened, s.face).layout;
      p.font = OpenShapingFont(*p.opened, s.face);
      // The font's own sample text, in any script.
      if (!p.filled && FaceOf(*p.opened, s.face)) {
        if (std::optional<std::u16string> own =
                NameUtf16(FaceNames(*p.opened, s.face), kNameSampleText))
          sample.assign(own->begin(), own->end());
      }
    }
  } catch (...) {
    p.layout = LayoutFacts{};
    p.font.reset();
  }
  // The field's font follows the face; the field is destroyed before the record.
  // A face without outlines (bitmap emoji) would leave the field blank.
  LOGFONTA ui = {};
  const bool outlines = !s.colour_glyphs || s.colour_glyphs->outlines;
  if (!outlines && p.text_font) {
    SendMessageW(p.text_edit, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont), TRUE);
    DeleteObject(p.text_font);
    p.text_font = nullptr;
  }
  if (s.glyph_font && outlines && GetObjectA(UiFont, sizeof ui, &ui)) {
    HFONT font = fp::SizedFont(s, std::abs(ui.lfHeight ? ui.lfHeight : 12) + 2);
    if (font) {
      SendMessageW(p.text_edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
      if (p.text_font) DeleteObject(p.text_font);
      p.text_font = font;
    }
  }
  if (!p.filled) {
    // The font's own sample text where it has one, else the Sample page's.
    if (sample.empty()) sample = fp::Widen(s.sample_text, CP_ACP);
    SetWindowTextW(p.text_edit, sample.c_str());
    p.filled = true;
  }
  fp::FillScripts(p);
  fp::FillFeatureList(p, kept);
  fp::Reshape(p);
}

void ReleaseFeaturesFont(ViewerState& s) {
  fp::FeaturesPage* p = fp::PageOf(s);
  if (!p) return;
  p->font.reset();
  p->opened.reset();
  p->run = ShapedRun{};
  p->selected = -1;
}

void RecolourFeaturesPage(const ViewerState& s) {
  fp::FeaturesPage* p = fp::PageOf(s);
  if (!p) return;
  fp::ColourList(*p);
  InvalidateRect(p->window, nullptr, TRUE);
}

std::wstring FeaturesRunText(const ViewerState& s) {
  fp::FeaturesPage* p = fp::PageOf(s);
  if (!p || !p->font) return {};
  try {
    return fp::Widen(FormatShapedRun(ShapeText(*p->font, fp::Request(*p, true))), CP_UTF8);
  } catch (...) {
    return {};
  }
}
