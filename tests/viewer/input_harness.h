// Real keyboard input through SendInput, message spies on the viewer's controls,
// screenshots, and a plug-in copy loaded from a folder of the test's choosing.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "tests/viewer/plugin_harness.h"

// Makes `window`'s top-level window the foreground window, where the keyboard
// input goes; true when it is.
bool BringToFront(HWND window);

// Presses and releases `key` while `modifiers` (VK_CONTROL, VK_SHIFT) are held,
// as the keyboard driver would, then dispatches what arrived.
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});

// Types digits and letters (upper case for letters) one key at a time.
void TypeText(const char* text);

// Dispatches messages for `ms` milliseconds: input arrives asynchronously.
void Settle(int ms = 60);

// One message a spied window procedure saw.
struct SeenMessage {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};

struct Spy {
  HWND window = nullptr;
  WNDPROC next = nullptr;
  bool behind = false;
  std::vector<SeenMessage> seen;
  int Count(UINT message, WPARAM wparam) const;
  LPARAM LastLparam(UINT message, WPARAM wparam) const;
};

// A spy in front of the window's present procedure: sees what the system sends.
Spy& SpyInFront(HWND window);
// A spy between ControlSubclassProc and the control's own procedure: sees only
// what the subclass procedure passes on.
Spy& SpyBehind(ViewerState& state, HWND control);

// The window's client area as it is on the screen, as <build>/screenshots/<file_name>.
bool SaveScreenshot(HWND window, const std::string& file_name);

// Copies the built plug-in into `folder` as `file_name` and loads that copy.
PluginApi LoadPluginCopy(const std::string& folder, const std::string& file_name);

// The file name of the built plug-in ("Orvane.wlx" or "Orvane.wlx64").
std::string PluginFileName();

// The height a point size asks of a font at the screen's resolution.
int HeightOfPoints(int points);

// The LOGFONT behind a font handle; lfHeight 0 and lfWidth -1 when it is no font.
LOGFONTA FontOf(HFONT font);

std::string ComboText(HWND combo, int index);

// Clicks the middle of tab `page` of the viewer's tab control with the mouse.
void ClickTabWithMouse(HWND viewer, int page);

// Passes the settings file to a loaded plug-in, as the host does.
void SetSettingsFileOf(const PluginApi& api, const std::string& ini_path);

// A viewer on DejaVu Sans in a 600 x 400 parent with a sizing border, with its
// own settings file (written from `settings` when that is not empty).
struct TestViewer {
  TestViewer(const PluginApi& api, const std::string& name, const std::string& settings = "");
  ~TestViewer();
  void Close();
  ViewerState& state() const { return *StateOf(window); }
  const PluginApi* api;
  std::string ini;
  HWND parent = nullptr;
  HWND window = nullptr;
};
