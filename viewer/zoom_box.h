// The zoom box: an enlarged glyph over the glyph list while the button is held.
#pragma once

#include <windows.h>

#include <cstdint>

#include "viewer/viewer_state.h"

// Opens the box centred on `point` (glyph-list client coordinates) and returns
// once it has closed. In the glyph view `code` is a glyph index, and the box says
// how the glyph is reached.
void ShowZoomBox(HWND glyph_list, POINT point, ViewerState& state, uint32_t code);

LRESULT CALLBACK ZoomWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT PaintZoomBox(HWND window);
