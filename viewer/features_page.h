// The Features page: a line of text shaped by HarfBuzz with the script, language
// and features chosen from the font's own layout tables, drawn glyph by glyph at
// HarfBuzz's positions at the Sample page's size and as a waterfall of sizes.
#pragma once

#include <windows.h>

#include <string>

#include "viewer/viewer_state.h"

extern const char kFeaturesClassName[];
// Registered with the viewer's classes when the DLL is loaded.
LRESULT CALLBACK FeaturesPageProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Makes the page (hidden), or nullptr. It reads the font when first filled.
HWND CreateFeaturesPage(ViewerState& state);
// Reads the shown face's layout (and shapes the text) again: another file, face
// or instance, or the page first shown.
void FillFeaturesPage(ViewerState& state);
// Lets go of the font's bytes (its mapping, or the viewer's decoded bytes it
// shapes from) before the viewer releases them; the page shows nothing until
// it is filled again.
void ReleaseFeaturesFont(ViewerState& state);
// The language's texts and the theme's colours again.
void RecolourFeaturesPage(const ViewerState& state);

// The shaped run in hb-shape's format with glyph names; empty before the page is
// filled or when nothing could be shaped.
std::wstring FeaturesRunText(const ViewerState& state);
