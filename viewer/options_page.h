// The Options page: the options dialog in the page's host control.
#pragma once

#include <windows.h>

#include "viewer/viewer_state.h"

// Labels, limits, lists and the about text, once at creation.
void SetUpOptionsDialog(ViewerState& state);
// The state's values into the dialog, the first time the page is shown.
void FillOptionsPage(ViewerState& state);
// The dialog's values into the state.
void ApplyOptionsPage(ViewerState& state);
