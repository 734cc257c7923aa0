#include "tests/viewer/plugin_harness.h"

#include <commctrl.h>
#include <objbase.h>
#include <richedit.h>
#include <wincodec.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <map>
#include <utility>
#include <vector>

#include "fontfile/char_map.h"
#include "fontfile/color_glyphs.h"
#include "fontfile/font_info.h"
#include "platform/platform.h"
#include "support/test_paths.h"

namespace {

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_KEYDOWN && wparam == VK_ESCAPE) {
    ++ParentKeys().escapes;
    ParentKeys().last_key_data = lparam;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

ParentKeyLog& ParentKeys() {
  static ParentKeyLog log;
  return log;
}

const PluginApi& Plugin() {
  static PluginApi api = [] {
    PluginApi a;
    a.dll = LoadLibraryA(HostPath(ORVANE_PLUGIN_PATH).c_str());
    if (!a.dll) {
      std::fprintf(stderr, "cannot load %s\n", ORVANE_PLUGIN_PATH);
      std::abort();
    }
    a.list_load = DllExport<decltype(a.list_load)>(a.dll, "ListLoad");
    a.list_close = DllExport<decltype(a.list_close)>(a.dll, "ListCloseWindow");
    a.get_detect_string = DllExport<decltype(a.get_detect_string)>(a.dll, "ListGetDetectString");
    a.set_default_params = DllExport<decltype(a.set_default_params)>(a.dll, "ListSetDefaultParams");
    a.list_load_w = DllExport<decltype(a.list_load_w)>(a.dll, "ListLoadW");
    a.list_load_next = DllExport<decltype(a.list_load_next)>(a.dll, "ListLoadNext");
    a.list_load_next_w = DllExport<decltype(a.list_load_next_w)>(a.dll, "ListLoadNextW");
    if (!a.list_load || !a.list_close || !a.get_detect_string || !a.set_default_params ||
        !a.list_load_w || !a.list_load_next || !a.list_load_next_w) {
      std::fprintf(stderr, "the plug-in lacks an export\n");
      std::abort();
    }
    return a;
  }();
  return api;
}

HWND MakeParent(bool sizing_border, int width, int height) {
  static ATOM atom = [] {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = "OrvaneTestParent";
    return RegisterClassExA(&wc);
  }();
  (void)atom;
  DWORD style = sizing_border ? WS_OVERLAPPEDWINDOW : (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU);
  RECT frame = {0, 0, width, height};
  AdjustWindowRect(&frame, style, FALSE);
  HWND parent = CreateWindowExA(0, "OrvaneTestParent", "test", style, 10, 10,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(parent, SW_SHOW);
  SetForegroundWindow(parent);
  SetActiveWindow(parent);
  SetFocus(parent);
  Pump();
  return parent;
}

HWND SharedParent() {
  static HWND parent = MakeParent(true, 640, 760);
  return parent;
}

HWND LoadViewer(HWND parent, const std::string& path) {
  std::vector<char> copy(path.begin(), path.end());
  copy.push_back('\0');
  return Plugin().list_load(parent, copy.data(), 0);
}

HWND LoadViewerW(HWND parent, const std::wstring& path) {
  std::vector<WCHAR> copy(path.begin(), path.end());
  copy.push_back(L'\0');
  return Plugin().list_load_w(parent, copy.data(), 0);
}

int LoadNext(HWND parent, HWND viewer, const std::string& path) {
  std::vector<char> copy(path.begin(), path.end());
  copy.push_back('\0');
  return Plugin().list_load_next(parent, viewer, copy.data(), 0);
}

int LoadNextW(HWND parent, HWND viewer, const std::wstring& path) {
  std::vector<WCHAR> copy(path.begin(), path.end());
  copy.push_back(L'\0');
  return Plugin().list_load_next_w(parent, viewer, copy.data(), 0);
}

std::wstring Widen(const std::string& ansi) {
  int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(std::max(size, 0)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), out.data(), size);
  return out;
}

ViewerState* StateOf(HWND viewer) {
  return reinterpret_cast<ViewerState*>(GetWindowLongPtrA(viewer, GWLP_USERDATA));
}

void ClickTab(HWND viewer, int page) {
  HWND tab = GetDlgItem(viewer, kTabId);
  NMHDR header = {tab, static_cast<UINT_PTR>(kTabId), static_cast<UINT>(TCN_SELCHANGING)};
  SendMessageA(viewer, WM_NOTIFY, kTabId, reinterpret_cast<LPARAM>(&header));
  SendMessageA(tab, TCM_SETCURSEL, page, 0);
  header.code = static_cast<UINT>(TCN_SELCHANGE);
  SendMessageA(viewer, WM_NOTIFY, kTabId, reinterpret_cast<LPARAM>(&header));
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void SetCtrl(bool down) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = down ? 0x80 : 0;
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
}

std::string ComboItem(HWND combo, int index) {
  const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
  if (length < 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::strlen(text.c_str()));
  return text;
}

DroppedList MeasureDroppedList(HWND combo) {
  DroppedList out;
  const HFONT font = reinterpret_cast<HFONT>(SendMessageA(combo, WM_GETFONT, 0, 0));
  const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i)
    out.needed = std::max(out.needed, static_cast<int>(TextExtent(font, ComboItem(combo, i).c_str()).cx));
  out.needed += GetSystemMetrics(SM_CXVSCROLL);
  RECT closed = {};
  GetWindowRect(combo, &closed);
  out.closed = closed.right - closed.left;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromWindow(combo, MONITOR_DEFAULTTONEAREST), &monitor);
  out.work = monitor.rcWork.right - monitor.rcWork.left;
  // The list is made as wide as it needs as it opens.
  SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  Pump();
  out.dropped = static_cast<int>(SendMessageA(combo, CB_GETDROPPEDWIDTH, 0, 0));
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  RECT list = {};
  if (GetComboBoxInfo(combo, &info) && info.hwndList) GetWindowRect(info.hwndList, &list);
  out.shown = list.right - list.left;
  SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
  Pump();
  return out;
}

std::string WindowText(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(window, text.data(), length + 1);
  text.resize(std::strlen(text.c_str()));
  return text;
}

void SetSettingsFile(const std::string& path) {
  DefaultParamsRecord record = {};
  record.size = sizeof record;
  record.version_high = 2;
  lstrcpynA(record.settings_path, path.c_str(), MAX_PATH);
  Plugin().set_default_params(&record);
}

void WriteTextFile(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

std::string SettingsSection(const std::string& ini_path) {
  std::vector<char> buffer(32768);
  DWORD length = GetPrivateProfileSectionA("Quenvale.Orvane", buffer.data(),
                                           static_cast<DWORD>(buffer.size()), ini_path.c_str());
  std::string out;
  for (const char* p = buffer.data(); p < buffer.data() + length && *p; p += std::strlen(p) + 1) {
    if (!out.empty()) out += '\n';
    out += p;
  }
  return out;
}

int MenuFontLineHeight() {
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
  HDC screen = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(screen, font);
  TEXTMETRICA tm = {};
  GetTextMetricsA(screen, &tm);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  DeleteObject(font);
  return tm.tmHeight + tm.tmExternalLeading;
}

std::string DejaVuPath() { return HostPath("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"); }

bool Pixels::SameIn(const Pixels& other, const RECT& r) const {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (At(x, y) != other.At(x, y)) return false;
  return true;
}

bool Pixels::SameInkIn(const Pixels& other, const RECT& r, uint32_t background) const {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if ((At(x, y) != background) != (other.At(x, y) != background)) return false;
  return true;
}

int Pixels::InkIn(const RECT& r, uint32_t background) const {
  int ink = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) ink += At(x, y) != background;
  return ink;
}

namespace {

// A 32-bit top-down bitmap selected into a memory device context.
struct Canvas {
  Canvas(HDC like, int width, int height) : width(width), height(height) {
    memory = CreateCompatibleDC(like);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    previous = SelectObject(memory, bitmap);
  }
  ~Canvas() {
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  Pixels Read() const {
    GdiFlush();
    Pixels out;
    out.width = width;
    out.height = height;
    const auto* words = static_cast<const uint32_t*>(bits);
    out.rgb.assign(words, words + static_cast<size_t>(width) * height);
    for (uint32_t& p : out.rgb) p &= 0xFFFFFF;
    return out;
  }
  int width, height;
  HDC memory = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  void* bits = nullptr;
};

}  // namespace

Pixels CaptureClient(HWND window) {
  UpdateWindow(window);
  RECT client;
  GetClientRect(window, &client);
  if (client.right <= 0 || client.bottom <= 0) return Pixels{};
  HDC source = GetDC(window);
  Pixels out;
  {
    Canvas canvas(source, client.right, client.bottom);
    BitBlt(canvas.memory, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
    out = canvas.Read();
  }
  ReleaseDC(window, source);
  return out;
}

Pixels TakeBitmap(HBITMAP bitmap) {
  Pixels out;
  BITMAP shape = {};
  if (!bitmap || !GetObjectA(bitmap, sizeof shape, &shape)) return out;
  out.width = shape.bmWidth;
  out.height = shape.bmHeight;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = out.width;
  info.bmiHeader.biHeight = -out.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  out.rgb.resize(static_cast<size_t>(out.width) * out.height);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, out.height, out.rgb.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  for (uint32_t& p : out.rgb) p &= 0xFFFFFF;
  DeleteObject(bitmap);
  return out;
}

Pixels ThumbnailPixels(const std::string& path, int width, int height) {
  auto preview = DllExport<HBITMAP(__stdcall*)(char*, int, int, char*, int)>(
      Plugin().dll, "ListGetPreviewBitmap");
  std::string copy = path;
  return TakeBitmap(preview(copy.data(), width, height, nullptr, 0));
}

Pixels DrawTextApart(int width, int height, HFONT font, RECT r, const char* text, UINT flags,
                     int text_colour) {
  HDC screen = GetDC(nullptr);
  Pixels out;
  {
    Canvas canvas(screen, width, height);
    RECT all = {0, 0, width, height};
    FillRect(canvas.memory, &all, GetSysColorBrush(COLOR_WINDOW));
    HGDIOBJ old_font = SelectObject(canvas.memory, font);
    SetBkMode(canvas.memory, TRANSPARENT);
    SetTextColor(canvas.memory, GetSysColor(text_colour));
    DrawTextA(canvas.memory, text, -1, &r, flags);
    SelectObject(canvas.memory, old_font);
    out = canvas.Read();
  }
  ReleaseDC(nullptr, screen);
  return out;
}

SIZE TextExtent(HFONT font, const char* text) {
  HDC screen = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(screen, font);
  SIZE extent = {};
  GetTextExtentPoint32A(screen, text, lstrlenA(text), &extent);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  return extent;
}

uint32_t SystemRgb(int index) {
  COLORREF c = GetSysColor(index);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

void MouseMoveTo(POINT screen) {
  // Absolute input runs 0-65535 over the primary screen.
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((screen.x * 65536LL + width - 1) / width);
  input.mi.dy = static_cast<LONG>((screen.y * 65536LL + height - 1) / height);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

void MouseButton(bool down) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof input);
}

void MouseClickAt(POINT screen) {
  MouseMoveTo(screen);
  MouseButton(true);
  MouseButton(false);
}

void PressWhileWatching(POINT screen, TIMERPROC watch, const bool& done) {
  const UINT_PTR timer = SetTimer(nullptr, 0, 40, watch);
  MouseMoveTo(screen);
  Pump();
  MouseButton(true);
  for (const DWORD start = GetTickCount(); !done && GetTickCount() - start < 3000;) {
    Pump();
    Sleep(5);
  }
  KillTimer(nullptr, timer);
  if (!done) MouseButton(false);
  for (int i = 0; i < 10; ++i) {
    Pump();
    Sleep(5);
  }
}

GridViewer::GridViewer(const std::string& name, const std::string& extra, const std::string& font,
                       int width, int height)
    : ini(ScratchDir(name) + "\\host.ini") {
  std::string text = "[Quenvale.Orvane]\r\nFontSizeGlyphs=12\r\n" + extra;
  if (extra.find("SortOrderUnicodeBlocks=") == std::string::npos)
    text += "SortOrderUnicodeBlocks=0\r\n";
  WriteTextFile(ini, text);
  SetSettingsFile(ini);
  // Parents are kept for the next viewer of the same size: under a display
  // without a window manager, Wine takes two seconds to destroy an active window.
  static std::map<std::pair<int, int>, HWND> parents;
  HWND& kept = parents[{width, height}];
  if (!kept || !IsWindow(kept)) kept = MakeParent(true, width, height);
  parent = kept;
  SetForegroundWindow(parent);
  SetFocus(parent);
  window = LoadViewer(parent, font);
  Pump();
}

GridViewer::~GridViewer() {
  Close();
  Pump();
}

void GridViewer::Close() {
  if (window && IsWindow(window)) Plugin().list_close(window);
  window = nullptr;
}

void GridViewer::SelectBlock(int position) {
  SendMessageA(state().block_combo, CB_SETCURSEL, position, 0);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(kBlockComboId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(state().block_combo));
  Pump();
}

void GridViewer::ShowGlyphView() {
  SelectBlock(static_cast<int>(SendMessageA(state().block_combo, CB_GETCOUNT, 0, 0)) - 1);
}

void GridViewer::SelectCharset(int row) {
  SendMessageA(state().charset_combo, CB_SETCURSEL, row, 0);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(kCharsetComboId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(state().charset_combo));
  Pump();
}

POINT GridViewer::CellCentre(int row, int column) const {
  HWND list = state().glyph_list;
  RECT item = {}, client = {};
  SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
  GetClientRect(list, &client);
  const int cell = client.right / 16;
  return {column * cell + cell / 2, (item.top + item.bottom) / 2};
}

POINT GridViewer::ListToScreen(POINT client) const {
  ClientToScreen(state().glyph_list, &client);
  return client;
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return L"<clipboard busy>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = units;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

std::wstring ViewText(HWND view) {
  std::wstring text(65536, L'\0');
  GETTEXTEX request = {};
  request.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  request.codepage = 1200;
  LRESULT length = SendMessageW(view, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                                reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
  return text;
}

int LabelInkAtCellEdges(HWND list, int line_height) {
  RECT item = {}, client = {};
  SendMessageA(list, LB_GETITEMRECT, SendMessageA(list, LB_GETTOPINDEX, 0, 0),
               reinterpret_cast<LPARAM>(&item));
  GetClientRect(list, &client);
  const int w = client.right / 16;
  const Pixels p = CaptureClient(list);
  int ink = 0;
  for (int column = 0; column < 16; ++column) {
    const int left = column * w + 1, right = (column + 1) * w - 1;
    // The cell's own colour (white, or the tint of a hole) beside its frame.
    const uint32_t paper = p.At(left, item.top + 1);
    for (int y = item.top + 1; y < item.top + line_height; ++y)
      ink += (p.At(left, y) != paper) + (p.At(right, y) != paper);
  }
  return ink;
}

std::optional<uint32_t> BitmapGlyphMeanColour(const std::string& host_path, uint32_t code,
                                              uint32_t ppem) {
  FontInfo info;
  if (!ReadFontFile(host_path.c_str(), info)) return std::nullopt;
  MappedFile file;
  if (!MapFileReadOnly(host_path.c_str(), file)) return std::nullopt;
  const ColorGlyphTables tables = FindColorGlyphTables(ByteView{file.data, file.size}, 0);
  BitmapGlyph glyph;
  if (FindBitmapGlyph(tables, static_cast<uint16_t>(GlyphOf(info.coverage, code)), ppem, glyph) !=
      ColorLookup::kFound)
    return std::nullopt;
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  std::optional<uint32_t> mean;
  IWICImagingFactory* factory = nullptr;
  IWICStream* stream = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  UINT width = 0, height = 0;
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
      SUCCEEDED(factory->CreateStream(&stream)) &&
      SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE*>(glyph.png.data), glyph.png.size)) &&
      SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand,
                                                 &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&width, &height)) &&
      SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
      SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                      nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
    std::vector<uint8_t> bgra(size_t{width} * height * 4);
    if (SUCCEEDED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(bgra.size()),
                                        bgra.data()))) {
      double sum[3] = {}, alpha = 0;
      for (size_t i = 0; i < bgra.size(); i += 4) {
        for (int c = 0; c < 3; ++c) sum[c] += double(bgra[i + c]) * bgra[i + 3];
        alpha += bgra[i + 3];
      }
      if (alpha > 0)
        mean = uint32_t(sum[2] / alpha + 0.5) << 16 | uint32_t(sum[1] / alpha + 0.5) << 8 |
               uint32_t(sum[0] / alpha + 0.5);
    }
  }
  for (IUnknown* object : std::initializer_list<IUnknown*>{converter, frame, decoder, stream, factory})
    if (object) object->Release();
  if (com) CoUninitialize();
  return mean;
}

uint32_t InkMeanColour(const Pixels& pixels, const RECT& r, uint32_t background, int* count,
                       int threshold) {
  double sum[3] = {};
  int n = 0;
  for (int y = std::max(0L, r.top); y < std::min<LONG>(r.bottom, pixels.height); ++y)
    for (int x = std::max(0L, r.left); x < std::min<LONG>(r.right, pixels.width); ++x) {
      const uint32_t p = pixels.At(x, y);
      int difference = 0;
      for (int c = 0; c < 3; ++c)
        difference += std::abs(int(p >> (8 * c) & 0xFF) - int(background >> (8 * c) & 0xFF));
      if (difference <= threshold) continue;
      for (int c = 0; c < 3; ++c) sum[c] += p >> (8 * c) & 0xFF;
      ++n;
    }
  if (count) *count = n;
  if (!n) return 0;
  return uint32_t(sum[2] / n + 0.5) << 16 | uint32_t(sum[1] / n + 0.5) << 8 |
         uint32_t(sum[0] / n + 0.5);
}

bool ColoursNear(uint32_t a, uint32_t b, int tolerance) {
  for (int c = 0; c < 3; ++c)
    if (std::abs(int(a >> (8 * c) & 0xFF) - int(b >> (8 * c) & 0xFF)) > tolerance) return false;
  return true;
}
