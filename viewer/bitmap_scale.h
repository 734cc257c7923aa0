// Smooth scaling of premultiplied 32-bit pixels (blue, green, red, alpha in each
// word's bytes from low to high), for colour glyph bitmaps: area averaging when
// shrinking, so no source pixel is skipped, and bilinear when enlarging.
#pragma once

#include <cstdint>
#include <vector>

struct BitmapPixels {
  uint32_t width = 0, height = 0;
  std::vector<uint32_t> data;  // rows top down, width words each
};

// `source` at width x height (both at least 1); an empty source gives an empty result.
BitmapPixels ScalePixels(const BitmapPixels& source, uint32_t width, uint32_t height);

// The mean colour of premultiplied pixels, un-premultiplied and weighted by
// alpha (fully transparent pixels count for nothing), as 0x00RRGGBB; and the
// share of covered pixels (alpha above half) in `coverage`.
uint32_t MeanColour(const BitmapPixels& pixels, double* coverage = nullptr);
