// The record behind one viewer window.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "fontfile/font_info.h"
#include "text/settings.h"
#include "viewer/block_coverage.h"

struct ColorGlyphFont;

constexpr int kPageCount = 4;
constexpr int kGlyphsPage = 0, kInfoPage = 1, kSamplePage = 2, kOptionsPage = 3;

constexpr int kTabId = 100;
constexpr int kGlyphListId = 200, kInfoViewId = 201, kSampleViewId = 202, kOptionsHostId = 203;
constexpr int kCharsetComboId = 204, kBlockComboId = 205, kSizeEditId = 206, kSizeSliderId = 207;
constexpr int kFaceComboId = 208;  // only while a collection of several faces is shown
constexpr int kSubclassedCount = 9;  // ids 200-208

// Sent by the glyph list's subclass procedure after a left button press.
constexpr UINT kZoomRequest = WM_USER + 100;
// The host's new show flags (WPARAM), passed on from the load exports and ListSendCommand.
constexpr UINT kNewParamsMessage = WM_USER + 101;

// The file a viewer shows and all that was made of it. Taking another file
// replaces this record whole, so a field added here cannot be left behind.
struct LoadedFont {
  // The file's ANSI name; when font_path_wide is set, only its readable form.
  std::string font_path;
  std::wstring font_path_wide;  // set when only the UTF-16 path names the file
  int font_registered = 0;      // the path is registered with the system (FR_PRIVATE)
  // A web font's decoded sfnt, kept for its faces, and the system's handle of the
  // copy it was handed from memory; empty and null for every other file.
  std::vector<uint8_t> decoded;
  HANDLE font_memory = nullptr;
  FontInfo info;
  uint32_t face = 0;  // the face of a collection shown (0-based)
  std::vector<std::string> face_names;  // full name of every face; empty for one face
  HFONT glyph_font = nullptr;
  HFONT sample_font = nullptr;
  HFONT zoom_font = nullptr;
  LOGFONTA logfont = {};
  TEXTMETRICA glyph_metrics = {};
  FONTSIGNATURE signature = {};
  // The face the system draws in place of the file's (by its name, as the system
  // gives it); empty while it draws the file's own face.
  std::string other_face;
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
  int zoom_code = -1;  // the cell the last zoom box showed; -1 before the first
  int marked_code = -1;  // the cell a search for a character marked; -1 for none
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
  HWND face_combo = nullptr;
  bool face_selector = false;  // face_combo is shown: the file holds more than one face
  std::vector<int> listed_blocks;  // the block list's items: BlockOrder positions in order
  HWND viewer = nullptr;  // the window this record belongs to
  WNDPROC prev_procs[kSubclassedCount] = {};
};

// The record in a window's user-data slot, or nullptr.
inline ViewerState* GetViewerState(HWND window) {
  return reinterpret_cast<ViewerState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}
