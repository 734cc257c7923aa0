#include "viewer/shaped_line.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

int Pixels(double units, double scale) { return static_cast<int>(std::lround(units * scale)); }

}  // namespace

LinePlaces PlaceShapedRun(const ShapedRun& run, double pixels_per_em) {
  LinePlaces places;
  const double scale = run.units_per_em ? pixels_per_em / run.units_per_em : 0;
  const size_t count = run.glyphs.size();
  places.x.reserve(count);
  places.y.reserve(count);
  places.pen.reserve(count + 1);
  double pen_x = 0, pen_y = 0;
  for (const ShapedGlyph& glyph : run.glyphs) {
    places.pen.push_back(Pixels(pen_x, scale));
    places.x.push_back(Pixels(pen_x + glyph.x_offset, scale));
    places.y.push_back(-Pixels(pen_y + glyph.y_offset, scale));
    pen_x += glyph.x_advance;
    pen_y += glyph.y_advance;
  }
  places.pen.push_back(Pixels(pen_x, scale));
  places.width = places.pen.back();
  return places;
}

int GlyphAtX(const LinePlaces& places, int x, int slop) {
  int mark = -1, span = -1;
  for (size_t i = 0; i + 1 < places.pen.size(); ++i) {
    const int left = std::min(places.pen[i], places.pen[i + 1]);
    const int right = std::max(places.pen[i], places.pen[i + 1]);
    if (left == right) {
      const int distance = std::abs(places.x[i] - x);
      if (distance <= slop && (mark < 0 || distance < std::abs(places.x[mark] - x)))
        mark = static_cast<int>(i);
    } else if (span < 0 && left <= x && x < right) {
      span = static_cast<int>(i);
    }
  }
  return mark >= 0 ? mark : span;
}

std::vector<int> WaterfallSizes(int height, int dpi, double line_factor) {
  std::vector<int> sizes;
  double used = 0;
  for (int points : {12, 18, 24, 36, 48, 72}) {
    const double line = points * (dpi > 0 ? dpi : 96) / 72.0 * line_factor;
    if (used + line > height) break;
    used += line;
    sizes.push_back(points);
  }
  return sizes;
}
