// Loads the built plug-in the way the host does and gives the tests a parent
// window to open viewers in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "viewer/viewer_state.h"

// An export of a loaded DLL as a typed function pointer; the detour through void*
// keeps the compiler from warning about the cast between function types.
template <typename F>
F DllExport(HMODULE dll, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

struct DefaultParamsRecord {
  int32_t size;
  uint32_t version_low;
  uint32_t version_high;
  char settings_path[MAX_PATH];
};

struct PluginApi {
  HMODULE dll = nullptr;
  HWND(__stdcall* list_load)(HWND, char*, int) = nullptr;
  void(__stdcall* list_close)(HWND) = nullptr;
  void(__stdcall* get_detect_string)(char*, int) = nullptr;
  void(__stdcall* set_default_params)(DefaultParamsRecord*) = nullptr;
  HWND(__stdcall* list_load_w)(HWND, WCHAR*, int) = nullptr;
  int(__stdcall* list_load_next)(HWND, HWND, char*, int) = nullptr;
  int(__stdcall* list_load_next_w)(HWND, HWND, WCHAR*, int) = nullptr;
};

// Loaded once per test program; the exports must all be there.
const PluginApi& Plugin();

// A shown top-level window whose client area is width x height, with or
// without a sizing border. Destroyed by the caller.
HWND MakeParent(bool sizing_border, int width = 600, int height = 400);

// One parent made by MakeParent(true, 640, 760) on first use and kept for the whole
// program: without a window manager, hiding or destroying the active top-level
// window makes Wine wait two seconds for the focus to move.
HWND SharedParent();

// Escape presses that reached a parent made by MakeParent.
struct ParentKeyLog {
  int escapes = 0;
  LPARAM last_key_data = 0;
};
ParentKeyLog& ParentKeys();

HWND LoadViewer(HWND parent, const std::string& path);
HWND LoadViewerW(HWND parent, const std::wstring& path);
// ListLoadNext and ListLoadNextW: 0 when the viewer shows the file, 1 when not.
int LoadNext(HWND parent, HWND viewer, const std::string& path);
int LoadNextW(HWND parent, HWND viewer, const std::wstring& path);

// ANSI (the system code page) to UTF-16, for building wide paths from host paths.
std::wstring Widen(const std::string& ansi);

// The viewer's record: the tests share the DLL's compiler and headers.
ViewerState* StateOf(HWND viewer);

// What the tab control announces when the user clicks tab `page`.
void ClickTab(HWND viewer, int page);

// Dispatches whatever is queued for this thread.
void Pump();

std::string WindowText(HWND window);
// The text of a combo box's item.
std::string ComboItem(HWND combo, int index);

// A combo box's drop-down list: the width its longest item needs in its font
// with a scroll bar beside it, the closed box's width, the screen's work area
// width, the dropped width it was given, and the list's width as it opens.
struct DroppedList {
  int needed = 0, closed = 0, work = 0, dropped = 0, shown = 0;
};
DroppedList MeasureDroppedList(HWND combo);
// Ctrl held down (Shift up) in this thread's key state, as the viewer's keys read it.
void SetCtrl(bool down);

void SetSettingsFile(const std::string& path);

// Writes `text` as a file, creating or replacing it.
void WriteTextFile(const std::string& path, const std::string& text);

// The section "Quenvale.Orvane" of an INI file as "key=value" lines joined by '\n'.
std::string SettingsSection(const std::string& ini_path);

// The line height of the menu font on the screen, measured as attach does.
int MenuFontLineHeight();

std::string DejaVuPath();

// The client area of a window as it is on the screen, one 0xRRGGBB value a pixel.
struct Pixels {
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;
  uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
  // Whether the rectangle [left, right) x [top, bottom) is the same in both.
  bool SameIn(const Pixels& other, const RECT& r) const;
  // Whether both have ink (a colour other than `background`) at the same pixels of r.
  bool SameInkIn(const Pixels& other, const RECT& r, uint32_t background) const;
  // Pixels of the rectangle that differ from `background`.
  int InkIn(const RECT& r, uint32_t background) const;
};
Pixels CaptureClient(HWND window);
// A bitmap's pixels (read as the host would draw them), and the bitmap deleted;
// nothing for a null bitmap.
Pixels TakeBitmap(HBITMAP bitmap);
// The thumbnail ListGetPreviewBitmap makes of `path` at width x height.
Pixels ThumbnailPixels(const std::string& path, int width, int height);
// `text` drawn apart with DrawTextA's `flags` into `r` of a width x height area in
// the window colour, in `font` and the system colour `text_colour`, as a control draws it.
Pixels DrawTextApart(int width, int height, HFONT font, RECT r, const char* text, UINT flags,
                     int text_colour = COLOR_WINDOWTEXT);
// The size of one line of `text` in `font` on the screen.
SIZE TextExtent(HFONT font, const char* text);

// Ink of the code labels of the glyph list's top row that reaches the pixel
// columns just inside the cells' frames: 0 when every label fits its cell.
int LabelInkAtCellEdges(HWND list, int line_height);

// The whole text of a rich-edit view as UTF-16, paragraph ends as the control keeps them.
std::wstring ViewText(HWND view);

// The clipboard's CF_UNICODETEXT; "<clipboard busy>" when it cannot be opened.
std::wstring ClipboardText();

// A system colour as 0xRRGGBB.
uint32_t SystemRgb(int index);

// Real mouse input through SendInput: the cursor goes to a screen point first.
void MouseMoveTo(POINT screen);
void MouseButton(bool down);
void MouseClickAt(POINT screen);
// A real press of the left button at `screen` while the thread timer `watch` runs
// every 40 ms (the zoom box's own loop dispatches it too). Waits up to three
// seconds for `done`, which the watch sets once it has let the button go, and
// lets the button go itself otherwise.
void PressWhileWatching(POINT screen, TIMERPROC watch, const bool& done);

// A viewer of one font over a fresh settings file with the blocks in table order
// and small glyphs, so that whole blocks fit; `extra` adds setting lines.
struct GridViewer {
  explicit GridViewer(const std::string& name, const std::string& extra = "",
                      const std::string& font = DejaVuPath(), int width = 640, int height = 760);
  ~GridViewer();
  GridViewer(const GridViewer&) = delete;
  GridViewer& operator=(const GridViewer&) = delete;
  ViewerState& state() const { return *StateOf(window); }
  // As the user picks them: the combo box's selection and its notice.
  void SelectBlock(int position);
  // The block list's last item: every glyph by index.
  void ShowGlyphView();
  void SelectCharset(int row);
  // The middle of a cell, in the glyph list's client coordinates.
  POINT CellCentre(int row, int column) const;
  POINT ListToScreen(POINT client) const;
  void Close();
  std::string ini;
  HWND parent = nullptr;
  HWND window = nullptr;
};

constexpr const char* kZoomClass = "Quenvale.wlxOrvane.Zoom";

// The mean colour (0xRRGGBB, each pixel weighted by its alpha) of the PNG that the
// colour bitmap font at `host_path` holds for `code` (beyond U+FFFF) in its strike
// nearest `ppem`, decoded with WIC; nothing when there is none.
std::optional<uint32_t> BitmapGlyphMeanColour(const std::string& host_path, uint32_t code,
                                              uint32_t ppem = 109);
// The mean colour of the pixels of `r` that differ from `background` by more than
// `threshold` (the sum of the channels' differences), and how many there are.
uint32_t InkMeanColour(const Pixels& pixels, const RECT& r, uint32_t background, int* count,
                       int threshold = 96);
// Whether two 0xRRGGBB colours are within `tolerance` in every channel.
bool ColoursNear(uint32_t a, uint32_t b, int tolerance);
