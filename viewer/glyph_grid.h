// The Glyphs page: the grid's rows, their drawing, clicks, and the selectors.
#pragma once

#include <windows.h>

#include "viewer/viewer_state.h"

// Switches the glyph list and the four block and character-set selectors on or
// off: off while the window shows a load error.
void EnableGlyphSelectors(const ViewerState& state, bool on);

// Sets the glyph list's row count from the selected block.
void SetGlyphRowCount(ViewerState& state);

// WM_DRAWITEM: one row of 16 cells, or the load-error text. Always TRUE.
LRESULT DrawGlyphRow(const DRAWITEMSTRUCT& item, HWND window);

// The zoom request of a press on the glyph list; always 0.
LRESULT OpenZoomAtClick(HWND window);

// WM_COMMAND and WM_HSCROLL of the viewer window; always 0.
LRESULT OnViewerCommand(HWND window, WPARAM wparam);
LRESULT OnViewerHScroll(HWND control, HWND window);
