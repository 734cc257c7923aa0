// The record behind one viewer window.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fontfile/font_info.h"
#include "fontfile/instancer.h"
#include "fontfile/opened_font.h"
#include "fontfile/variation_tables.h"
#include "platform/platform.h"
#include "text/settings.h"
#include "viewer/block_coverage.h"
#include "viewer/drawn_face.h"
#include "viewer/features_controls.h"

struct ColorGlyphFont;

// The Features page follows the other four only while its switch is on.
constexpr int kPageCount = 5;
constexpr int kGlyphsPage = 0, kInfoPage = 1, kSamplePage = 2, kOptionsPage = 3, kFeaturesPage = 4;

constexpr int kTabId = 100;
constexpr int kGlyphListId = 200, kInfoViewId = 201, kSampleViewId = 202, kOptionsHostId = 203;
constexpr int kCharsetComboId = 204, kBlockComboId = 205, kSizeEditId = 206, kSizeSliderId = 207;
constexpr int kFaceComboId = 208;  // only while a collection of several faces is shown
constexpr int kInstanceComboId = 209;  // only while a variable font with named instances is shown
constexpr int kSubclassedCount = 10;  // ids 200-209

// Sent by the glyph list's subclass procedure after a left button press.
constexpr UINT kZoomRequest = WM_USER + 100;
// The host's new show flags (WPARAM), passed on from the load exports and ListSendCommand.
constexpr UINT kNewParamsMessage = WM_USER + 101;

// The system's handle of a font handed over from memory, removed with the last
// copy of the record that holds it.
using MemoryFont = std::shared_ptr<void>;

// A named instance made into a static font and handed to the system under a
// family name of its own, or the reason it could not be.
struct BuiltInstance {
  uint32_t face = 0;    // of a collection
  size_t instance = 0;  // its item in the face's instance selector (1 and on)
  std::string family;   // what the viewer's fonts ask for
  MemoryFont memory;    // null when refused
  std::optional<FaceIdentity> identity;  // the static font's, for the drawn-face check
  InstanceProblem problem = InstanceProblem::kNone;
};

// The file a viewer shows and all that was made of it. Taking another file
// replaces this record whole, so a field added here cannot be left behind.
struct LoadedFont {
  // The file's ANSI name; when font_path_wide is set, only its readable form.
  std::string font_path;
  std::wstring font_path_wide;  // set when only the UTF-16 path names the file
  int font_registered = 0;      // the path is registered with the system (FR_PRIVATE)
  // The file opened once for every read while it is shown: its bytes, each
  // face's directory and the tables parsed so far (fontfile/opened_font.h). A web
  // font's decoded sfnt in it is what the system was handed from memory, under
  // `font_memory` (null for every other file). Null while no file is open.
  std::shared_ptr<const OpenedFont> opened;
  HANDLE font_memory = nullptr;
  FontInfo info;
  uint32_t face = 0;  // the face of a collection shown (0-based)
  // The full name of every face listed, and its number; empty for one face. A
  // face that is the same font as an earlier one is listed once, as that face.
  std::vector<std::string> face_names;
  std::vector<uint32_t> face_numbers;
  HFONT glyph_font = nullptr;
  HFONT sample_font = nullptr;
  HFONT zoom_font = nullptr;
  LOGFONTA logfont = {};
  TEXTMETRICA glyph_metrics = {};
  FONTSIGNATURE signature = {};
  // The face the system draws in place of the file's (by its name, as the system
  // gives it); empty while it draws the file's own face.
  std::string other_face;
  // A variable face's axes and named instances; both empty for any other face,
  // which then has no instance selector. Item 0 of the selector is the default
  // instance, drawn from the file; item n is instances[n - 1].
  std::vector<VariationAxis> axes;
  std::vector<NamedInstance> instances;
  size_t instance = 0;  // the item shown
  // The static fonts of the last instances shown (of any face of a collection),
  // the one shown last at the back; a few only, freed with the file.
  std::vector<BuiltInstance> built;
  BlockCoverage cells;         // made with the glyph font
  std::shared_ptr<ColorGlyphFont> colour_glyphs;  // set when the face has colour glyphs
  char load_error[1024] = {};  // empty when the file loaded
};

// The settings fields come first, under the names the settings store uses, then
// the font's, under theirs.
struct ViewerState : ViewerSettings, LoadedFont {
  int line_height = 0;
  int page_built[kPageCount] = {};
  int parent_fixed = 0;
  int has_focus = 0;
  bool laid_out = false;  // the first WM_SIZE placed the controls
  int zoom_code = -1;  // the cell the last zoom box showed; -1 before the first
  int marked_code = -1;  // the cell a search for a character marked; -1 for none
  // The grid shows every glyph by index (viewer/glyph_view) rather than the block
  // at block_index; zoom_code and marked_code are then glyph indices.
  bool glyph_view = false;
  int dark = 0;        // drawn in dark colours (show flag 128)
  int recoloured = 0;  // dark mode was on once: light mode must now be set back explicitly
  HWND tab = nullptr;
  HWND glyph_list = nullptr;
  HWND info_view = nullptr;
  HWND sample_view = nullptr;
  HWND options_host = nullptr;
  HWND charset_combo = nullptr;
  HWND charset_spin = nullptr;
  HWND block_combo = nullptr;
  HWND block_spin = nullptr;
  HWND size_edit = nullptr;
  HWND size_slider = nullptr;
  HWND options_dialog = nullptr;
  HWND features_view = nullptr;
  HWND face_combo = nullptr;
  bool face_selector = false;  // face_combo is shown: the file holds more than one face
  HWND instance_combo = nullptr;
  bool instance_selector = false;  // instance_combo is shown: the face has named instances
  std::vector<int> listed_blocks;  // the block list's items: BlockOrder positions in order
  HWND viewer = nullptr;  // the window this record belongs to
  // This module's counts of file mappings and directory walks, for the tests (a
  // test program has counters of its own).
  const ReadCounts* read_counts = &ModuleReadCounts();
  WNDPROC prev_procs[kSubclassedCount] = {};
};

// The pages the tab control lists: four, or five with the Features page.
inline int PageCount(const ViewerSettings& s) { return s.features_page ? kPageCount : kPageCount - 1; }

// The record in a window's user-data slot, or nullptr.
inline ViewerState* GetViewerState(HWND window) {
  return reinterpret_cast<ViewerState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}
