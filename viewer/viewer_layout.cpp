#include "viewer/viewer_layout.h"

#include <initializer_list>

ViewerLayout ComputeViewerLayout(int L, int T, int Rt, int B) {
  const int W = Rt - L;
  ViewerLayout o;
  // 384 is the height of the dropped-down list, not of the closed box.
  o.block_combo = {L + 2, T + 4, (5 * W) / 8 - 4, 384};
  o.block_spin = {o.block_combo.x + o.block_combo.width + 4, T + 4, 40, 20};
  o.charset_combo = {o.block_spin.x + 44, T + 4, W - o.block_spin.x - 88, 384};
  o.charset_spin = {o.charset_combo.x + o.charset_combo.width + 4, T + 4, 40, 20};
  o.size_edit = {L + 2, B - 24, 40, 20};
  o.size_slider = {L + 46, B - 24, W - (L + 46), 20};
  o.glyph_list = {L + 2, T + 29, W - 4, B - 2 * T - 35};
  o.sample_view = {L + 2, T + 4, W - 4, B - 2 * T - 10};
  o.info_view = {L + 2, T + 4, W - 4, B - T - 8};
  o.options_host = o.info_view;
  // A very small client area would give negative sizes; such controls shrink to nothing.
  for (Placement* p : {&o.block_combo, &o.block_spin, &o.charset_combo, &o.charset_spin,
                       &o.size_edit, &o.size_slider, &o.glyph_list, &o.sample_view,
                       &o.info_view, &o.options_host}) {
    if (p->width < 0) p->width = 0;
    if (p->height < 0) p->height = 0;
  }
  return o;
}
