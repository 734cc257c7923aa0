// The viewer window: creation, destruction, the font it shows.
#pragma once

#include <windows.h>

#include <string>

#include "viewer/viewer_state.h"

LRESULT CALLBACK ViewerWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Registers the font privately, reads it and creates the three fonts; on failure
// fills load_error. The load succeeded exactly when glyph_font exists.
void LoadFontFile(ViewerState& state, HDC dc);

// The three display fonts from info, charset_index and the three sizes; measures
// glyph_metrics and signature.
void CreateViewerFonts(ViewerState& state, HDC dc);
void ReleaseViewerFonts(ViewerState& state);

// A rich-edit control, "RichEdit20A" or else "RichEdit"; nullptr when neither exists.
HWND CreateRichEdit(DWORD style, HWND parent, DWORD ex_style, int id);

// The name the font is registered under: the pair name "x.pfm|x.pfb" for a .pfm.
std::string FontResourceName(const std::string& font_path);
