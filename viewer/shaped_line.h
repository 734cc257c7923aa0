// Where the glyphs of a shaped run go on a line of a given size, and which glyph a
// point falls on: plain arithmetic on the run's font units, no window needed.
#pragma once

#include <vector>

#include "fontfile/text_shaping.h"

struct LinePlaces {
  // Each glyph's origin in pixels from the line's start on its baseline, y growing
  // downwards as on the screen.
  std::vector<int> x, y;
  // The pen before each glyph and after the last: glyph i owns [pen[i], pen[i + 1]).
  std::vector<int> pen;
  int width = 0;
};

// Positions at `pixels_per_em`, each rounded from the exact sum so that rounding
// does not add up along the line.
LinePlaces PlaceShapedRun(const ShapedRun& run, double pixels_per_em);

// The glyph at x (pixels from the line's start), or -1: a glyph without an
// advance (a mark) whose origin lies within `slop` pixels, the nearest first,
// else the glyph whose advance holds x.
int GlyphAtX(const LinePlaces& places, int x, int slop);

// The sizes in points of the waterfall below the line: those of 12, 18, 24, 36, 48
// and 72 points whose lines fit, one under the other, in `height` pixels, each line
// taking `line_factor` times its em.
std::vector<int> WaterfallSizes(int height, int dpi, double line_factor);
