// Process-wide values shared by every viewer window of the process: built when
// the DLL is attached, released when it is detached.
#pragma once

#include <windows.h>

struct ViewerState;

inline constexpr char kViewerClassName[] = "Quenvale.wlxOrvane";
inline constexpr char kZoomClassName[] = "Quenvale.wlxOrvane.Zoom";

// Deletes a pen, brush or font the caller made and forgets it.
template <typename Object>
void DeleteGdiObject(Object& object) {
  if (object) DeleteObject(object);
  object = nullptr;
}

extern HINSTANCE ModuleInstance;
extern HMODULE RichEditModule;  // nullptr when neither rich-edit library loaded
extern HFONT UiFont;
extern HFONT UiNarrowFont;  // UiFont condensed, for labels that would not fit
extern int UiLineHeight;
extern int ScreenDpiY;
extern HPEN GridPen;
extern HBRUSH HollowBrush;

// Point size to a LOGFONT height at the screen's resolution.
int PointsToHeight(int points);

void AttachProcess(HINSTANCE instance);
void DetachProcess();

// Loads a library from the system directory only, never from the application's,
// the current or the viewed folder.
HMODULE LoadSystemLibrary(const char* name);

// The record of one of this DLL's viewer windows, or nullptr for anything else:
// a null or destroyed handle, another class, another module's or process's window.
ViewerState* ViewerOf(HWND window);
