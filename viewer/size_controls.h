// The font-size field and slider shared by the Glyphs and Sample pages.
#pragma once

#include "viewer/viewer_state.h"

// The size typed or slid takes effect for the current page.
void ApplyFontSize(ViewerState& state);
