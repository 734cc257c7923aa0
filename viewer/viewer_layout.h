// Where the viewer's page controls go, as plain arithmetic on the tab control's
// display area; no window needed.
#pragma once

struct Placement {
  int x = 0, y = 0, width = 0, height = 0;
};

// In the order the layout positions them.
struct ViewerLayout {
  Placement block_combo, block_spin, charset_combo, charset_spin, size_edit, size_slider,
      glyph_list, sample_view, info_view, options_host;
};

// The display area (left, top, right, bottom) the tab control leaves inside the
// viewer's client area. Widths follow the area's width W while x positions start
// at its left edge, so the right-hand controls end at W.
ViewerLayout ComputeViewerLayout(int left, int top, int right, int bottom);
