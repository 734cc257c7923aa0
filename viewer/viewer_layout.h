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
  Placement face_combo;  // a collection's face selector; empty for a single font
  Placement instance_combo;  // a variable font's instance selector; empty for others
};

// A length in pixels at 96 dots per inch, at `dpi` (rounded to nearest, as MulDiv
// does); a dpi of 0 or less, which a failed measurement gives, counts as 96.
int ScaleToDpi(int pixels, int dpi);

// The display area (left, top, right, bottom) the tab control leaves inside the
// viewer's client area. Widths follow the area's width W while x positions start
// at its left edge, so the right-hand controls end at W. Margins and fixed sizes
// are pixels at 96 dpi, scaled to `dpi`; the display area is already measured.
// With `face_selector` (a collection) the selector takes the right-hand third of
// the size row and the trackbar ends before it; nothing else moves. So does
// `instance_selector` (a variable font); with both, each takes a quarter, the
// face's left of the instance's.
ViewerLayout ComputeViewerLayout(int left, int top, int right, int bottom, int dpi = 96,
                                 bool face_selector = false, bool instance_selector = false);
