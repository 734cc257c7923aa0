// Placing the controls and switching among the four pages.
#pragma once

#include <windows.h>

#include "viewer/viewer_state.h"

// WM_SIZE: places the tab control and the ten page controls in one batch.
void LayoutViewer(HWND window, int width, int height);
// Places the trackbar and the face selector after the selector came or went;
// nothing before the first layout, which places them all.
void PlaceSizeRow(const ViewerState& state);
// Makes the selector `id` of the size row (kFaceComboId, kInstanceComboId) where
// the layout with the selectors given puts it, visible when the page shown has
// the size row: a combo box made empty, then placed and shown, is laid out twice.
HWND CreateSizeRowSelector(ViewerState& state, int id, bool face_selector,
                           bool instance_selector);
// Shows or hides a selector of the size row unless it already is so.
void ShowSizeRowSelector(HWND combo, bool shown);

// The control that shows page p.
HWND PageControl(const ViewerState& state, int page);

// Makes page p current, filling it the first time it is shown.
void ShowPage(ViewerState& state, int page);
// After the viewer took another font: refills what the built pages show of it.
// `same_block`: another face or instance of the same file, the block shown kept;
// the grid's rows, and where it is scrolled to, stay.
void RefillFontPages(ViewerState& state, bool same_block = false);
// Adds or removes the Features page's tab as its switch says.
void UpdateFeaturesTab(ViewerState& state);
void PreviousPage(ViewerState& state);
void NextPage(ViewerState& state);

// WM_NOTIFY of the viewer window; always 0.
LRESULT OnTabNotify(const NMHDR& header, HWND window);
