// The font-size controls of the Glyphs and Sample pages, and the Options page.
#pragma once

#include <windows.h>

#include "viewer/viewer_state.h"

// A number from child `id` of `window`; an empty, non-numeric or out-of-range
// entry is replaced in the control by `fallback`, which is returned.
int ReadDialogInt(HWND window, int id, int fallback, int minimum, int maximum);
bool IsDialogItemChecked(HWND dialog, int id);
void SetDialogItemChecked(HWND dialog, int id, int flag);

// The size typed or slid takes effect for the current page.
void ApplyFontSize(ViewerState& state);

// Labels, limits, lists and the about text, once at creation.
void SetUpOptionsDialog(ViewerState& state);
// The state's values into the dialog, the first time the page is shown.
void FillOptionsPage(ViewerState& state);
// The dialog's values into the state.
void ApplyOptionsPage(ViewerState& state);
