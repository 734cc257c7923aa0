// orvane-host: a stand-in for the file manager's Lister window. Loads the plug-in,
// checks its detection string, passes the settings file, shows one font and
// closes on Escape; with --screenshot it saves a picture of the page and exits.
// --dark passes the dark-mode show flag (128) to ListLoad.
// --block and --charset pick from the Glyphs page's lists as a user would
// (--glyph-view the block list's last item),
// --zoom presses the mouse on a cell (real input) so that the zoom box opens;
// --thumbnail WxH FILE.png writes the plug-in's preview bitmap of the font
// instead of showing it. The --bench-* options run one of the benchmarks
// (bench_*.cpp) in place of the interactive window.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

#include "fontfile/face_glyphs.h"
#include "fontfile/opened_font.h"
#include "tools/orvane_host/benchmarks.h"
#include "tools/orvane_host/features_input.h"
#include "tools/orvane_host/plugin_api.h"
#include "tools/orvane_host/png_writer.h"
#include "tools/orvane_host/screen_capture.h"

namespace {

constexpr WPARAM kLoadedNotice = 0xFFFE0064;
constexpr UINT_PTR kScreenshotTimer = 1;
constexpr UINT_PTR kZoomTimer = 2;
constexpr UINT_PTR kBenchTimer = 3;

struct Options {
  std::string dll;
  std::string file;
  std::string settings;
  std::string screenshot;
  std::string thumbnail;  // --thumbnail: the PNG to write
  int thumbnail_width = 0, thumbnail_height = 0;
  int width = 800, height = 600;
  int page = -1;
  std::string find;  // --find: text looked for on the shown page, as the host's F7 does
  // --features-text and --feature: the Features page's text and its switches
  // pressed ("ss01" on, "-liga" off), for screenshots of that page. The text is
  // taken from the wide command line (argument features_text_at): main()'s
  // arguments are in the ANSI code page, which holds few scripts.
  int features_text_at = 0;
  std::vector<std::string> features;
  int block = -1;
  bool glyph_view = false;  // --glyph-view: the block list's last item, every glyph by index
  int charset = -1;
  int zoom_row = -1, zoom_column = -1;
  bool bench = false;
  bool fixed = false;
  bool dark = false;
  int bench_start = 0;     // cycles of --bench-start
  int bench_browse = 0;    // passes of --bench-browse
  int bench_thumbnails = 0;  // passes of --bench-thumbnails
  int bench_switch = 0;      // cycles of --bench-switch
  int bench_keystroke = 0;   // cycles of --bench-keystroke
  std::string bench_face;  // face name and weight of the skeleton's fonts
  int bench_weight = 400;
  unsigned bench_first = 0x4E00;  // first code of the block the drawing floor draws
};

struct Host {
  Options options;
  Plugin plugin;
  HWND viewer = nullptr;
  bool loaded = false;
  int exit_code = 0;
};

Host g_host;

// Under Wine a Unix path reaches the Windows program unchanged; Z: is the Unix root.
std::string WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string out = "Z:" + path;
  for (char& c : out)
    if (c == '/') c = '\\';
  return out;
}

std::string DefaultDll() {
  char exe[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string folder(exe, length);
  folder.erase(folder.find_last_of("\\/") + 1);
  return folder + (sizeof(void*) == 8 ? "Orvane.wlx64" : "Orvane.wlx");
}

void Usage() {
  std::fprintf(stderr,
               "usage: orvane-host [--dll PATH] [--size WxH] [--settings FILE] [--fixed]\n"
               "                   [--dark] [--page N] [--find TEXT] [--block N | --glyph-view] [--charset N]\n"
               "                   [--zoom ROW,COLUMN] [--features-text TEXT] [--feature [-]TAG]...\n"
               "                   [--bench-paging] [--bench-start N --bench-face NAME\n"
               "                   [--bench-weight W] [--bench-first HEX]]\n"
               "                   [--bench-browse N] [--bench-thumbnails N] [--bench-switch N]\n"
               "                   [--bench-keystroke N]\n"
               "                   [--screenshot FILE.png|FILE.bmp]\n"
               "                   [--thumbnail WxH FILE.png] FONT\n");
}

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string text;
    auto number = [&](int& out) {
      if (!value(text)) return false;
      out = std::atoi(text.c_str());
      return true;
    };
    if (arg == "--dll") {
      if (!value(o.dll)) return false;
    } else if (arg == "--settings") {
      if (!value(o.settings)) return false;
    } else if (arg == "--screenshot") {
      if (!value(o.screenshot)) return false;
    } else if (arg == "--size") {
      if (!value(text) || std::sscanf(text.c_str(), "%dx%d", &o.width, &o.height) != 2) return false;
    } else if (arg == "--page") {
      if (!number(o.page)) return false;
    } else if (arg == "--find") {
      if (!value(o.find)) return false;
    } else if (arg == "--features-text") {
      std::string ignored;
      o.features_text_at = i + 1;
      if (!value(ignored)) return false;
    } else if (arg == "--feature") {
      std::string feature;
      if (!value(feature)) return false;
      o.features.push_back(feature);
    } else if (arg == "--block") {
      if (!number(o.block)) return false;
    } else if (arg == "--glyph-view") {
      o.glyph_view = true;
    } else if (arg == "--charset") {
      if (!number(o.charset)) return false;
    } else if (arg == "--zoom") {
      if (!value(text) || std::sscanf(text.c_str(), "%d,%d", &o.zoom_row, &o.zoom_column) != 2)
        return false;
    } else if (arg == "--bench-paging") {
      o.bench = true;
    } else if (arg == "--bench-start") {
      if (!number(o.bench_start)) return false;
    } else if (arg == "--bench-browse") {
      if (!number(o.bench_browse)) return false;
    } else if (arg == "--bench-thumbnails") {
      if (!number(o.bench_thumbnails)) return false;
    } else if (arg == "--bench-switch") {
      if (!number(o.bench_switch)) return false;
    } else if (arg == "--bench-keystroke") {
      if (!number(o.bench_keystroke)) return false;
    } else if (arg == "--bench-face") {
      if (!value(o.bench_face)) return false;
    } else if (arg == "--bench-first") {
      if (!value(text)) return false;
      o.bench_first = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 16));
    } else if (arg == "--bench-weight") {
      if (!number(o.bench_weight)) return false;
    } else if (arg == "--thumbnail") {
      if (!value(text) ||
          std::sscanf(text.c_str(), "%dx%d", &o.thumbnail_width, &o.thumbnail_height) != 2 ||
          !value(o.thumbnail))
        return false;
    } else if (arg == "--fixed") {
      o.fixed = true;
    } else if (arg == "--dark") {
      o.dark = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return false;
    } else {
      o.file = arg;
    }
  }
  if (o.dll.empty()) o.dll = DefaultDll();
  o.dll = WindowsPath(o.dll);
  o.file = WindowsPath(o.file);
  o.settings = WindowsPath(o.settings);
  o.screenshot = WindowsPath(o.screenshot);
  o.thumbnail = WindowsPath(o.thumbnail);
  return !o.file.empty() && o.width > 0 && o.height > 0;
}

// Whether the detection string names the file's extension (ext="XYZ" terms).
bool Detects(const std::string& detect, const std::string& file) {
  size_t dot = file.find_last_of('.');
  size_t slash = file.find_last_of("\\/");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string extension = file.substr(dot + 1);
  for (size_t at = detect.find("ext=\""); at != std::string::npos;
       at = detect.find("ext=\"", at + 1)) {
    size_t end = detect.find('"', at + 5);
    if (end == std::string::npos) break;
    if (lstrcmpiA(detect.substr(at + 5, end - at - 5).c_str(), extension.c_str()) == 0)
      return true;
  }
  return false;
}

// The files of FONT's folder that the detection string accepts, FONT first and
// the rest in name order after it: what the host's next-file key goes through.
std::vector<std::string> FolderFonts(const std::string& detect, const std::string& file) {
  const size_t slash = file.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
  std::vector<std::string> files;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string path = folder + found.cFileName;
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && Detects(detect, path))
        files.push_back(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) < 0;
  });
  auto at = std::find_if(files.begin(), files.end(), [&](const std::string& path) {
    return lstrcmpiA(path.c_str(), file.c_str()) == 0;
  });
  if (at == files.end()) at = files.insert(files.begin(), file);
  std::rotate(files.begin(), at, files.end());
  return files;
}

// --bench-face and --bench-weight.
BenchFace CommandLineFace(const Options& o) {
  BenchFace face;
  face.name = o.bench_face;
  face.weight = o.bench_weight;
  return face;
}

// The glyph count of the file's first face, as the glyph view counts it.
unsigned FaceGlyphCount(const std::string& file) {
  OpenedFont font;
  uint32_t count = 0, unreached = 0;
  if (!OpenFontFile(file.c_str(), font) || !CountFaceGlyphs(font, 0, count, unreached)) return 0;
  return count;
}

// A click on tab `page`, as the tab control would announce it.
void SwitchPage(HWND viewer, int page) {
  HWND tab = GetDlgItem(viewer, 100);
  if (!tab) return;
  NMHDR header = {tab, 100, static_cast<UINT>(TCN_SELCHANGING)};
  SendMessageA(viewer, WM_NOTIFY, 100, reinterpret_cast<LPARAM>(&header));
  SendMessageA(tab, TCM_SETCURSEL, page, 0);
  header.code = static_cast<UINT>(TCN_SELCHANGE);
  SendMessageA(viewer, WM_NOTIFY, 100, reinterpret_cast<LPARAM>(&header));
}

// A choice from one of the Glyphs page's combo boxes, announced as the box does.
void PickFromCombo(HWND viewer, int id, int index) {
  HWND combo = GetDlgItem(viewer, id);
  if (!combo) return;
  SendMessageA(combo, CB_SETCURSEL, index, 0);
  SendMessageA(viewer, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void SendMouse(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// Presses the left button on the middle of a cell. The zoom box opens inside the
// press and runs its own loop, which goes on dispatching this window's timers.
void PressOnCell(HWND viewer, int row, int column) {
  HWND list = GetDlgItem(viewer, kGlyphListId);
  if (!list) return;
  RECT item = {}, client = {};
  GetClientRect(list, &client);
  if (SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item)) == LB_ERR) return;
  if (item.bottom > client.bottom) {  // off the screen: scroll it to the top
    SendMessageA(list, LB_SETTOPINDEX, row, 0);
    UpdateWindow(list);
    SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
  }
  const int cell = client.right / 16;
  POINT at = {column * cell + cell / 2, (item.top + item.bottom) / 2};
  ClientToScreen(list, &at);
  SetCursorPos(at.x, at.y);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// The host window's client area as it is on the screen, as PNG or BMP.
bool SaveScreenshot(HWND window, const std::string& path) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT area;
  GetClientRect(window, &area);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
  const BgrImage image = CaptureScreen(area);
  if (image.bgr.empty()) return false;

  std::string lower = path;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".bmp") == 0) {
    const BITMAPINFOHEADER header = BgrHeader(image.width, image.height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + image.bgr.size());
    std::vector<uint8_t> bytes(file.bfOffBits);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &header, sizeof header);
    bytes.insert(bytes.end(), image.bgr.begin(), image.bgr.end());
    return WriteFile(path, bytes);
  }
  return WriteFile(path, EncodePng(image.width, image.height, ToRgb(image)));
}

// A bitmap's pixels as PNG.
bool SaveBitmap(HBITMAP bitmap, const std::string& path) {
  BgrImage image;
  if (!ReadBitmapBgr(bitmap, image)) return false;
  return WriteFile(path, EncodePng(image.width, image.height, ToRgb(image)));
}

// --thumbnail: asks the plug-in for its preview bitmap, as a thumbnail view would.
int WriteThumbnail(const Options& o) {
  const ListGetPreviewBitmapWFn preview = g_host.plugin.preview;
  if (!preview) {
    std::fprintf(stderr, "orvane-host: %s has no ListGetPreviewBitmapW\n", o.dll.c_str());
    return 1;
  }
  int units = MultiByteToWideChar(CP_ACP, 0, o.file.c_str(), -1, nullptr, 0);
  std::vector<WCHAR> file(static_cast<size_t>(std::max(units, 1)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, o.file.c_str(), -1, file.data(), units);
  HBITMAP bitmap = preview(file.data(), o.thumbnail_width, o.thumbnail_height, nullptr, 0);
  if (!bitmap) {
    std::fprintf(stderr, "orvane-host: no preview of %s\n", o.file.c_str());
    return 1;
  }
  bool saved = SaveBitmap(bitmap, o.thumbnail);
  DeleteObject(bitmap);  // the host owns the bitmap it is given
  if (!saved) {
    std::fprintf(stderr, "orvane-host: cannot write %s\n", o.thumbnail.c_str());
    return 1;
  }
  return 0;
}

void OnLoaded(HWND window) {
  if (g_host.loaded) return;
  g_host.loaded = true;
  const Options& o = g_host.options;
  if (o.page >= 0) SwitchPage(g_host.viewer, o.page);
  if (o.features_text_at > 0) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide && o.features_text_at < count) TypeFeaturesText(g_host.viewer, wide[o.features_text_at]);
    LocalFree(wide);
  }
  for (const std::string& feature : o.features) {
    const bool off = feature[0] == '-';
    if (!PressFeature(g_host.viewer, off ? feature.substr(1) : feature, off ? 2 : 1))
      std::fprintf(stderr, "orvane-host: the font has no feature %s\n", feature.c_str());
  }
  if (o.block >= 0) PickFromCombo(g_host.viewer, kBlockComboId, o.block);
  if (o.glyph_view)
    PickFromCombo(g_host.viewer, kBlockComboId,
                  static_cast<int>(SendDlgItemMessageA(g_host.viewer, kBlockComboId, CB_GETCOUNT,
                                                       0, 0)) - 1);
  if (o.charset >= 0) PickFromCombo(g_host.viewer, kCharsetComboId, o.charset);
  // In the block or view chosen: the glyph view finds glyphs by name.
  if (!o.find.empty() && g_host.plugin.search) {
    std::string text = o.find;
    g_host.plugin.search(g_host.viewer, text.data(), kSearchFindFirst);
  }
  if (o.bench) {
    SetTimer(window, kBenchTimer, 500, nullptr);
    return;
  }
  if (o.zoom_row >= 0) {
    SetTimer(window, kZoomTimer, 400, nullptr);
    return;
  }
  // Give the rich-edit views and the glyph list time to paint before capturing.
  if (!o.screenshot.empty()) SetTimer(window, kScreenshotTimer, 700, nullptr);
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (wparam == kLoadedNotice && reinterpret_cast<HWND>(lparam) == g_host.viewer)
        OnLoaded(window);
      return 0;
    case WM_SIZE:
      if (g_host.viewer)
        MoveWindow(g_host.viewer, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (g_host.viewer) SetFocus(g_host.viewer);
      return 0;
    case WM_KEYDOWN:
      if (wparam == VK_ESCAPE) DestroyWindow(window);
      return 0;
    case WM_TIMER:
      KillTimer(window, wparam);
      if (wparam == kScreenshotTimer) {
        if (!SaveScreenshot(window, g_host.options.screenshot)) {
          std::fprintf(stderr, "orvane-host: cannot write %s\n", g_host.options.screenshot.c_str());
          g_host.exit_code = 1;
        }
        // With a zoom box open this runs inside its loop: the viewer and the box
        // go with the window, and the quit below must still end this program.
        if (g_host.options.zoom_row >= 0) SendMouse(MOUSEEVENTF_LEFTUP);
        DestroyWindow(window);
      } else if (wparam == kZoomTimer) {
        if (!g_host.options.screenshot.empty()) SetTimer(window, kScreenshotTimer, 600, nullptr);
        PressOnCell(g_host.viewer, g_host.options.zoom_row, g_host.options.zoom_column);
      } else if (wparam == kBenchTimer) {
        const Options& o = g_host.options;
        BenchPaging(g_host.viewer, CommandLineFace(o), o.bench_first,
                    o.glyph_view ? FaceGlyphCount(o.file) : 0);
        DestroyWindow(window);
      }
      return 0;
    case WM_DESTROY:
      if (g_host.viewer) g_host.plugin.close(g_host.viewer);
      g_host.viewer = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

int Run(int argc, char** argv) {
  Options& o = g_host.options;
  if (!ParseOptions(argc, argv, o)) {
    Usage();
    return 2;
  }
  g_host.plugin.module = LoadLibraryA(o.dll.c_str());
  if (!g_host.plugin.module) {
    std::fprintf(stderr, "orvane-host: cannot load %s (error %lu)\n", o.dll.c_str(),
                 GetLastError());
    return 1;
  }
  auto* detect = reinterpret_cast<ListGetDetectStringFn>(
      reinterpret_cast<void*>(GetProcAddress(g_host.plugin.module, "ListGetDetectString")));
  auto* set_params = reinterpret_cast<ListSetDefaultParamsFn>(
      reinterpret_cast<void*>(GetProcAddress(g_host.plugin.module, "ListSetDefaultParams")));
  g_host.plugin.load = reinterpret_cast<ListLoadFn>(
      reinterpret_cast<void*>(GetProcAddress(g_host.plugin.module, "ListLoad")));
  g_host.plugin.close = reinterpret_cast<ListCloseWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(g_host.plugin.module, "ListCloseWindow")));
  g_host.plugin.load_next = reinterpret_cast<ListLoadNextFn>(
      reinterpret_cast<void*>(GetProcAddress(g_host.plugin.module, "ListLoadNext")));
  g_host.plugin.preview = reinterpret_cast<ListGetPreviewBitmapWFn>(
      reinterpret_cast<void*>(GetProcAddress(g_host.plugin.module, "ListGetPreviewBitmapW")));
  g_host.plugin.search = reinterpret_cast<ListSearchTextFn>(
      reinterpret_cast<void*>(GetProcAddress(g_host.plugin.module, "ListSearchText")));
  if (!detect || !set_params || !g_host.plugin.load || !g_host.plugin.close) {
    std::fprintf(stderr, "orvane-host: %s lacks the Lister exports\n", o.dll.c_str());
    return 1;
  }
  char detect_string[1024] = {};
  detect(detect_string, sizeof detect_string);
  if (!Detects(detect_string, o.file)) {
    std::fprintf(stderr, "orvane-host: %s is not a file the plug-in views (%s)\n",
                 o.file.c_str(), detect_string);
    return 2;
  }
  if (!o.settings.empty()) {
    DefaultParams params = {};
    params.size = sizeof params;
    params.version_low = 0;
    params.version_high = 2;
    lstrcpynA(params.settings_path, o.settings.c_str(), MAX_PATH);
    set_params(&params);
  }
  if (!o.thumbnail.empty() || o.bench_thumbnails > 0) {
    constexpr int kThumbnailWidth = 200, kThumbnailHeight = 150;
    int result = !o.thumbnail.empty()
                     ? WriteThumbnail(o)
                     : BenchThumbnails(g_host.plugin, FolderFonts(detect_string, o.file),
                                       kThumbnailWidth, kThumbnailHeight, o.bench_thumbnails);
    FreeLibrary(g_host.plugin.module);
    return result;
  }

  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = HostWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = "OrvaneHost";
  RegisterClassExA(&wc);
  DWORD style = o.fixed ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX
                        : WS_OVERLAPPEDWINDOW;
  RECT frame = {0, 0, o.width, o.height};
  AdjustWindowRect(&frame, style, FALSE);
  std::string title = "Orvane - " + o.file;
  HWND window = CreateWindowExA(0, "OrvaneHost", title.c_str(), style, 0, 0,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  if (o.bench_start > 0) {
    PumpMessages();
    g_host.exit_code =
        BenchStart(window, g_host.plugin, o.file, CommandLineFace(o), o.bench_start);
    DestroyWindow(window);
    PumpMessages();
    FreeLibrary(g_host.plugin.module);
    return g_host.exit_code;
  }
  if (o.bench_browse > 0 || o.bench_switch > 0 || o.bench_keystroke > 0) {
    PumpMessages();
    g_host.viewer = g_host.plugin.load(window, o.file.data(), 0);
    if (g_host.viewer && o.bench_keystroke > 0)
      g_host.exit_code = BenchKeystroke(g_host.viewer, o.bench_keystroke);
    else if (g_host.viewer && o.bench_switch > 0)
      g_host.exit_code = BenchSwitch(window, g_host.viewer, o.file, o.bench_switch);
    else if (g_host.viewer)
      g_host.exit_code = BenchBrowse(window, g_host.viewer, g_host.plugin,
                                     FolderFonts(detect_string, o.file), o.bench_browse);
    else
      std::fprintf(stderr, "orvane-host: the plug-in made no window for %s\n", o.file.c_str());
    if (!g_host.viewer) g_host.exit_code = 1;
    DestroyWindow(window);
    PumpMessages();
    FreeLibrary(g_host.plugin.module);
    return g_host.exit_code;
  }

  constexpr int kDarkModeFlag = 128;
  g_host.viewer = g_host.plugin.load(window, o.file.data(), o.dark ? kDarkModeFlag : 0);
  if (!g_host.viewer) {
    std::fprintf(stderr, "orvane-host: the plug-in made no window for %s\n", o.file.c_str());
    DestroyWindow(window);
    g_host.exit_code = 1;
  } else {
    SetFocus(g_host.viewer);
  }

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  FreeLibrary(g_host.plugin.module);
  return g_host.exit_code;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (...) {
    return 1;
  }
}
