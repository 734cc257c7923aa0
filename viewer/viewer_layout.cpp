#include "viewer/viewer_layout.h"

#include <initializer_list>
#include <utility>

int ScaleToDpi(int pixels, int dpi) {
  if (dpi <= 0 || dpi == 96) return pixels;
  const long long scaled = static_cast<long long>(pixels) * dpi;
  return static_cast<int>(scaled >= 0 ? (scaled + 48) / 96 : (scaled - 48) / 96);
}

ViewerLayout ComputeViewerLayout(int L, int T, int Rt, int B, int dpi, bool face_selector,
                                 bool instance_selector) {
  const int W = Rt - L;
  auto d = [dpi](int pixels) { return ScaleToDpi(pixels, dpi); };
  ViewerLayout o;
  // 384 is the height of the dropped-down list, not of the closed box.
  o.block_combo = {L + d(2), T + d(4), (5 * W) / 8 - d(4), d(384)};
  o.block_spin = {o.block_combo.x + o.block_combo.width + d(4), T + d(4), d(40), d(20)};
  o.charset_combo = {o.block_spin.x + d(44), T + d(4), W - o.block_spin.x - d(88), d(384)};
  o.charset_spin = {o.charset_combo.x + o.charset_combo.width + d(4), T + d(4), d(40), d(20)};
  o.size_edit = {L + d(2), B - d(24), d(40), d(20)};
  o.size_slider = {L + d(46), B - d(24), W - (L + d(46)), d(20)};
  o.glyph_list = {L + d(2), T + d(29), W - d(4), B - 2 * T - d(35)};
  o.sample_view = {L + d(2), T + d(4), W - d(4), B - 2 * T - d(10)};
  o.info_view = {L + d(2), T + d(4), W - d(4), B - T - d(8)};
  o.options_host = o.info_view;
  // Each ends at W like the trackbar, the instance's right of the face's; their
  // lists drop from the bottom row upwards.
  const int width = face_selector && instance_selector ? W / 4 : W / 3;
  int right = W;
  for (auto [shown, p] : {std::pair{instance_selector, &o.instance_combo},
                          std::pair{face_selector, &o.face_combo}}) {
    if (!shown) continue;
    *p = {right - width, B - d(24), width, d(200)};
    right = p->x - d(4);
    o.size_slider.width = right - o.size_slider.x;
  }
  // A very small client area would give negative sizes; such controls shrink to nothing.
  for (Placement* p : {&o.block_combo, &o.block_spin, &o.charset_combo, &o.charset_spin,
                       &o.size_edit, &o.size_slider, &o.glyph_list, &o.sample_view,
                       &o.info_view, &o.options_host, &o.face_combo, &o.instance_combo}) {
    if (p->width < 0) p->width = 0;
    if (p->height < 0) p->height = 0;
  }
  return o;
}
