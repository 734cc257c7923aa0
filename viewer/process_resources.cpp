#include "viewer/process_resources.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "text/language.h"
#include "viewer/block_list.h"
#include "viewer/features_page.h"
#include "viewer/theme.h"
#include "viewer/viewer_state.h"
#include "viewer/viewer_window.h"
#include "viewer/zoom_box.h"

HINSTANCE ModuleInstance = nullptr;
HMODULE RichEditModule = nullptr;
HFONT UiFont = nullptr;
HFONT UiNarrowFont = nullptr;
int UiLineHeight = 0;
int ScreenDpiY = 0;
HPEN GridPen = nullptr;
HBRUSH HollowBrush = nullptr;

int PointsToHeight(int points) { return -MulDiv(points, ScreenDpiY, 72); }

HMODULE LoadSystemLibrary(const char* name) {
  // LOAD_LIBRARY_SEARCH_SYSTEM32 is understood where AddDllDirectory exists
  // (Windows 8, or Windows 7 with its loader update); elsewhere spell out the path.
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel && GetProcAddress(kernel, "AddDllDirectory"))
    return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  char folder[MAX_PATH];
  UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::string path(folder, length);
  path += '\\';
  path += name;
  return LoadLibraryA(path.c_str());
}

namespace {

void LoadRichEdit() {
  UINT previous = SetErrorMode(SEM_NOOPENFILEERRORBOX);
  RichEditModule = LoadSystemLibrary("riched20.dll");
  if (!RichEditModule) RichEditModule = LoadSystemLibrary("riched32.dll");
  SetErrorMode(previous);
}

void CreateUiFont() {
  // The record as it was before Vista added iPaddedBorderWidth: every version
  // accepts this size.
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  UiFont = CreateFontIndirectA(&metrics.lfMenuFont);
  if (!UiFont) return;
  HDC screen = GetDC(nullptr);
  if (!screen) return;
  HGDIOBJ previous = SelectObject(screen, UiFont);
  TEXTMETRICA tm = {};
  GetTextMetricsA(screen, &tm);
  UiLineHeight = tm.tmHeight + tm.tmExternalLeading;
  // The same letters at two thirds of their width, for six-digit cell labels.
  LOGFONTA narrow = metrics.lfMenuFont;
  narrow.lfWidth = std::max<LONG>(1, tm.tmAveCharWidth * 2 / 3);
  UiNarrowFont = CreateFontIndirectA(&narrow);
  SelectObject(screen, previous);
  ScreenDpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
}

void RegisterWindowClass(const char* name, WNDPROC procedure, int background) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;  // 48 bytes on 32-bit Windows, 80 on 64-bit
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = procedure;
  wc.hInstance = ModuleInstance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background + 1));
  wc.lpszClassName = name;
  RegisterClassExA(&wc);
}

}  // namespace

void AttachProcess(HINSTANCE instance) {
  ModuleInstance = instance;

  INITCOMMONCONTROLSEX icc = {};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);

  LoadRichEdit();
  CreateUiFont();
  GridPen = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNFACE));
  HollowBrush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  CreateDarkBrushes();

  ResetBlockOrder();

  RegisterWindowClass(kViewerClassName, ViewerWindowProc, COLOR_BTNFACE);
  RegisterWindowClass(kZoomClassName, ZoomWindowProc, COLOR_WINDOW);
  RegisterWindowClass(kFeaturesClassName, FeaturesPageProc, COLOR_BTNFACE);
}

void DetachProcess() {
  UnregisterClassA(kFeaturesClassName, ModuleInstance);
  UnregisterClassA(kZoomClassName, ModuleInstance);
  UnregisterClassA(kViewerClassName, ModuleInstance);
  DeleteGdiObject(GridPen);
  DeleteDarkBrushes();
  DeleteGdiObject(UiFont);
  DeleteGdiObject(UiNarrowFont);
  if (RichEditModule) FreeLibrary(RichEditModule);
  RichEditModule = nullptr;
  FreeLanguageStrings();
}

ViewerState* ViewerOf(HWND window) {
  if (!window || !IsWindow(window)) return nullptr;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return nullptr;
  char class_name[64] = {};
  if (!GetClassNameA(window, class_name, sizeof class_name)) return nullptr;
  if (std::strcmp(class_name, kViewerClassName) != 0) return nullptr;
  if (reinterpret_cast<HINSTANCE>(GetClassLongPtrA(window, GCLP_HMODULE)) != ModuleInstance)
    return nullptr;
  return GetViewerState(window);
}

