// The viewer window: creation, destruction, the font it shows.
#pragma once

#include <windows.h>

#include <string>

#include "viewer/font_path.h"
#include "viewer/viewer_state.h"

LRESULT CALLBACK ViewerWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The viewer window's creation parameter (CREATESTRUCT::lpCreateParams).
struct ViewerCreateParams {
  FontPath path;
};

// Registers the font privately, reads it and creates the three fonts; on failure
// fills load_error. The load succeeded exactly when glyph_font exists.
void LoadFontFile(ViewerState& state, HDC dc);

// Undoes LoadFontFile: the three fonts, the font info, the registration, the path.
void ReleaseFontFile(ViewerState& state);

// Shows another file in an existing viewer window, keeping its controls, page,
// block, character set, sizes and sample text. False, with the window showing
// what it showed before, when the window is no viewer or the file cannot be shown.
bool LoadNextFont(HWND viewer, const FontPath& path);

// Hangs a page control (ids 200-208) off the state and the shared subclass
// procedure; Unsubclass undoes it and destroys the control.
void Subclass(ViewerState& state, HWND control, int id);
void Unsubclass(ViewerState& state, HWND control, int id);

// A rich-edit control, "RichEdit20A" or else "RichEdit"; nullptr when neither exists.
HWND CreateRichEdit(DWORD style, HWND parent, DWORD ex_style, int id);
