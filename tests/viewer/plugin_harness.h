// Loads the built plug-in the way the host does and gives the tests a parent
// window to open viewers in.
#pragma once

#include <windows.h>

#include <string>

#include "viewer/viewer_state.h"

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
};

// Loaded once per test program; the exports must all be there.
const PluginApi& Plugin();

// A shown top-level window whose client area is width x height, with or
// without a sizing border. Destroyed by the caller.
HWND MakeParent(bool sizing_border, int width = 600, int height = 400);

// Escape presses that reached a parent made by MakeParent.
struct ParentKeyLog {
  int escapes = 0;
  LPARAM last_key_data = 0;
};
ParentKeyLog& ParentKeys();

HWND LoadViewer(HWND parent, const std::string& path);

// The viewer's record: the tests share the DLL's compiler and headers.
ViewerState* StateOf(HWND viewer);

// What the tab control announces when the user clicks tab `page`.
void ClickTab(HWND viewer, int page);

// Dispatches whatever is queued for this thread.
void Pump();

std::string WindowText(HWND window);

void SetSettingsFile(const std::string& path);

// Writes `text` as a file, creating or replacing it.
void WriteTextFile(const std::string& path, const std::string& text);

// The section "Quenvale.Orvane" of an INI file as "key=value" lines joined by '\n'.
std::string SettingsSection(const std::string& ini_path);

// The line height of the menu font on the screen, measured as attach does.
int MenuFontLineHeight();

std::string DejaVuPath();
