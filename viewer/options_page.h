// The Options page: the options dialog in the page's host control.
#pragma once

#include <windows.h>

#include "viewer/viewer_state.h"

// The dialog procedure of the options dialog, created with the viewer's record
// as its parameter: the dialog manager does everything but the colours of dark mode.
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Labels, limits, lists and the about text, once at creation.
void SetUpOptionsDialog(ViewerState& state);
// The state's values into the dialog, the first time the page is shown.
void FillOptionsPage(ViewerState& state);
// The dialog's values into the state.
void ApplyOptionsPage(ViewerState& state);
// The state's sort order into the filled dialog, after another viewer re-sorted.
void ShowSortOrder(const ViewerState& state);
