#include "tests/viewer/input_harness.h"

#include <commctrl.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <system_error>

#include "support/test_paths.h"
#include "tools/orvane_host/png_writer.h"
#include "tools/orvane_host/screen_capture.h"

namespace {

std::deque<Spy>& Spies() {
  static std::deque<Spy> spies;
  return spies;
}

// The spy set up last for the window wins: window handles are reused.
Spy* FindSpy(HWND window, bool behind) {
  auto& spies = Spies();
  for (auto it = spies.rbegin(); it != spies.rend(); ++it)
    if (it->window == window && it->behind == behind) return &*it;
  return nullptr;
}

LRESULT Record(bool behind, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Spy* spy = FindSpy(window, behind);
  if (!spy) return DefWindowProcA(window, message, wparam, lparam);
  spy->seen.push_back({message, wparam, lparam});
  return CallWindowProcA(spy->next, window, message, wparam, lparam);
}

LRESULT CALLBACK FrontProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return Record(false, window, message, wparam, lparam);
}

LRESULT CALLBACK BehindProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return Record(true, window, message, wparam, lparam);
}

bool IsExtended(WORD key) {
  switch (key) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
    case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
    case VK_INSERT: case VK_DELETE:
      return true;
  }
  return false;
}

INPUT KeyInput(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtended(key) ? KEYEVENTF_EXTENDEDKEY : 0);
  return input;
}

}  // namespace

int Spy::Count(UINT message, WPARAM wparam) const {
  int n = 0;
  for (const SeenMessage& m : seen)
    if (m.message == message && m.wparam == wparam) ++n;
  return n;
}

LPARAM Spy::LastLparam(UINT message, WPARAM wparam) const {
  for (auto it = seen.rbegin(); it != seen.rend(); ++it)
    if (it->message == message && it->wparam == wparam) return it->lparam;
  return 0;
}

Spy& SpyInFront(HWND window) {
  Spy& spy = Spies().emplace_back();
  spy.window = window;
  spy.behind = false;
  spy.next = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrontProc)));
  return spy;
}

Spy& SpyBehind(ViewerState& state, HWND control) {
  Spy& spy = Spies().emplace_back();
  spy.window = control;
  spy.behind = true;
  WNDPROC& slot = state.prev_procs[GetDlgCtrlID(control) - kGlyphListId];
  spy.next = slot;
  slot = BehindProc;
  return spy;
}

void Settle(int ms) {
  DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    Pump();
    Sleep(5);
  } while (static_cast<int>(end - GetTickCount()) > 0);
  Pump();
}

bool BringToFront(HWND window) {
  HWND top = GetAncestor(window, GA_ROOT);
  for (int i = 0; i < 20 && GetForegroundWindow() != top; ++i) {
    SetForegroundWindow(top);
    SetActiveWindow(top);
    Settle(20);
  }
  return GetForegroundWindow() == top;
}

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
  std::vector<INPUT> inputs;
  for (WORD m : modifiers) inputs.push_back(KeyInput(m, false));
  inputs.push_back(KeyInput(key, false));
  inputs.push_back(KeyInput(key, true));
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
    inputs.push_back(KeyInput(*it, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Settle();
}

void TypeText(const char* text) {
  for (const char* p = text; *p; ++p) PressKey(static_cast<WORD>(*p));
}

bool SaveScreenshot(HWND window, const std::string& file_name) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Settle(200);
  RECT r;
  GetClientRect(window, &r);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  const BgrImage image = CaptureScreen(r);
  if (image.bgr.empty()) return false;
  std::vector<uint8_t> png = EncodePng(image.width, image.height, ToRgb(image));

  std::string folder = HostPath(std::string(ORVANE_BINARY_DIR) + "/screenshots");
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  FILE* f = std::fopen((folder + "\\" + file_name).c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  return std::fclose(f) == 0 && ok;
}

std::string PluginFileName() {
  std::string path = ORVANE_PLUGIN_PATH;
  return path.substr(path.find_last_of("/\\") + 1);
}

PluginApi LoadPluginCopy(const std::string& folder, const std::string& file_name) {
  PluginApi api;
  std::string copy = folder + "\\" + file_name;
  if (!CopyFileA(HostPath(ORVANE_PLUGIN_PATH).c_str(), copy.c_str(), FALSE)) return api;
  api.dll = LoadLibraryA(copy.c_str());
  if (!api.dll) return api;
  auto find = [&](const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(api.dll, name));
  };
  api.list_load = reinterpret_cast<decltype(api.list_load)>(find("ListLoad"));
  api.list_close = reinterpret_cast<decltype(api.list_close)>(find("ListCloseWindow"));
  api.get_detect_string =
      reinterpret_cast<decltype(api.get_detect_string)>(find("ListGetDetectString"));
  api.set_default_params =
      reinterpret_cast<decltype(api.set_default_params)>(find("ListSetDefaultParams"));
  api.list_load_next = reinterpret_cast<decltype(api.list_load_next)>(find("ListLoadNext"));
  return api;
}

int HeightOfPoints(int points) {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return -MulDiv(points, dpi, 72);
}

LOGFONTA FontOf(HFONT font) {
  LOGFONTA lf = {};
  if (!font || GetObjectA(font, sizeof lf, &lf) != sizeof lf) {
    lf = {};
    lf.lfWidth = -1;
  }
  return lf;
}

std::string ComboText(HWND combo, int index) {
  char text[256] = {};
  LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
  if (length < 0 || length >= static_cast<LRESULT>(sizeof text)) return "";
  SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

void ClickTabWithMouse(HWND viewer, int page) {
  HWND tab = GetDlgItem(viewer, kTabId);
  RECT item = {};
  SendMessageA(tab, TCM_GETITEMRECT, page, reinterpret_cast<LPARAM>(&item));
  POINT at = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  ClientToScreen(tab, &at);
  SetCursorPos(at.x, at.y);
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
  Settle(100);
}

void SetSettingsFileOf(const PluginApi& api, const std::string& ini_path) {
  DefaultParamsRecord record = {};
  record.size = sizeof record;
  record.version_high = 2;
  lstrcpynA(record.settings_path, ini_path.c_str(), MAX_PATH);
  api.set_default_params(&record);
}

TestViewer::TestViewer(const PluginApi& plugin, const std::string& name,
                       const std::string& settings)
    : api(&plugin), ini(ScratchDir(name) + "\\host.ini") {
  if (!settings.empty()) WriteTextFile(ini, settings);
  SetSettingsFileOf(plugin, ini);
  parent = MakeParent(true);
  std::string path = DejaVuPath();
  window = plugin.list_load(parent, path.data(), 0);
  Settle(30);
}

void TestViewer::Close() {
  if (window) api->list_close(window);
  window = nullptr;
}

TestViewer::~TestViewer() {
  Close();
  DestroyWindow(parent);
  Pump();
}
