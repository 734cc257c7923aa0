// The DLL entry point and the functions the host calls. Nothing may throw
// past these: each body catches everything.
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>

#include "viewer/process_resources.h"
#include "text/settings.h"
#include "viewer/font_path.h"
#include "viewer/viewer_state.h"
#include "viewer/viewer_window.h"

namespace {

// By extension; a web font also by its signature ("wOFF", "wOF2"), whatever its name.
constexpr char kDetectString[] =
    "ext=\"TTF\"|ext=\"TTC\"|ext=\"OTF\"|ext=\"FON\"|ext=\"PFM\"|ext=\"WOFF\"|ext=\"WOFF2\"|"
    "([0]=\"w\"&[1]=\"O\"&[2]=\"F\"&([3]=\"F\"|[3]=\"2\"))";

// The progress notice: high word 0xFFFE, low word the per cent loaded.
constexpr WPARAM kLoadedNotice = 0xFFFE0064;

constexpr int kListOk = 0, kListError = 1;

HWND OpenViewer(HWND parent, FontPath path, int show_flags) {
  ViewerCreateParams params{std::move(path)};
  RECT r = {};
  GetClientRect(parent, &r);
  HWND viewer = CreateWindowExA(0, kViewerClassName, nullptr, WS_CHILD, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, parent, nullptr,
                                ModuleInstance, &params);
  if (!viewer) return nullptr;
  // Dark mode is chosen before the window is first shown.
  SendMessageA(viewer, kNewParamsMessage, static_cast<WPARAM>(show_flags), 0);
  ShowWindow(viewer, SW_SHOW);
  PostMessageA(parent, WM_COMMAND, kLoadedNotice, reinterpret_cast<LPARAM>(viewer));
  return viewer;
}

}  // namespace

// The host's default-parameters record; only the path is read.
struct DefaultParams {
  int32_t size;
  uint32_t version_low;
  uint32_t version_high;
  char settings_path[MAX_PATH];
};

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  try {
    if (reason == DLL_PROCESS_ATTACH) AttachProcess(instance);
    if (reason == DLL_PROCESS_DETACH) DetachProcess();
  } catch (...) {
  }
  return TRUE;
}

extern "C" HWND __stdcall ListLoad(HWND parent, char* path, int show_flags) {
  try {
    return OpenViewer(parent, FontPath{path ? path : "", {}}, show_flags);
  } catch (...) {
    return nullptr;
  }
}

extern "C" HWND __stdcall ListLoadW(HWND parent, WCHAR* path, int show_flags) {
  try {
    return OpenViewer(parent, FontPathFromWide(path), show_flags);
  } catch (...) {
    return nullptr;
  }
}

// The host's "next file" and "previous file" keys: the same window shows another
// file. On an error the host closes the window and opens the file elsewhere.
extern "C" int __stdcall ListLoadNext(HWND, HWND viewer, char* path, int show_flags) {
  try {
    if (!path || !LoadNextFont(viewer, FontPath{path, {}})) return kListError;
    SendMessageA(viewer, kNewParamsMessage, static_cast<WPARAM>(show_flags), 0);
    return kListOk;
  } catch (...) {
    return kListError;
  }
}

extern "C" int __stdcall ListLoadNextW(HWND, HWND viewer, WCHAR* path, int show_flags) {
  try {
    if (!path || !LoadNextFont(viewer, FontPathFromWide(path))) return kListError;
    SendMessageA(viewer, kNewParamsMessage, static_cast<WPARAM>(show_flags), 0);
    return kListOk;
  } catch (...) {
    return kListError;
  }
}

extern "C" void __stdcall ListCloseWindow(HWND viewer) {
  try {
    DestroyWindow(viewer);
  } catch (...) {
  }
}

extern "C" void __stdcall ListGetDetectString(char* buffer, int size) {
  if (!buffer || size <= 0) return;
  size_t length = std::strlen(kDetectString);
  if (length > static_cast<size_t>(size) - 1) length = static_cast<size_t>(size) - 1;
  std::memcpy(buffer, kDetectString, length);
  buffer[length] = '\0';
}

extern "C" void __stdcall ListSetDefaultParams(DefaultParams* params) {
  try {
    if (!params) return;
    // Assigning replaces (and frees) the copy of an earlier call. The field holds
    // MAX_PATH characters: a path without terminator is cut there, not read past.
    const char* path = params->settings_path;
    SettingsPath = std::string(path, strnlen(path, sizeof params->settings_path));
  } catch (...) {
  }
}
