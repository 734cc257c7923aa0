// Placing the controls and switching among the four pages.
#pragma once

#include <windows.h>

#include "viewer/viewer_state.h"

// WM_SIZE: places the tab control and the ten page controls in one batch.
void LayoutViewer(HWND window, int width, int height);
// Places the trackbar and the face selector after the selector came or went.
void PlaceSizeRow(const ViewerState& state);

// The control that shows page p.
HWND PageControl(const ViewerState& state, int page);

// Makes page p current, filling it the first time it is shown.
void ShowPage(ViewerState& state, int page);
// After the viewer took another font: refills what the built pages show of it.
void RefillFontPages(ViewerState& state);
void PreviousPage(ViewerState& state);
void NextPage(ViewerState& state);

// WM_NOTIFY of the viewer window; always 0.
LRESULT OnTabNotify(const NMHDR& header, HWND window);
