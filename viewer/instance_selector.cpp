#include "viewer/instance_selector.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "fontfile/face_tables.h"
#include "platform/platform.h"
#include "viewer/process_resources.h"
#include "text/language.h"
#include "viewer/block_list.h"
#include "viewer/display_fonts.h"
#include "viewer/face_selector.h"
#include "viewer/pages.h"
#include "viewer/viewer_window.h"

namespace {

// The axes and named instances of the face shown, as the face's variation tables
// were read once. An instance whose coordinates do not match the axes is left out.
void ReadInstances(LoadedFont& font) {
  font.axes.clear();
  font.instances.clear();
  if (!font.opened) return;
  const VariationFacts& read = FaceVariations(*font.opened, font.face);
  if (read.fvar != TableState::kPresent) return;
  VariationFacts facts;
  facts.axes = read.axes;
  facts.instances = read.instances;
  const size_t axes = facts.axes.size();
  std::erase_if(facts.instances,
                [axes](const NamedInstance& i) { return i.coordinates.size() != axes; });
  if (axes == 0 || facts.instances.empty()) return;
  if (facts.instances.size() > kMaxListedInstances) facts.instances.resize(kMaxListedInstances);
  font.axes = std::move(facts.axes);
  font.instances = std::move(facts.instances);
}

// An instance at the default's coordinates is the default: drawn from the file.
bool AtDefault(const LoadedFont& font, size_t instance) {
  if (instance == 0) return true;
  const std::vector<int32_t>& at = font.instances[instance - 1].coordinates;
  for (size_t a = 0; a < font.axes.size(); ++a)
    if (at[a] != font.axes[a].default_value) return false;
  return true;
}

BuiltInstance BuildInstance(const LoadedFont& font, size_t instance) {
  BuiltInstance built;
  built.face = font.face;
  built.instance = instance;
  // Process-wide, so that no two static fonts, of this viewer or another, share
  // a family, and none takes the name of an installed font.
  static unsigned made = 0;
  built.family = "Orvane Instance " + std::to_string(++made);
  built.problem = InstanceProblem::kBadTable;
  if (!font.opened) return built;
  const InstanceRequest request{font.face, font.instances[instance - 1].coordinates,
                                built.family};
  std::vector<uint8_t> sfnt;
  try {
    if (!BuildStaticInstance(*font.opened, request, sfnt, built.problem)) return built;
  } catch (...) {
    // Out of memory: refused like an instance too large, the default stays drawn.
    built.problem = InstanceProblem::kTooLarge;
    return built;
  }
  // The system keeps a copy of its own.
  DWORD fonts = 0;
  HANDLE memory =
      AddFontMemResourceEx(sfnt.data(), static_cast<DWORD>(sfnt.size()), nullptr, &fonts);
  // A font the system refuses is as good as one whose tables do not add up.
  if (!memory) return built;
  built.memory = MemoryFont(memory, [](HANDLE font) { RemoveFontMemResourceEx(font); });
  built.problem = InstanceProblem::kNone;
  built.identity = FaceIdentityOf(ByteView{sfnt.data(), static_cast<uint32_t>(sfnt.size())}, 0);
  return built;
}

// Makes `instance` the one shown, building its static font unless it is kept or
// is the default. The viewer's fonts must be released first: the oldest static
// font kept may go.
void ChooseInstance(LoadedFont& font, size_t instance) {
  font.instance = instance;
  if (AtDefault(font, instance)) return;
  auto kept = std::find_if(font.built.begin(), font.built.end(), [&](const BuiltInstance& b) {
    return b.face == font.face && b.instance == instance;
  });
  if (kept != font.built.end()) {
    std::rotate(kept, kept + 1, font.built.end());  // the one shown last goes to the back
    return;
  }
  if (font.built.size() >= kKeptInstances) font.built.erase(font.built.begin());
  font.built.push_back(BuildInstance(font, instance));
}

const BuiltInstance* ChosenBuild(const LoadedFont& font) {
  if (font.instance == 0) return nullptr;
  for (const BuiltInstance& built : font.built)
    if (built.face == font.face && built.instance == font.instance) return &built;
  return nullptr;
}

void RememberShown(ViewerState& s) {
  const std::string name = s.instance == 0 ? std::string() : InstanceName(s, s.instance);
  std::snprintf(s.instance_name, sizeof s.instance_name, "%s", name.c_str());
}

}  // namespace

void OpenNamedInstance(ViewerState& s) {
  ReadInstances(s);
  s.instance = 0;
  if (s.instances.empty() || !s.instance_name[0]) return;
  for (size_t i = 1; i <= s.instances.size(); ++i) {
    if (InstanceName(s, i) != s.instance_name) continue;
    ChooseInstance(s, i);
    return;
  }
  // This font has no instance of that name: its default is shown, and remembered.
  s.instance_name[0] = '\0';
}

std::string InstanceName(const LoadedFont& font, size_t instance) {
  if (instance == 0 || instance > font.instances.size())
    return LanguageString(kTextDefaultInstance);
  const NamedInstance& named = font.instances[instance - 1];
  return named.subfamily.value_or("#" + std::to_string(named.subfamily_name_id));
}

std::string InstanceCoordinates(const LoadedFont& font, size_t instance) {
  std::string text;
  for (size_t a = 0; a < font.axes.size(); ++a) {
    std::string tag = font.axes[a].tag;
    while (!tag.empty() && tag.back() == ' ') tag.pop_back();
    const int32_t value = instance == 0 || instance > font.instances.size()
                              ? font.axes[a].default_value
                              : font.instances[instance - 1].coordinates[a];
    if (!text.empty()) text += ", ";
    text += tag + " = " + FixedText(value);
  }
  return text;
}

const BuiltInstance* DrawnInstance(const LoadedFont& font) {
  const BuiltInstance* built = ChosenBuild(font);
  return built && built->memory ? built : nullptr;
}

int InstanceNote(const LoadedFont& font) {
  const BuiltInstance* built = ChosenBuild(font);
  if (!built || built->memory) return -1;
  return built->problem == InstanceProblem::kCff2Outlines ? kTextInstanceCff2
                                                          : kTextInstanceRefused;
}

bool InstanceSelectorWanted(const LoadedFont& font) {
  return font.glyph_font && !font.instances.empty();
}

void UpdateInstanceSelector(ViewerState& s) {
  const bool wanted = InstanceSelectorWanted(s);
  // Made once and then hidden or shown, as the face selector is.
  if (wanted && !s.instance_combo) {
    s.instance_combo =
        CreateSizeRowSelector(s, kInstanceComboId, FaceSelectorWanted(s), true);
    if (!s.instance_combo) return;
  }
  if (wanted) {
    SendMessageA(s.instance_combo, WM_SETREDRAW, FALSE, 0);
    SendMessageA(s.instance_combo, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i <= s.instances.size(); ++i)
      SendMessageA(s.instance_combo, CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(InstanceName(s, i).c_str()));
    SendMessageA(s.instance_combo, CB_SETCURSEL, s.instance, 0);
    SendMessageA(s.instance_combo, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(s.instance_combo, nullptr, TRUE);
  }
  if (wanted == s.instance_selector) return;
  s.instance_selector = wanted;
  if (!wanted && GetFocus() == s.instance_combo) SetFocus(s.glyph_list);
  const bool shown = wanted && (s.page == kGlyphsPage || s.page == kSamplePage);
  PlaceSizeRow(s);
  ShowSizeRowSelector(s.instance_combo, shown);
}

bool SwitchInstance(ViewerState& s, size_t instance) {
  if (instance == s.instance || !s.glyph_font || instance > s.instances.size()) return false;
  HDC dc = GetDC(s.viewer);
  if (!dc) return false;
  // An open zoom box paints with the zoom font about to be deleted.
  if (s.glyph_list)
    if (HWND box = FindWindowExA(s.glyph_list, nullptr, kZoomClassName, nullptr))
      DestroyWindow(box);
  ReleaseViewerFonts(s);
  try {
    ChooseInstance(s, instance);
  } catch (...) {
    s.instance = 0;  // out of memory: the default, which needs nothing built
  }
  RememberShown(s);
  CreateViewerFonts(s, dc);
  ReleaseDC(s.viewer, dc);
  SendMessageA(s.glyph_list, LB_SETITEMHEIGHT, 0, GlyphRowHeight(s));
  const int block = s.block_index;
  RelistBlocks(s);
  RefillFontPages(s, s.block_index == block);
  return true;
}

void ReleaseInstances(LoadedFont& font) { font.built.clear(); }

void StoreInstance(const ViewerState& s) {
  if (s.instances.empty()) return;
  WriteInstanceSetting(s.instance_name);
}

LRESULT OnInstanceSelectorCommand(HWND viewer, WPARAM wparam) {
  ViewerState* state = GetViewerState(viewer);
  if (state && HIWORD(wparam) == CBN_DROPDOWN) WidenDroppedList(state->instance_combo);
  if (!state || HIWORD(wparam) != CBN_SELCHANGE) return 0;
  ViewerState& s = *state;
  const LRESULT selection = SendMessageA(s.instance_combo, CB_GETCURSEL, 0, 0);
  if (selection < 0 || !SwitchInstance(s, static_cast<size_t>(selection)))
    SendMessageA(s.instance_combo, CB_SETCURSEL, s.instance, 0);
  return 0;
}
