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

// Shows the block at `position` as the block list and its arrows choose it, and
// drops the mark of a search.
void ChooseBlock(ViewerState& state, int position);

// Re-sorts the process-wide BlockOrder under SortOrder.
void SortBlockOrder();
// Empties the block list and fills it with the names of the listed blocks in
// BlockOrder, each item's data its position.
void FillBlockList(ViewerState& state);
// Selects block_index in the block list and its up-down.
void SelectBlockItem(const ViewerState& state);
// After a change of font, character set or listing choice: a block_index no
// longer listed falls back to the first listed block (and the grid follows); the
// list is filled anew when the blocks listed changed, else only redrawn.
void RelistBlocks(ViewerState& state);

// WM_COMMAND and WM_HSCROLL of the viewer window; always 0.
LRESULT OnViewerCommand(HWND window, WPARAM wparam);
LRESULT OnViewerHScroll(HWND control, HWND window);
