#include "viewer/bitmap_scale.h"

#include <algorithm>
#include <cmath>

namespace {

uint32_t Channel(uint32_t pixel, int channel) { return pixel >> (8 * channel) & 0xFF; }

uint32_t Pack(const double (&sum)[4]) {
  uint32_t out = 0;
  for (int c = 0; c < 4; ++c) {
    const double v = std::clamp(std::lround(sum[c]), 0L, 255L);
    out |= static_cast<uint32_t>(v) << (8 * c);
  }
  // Premultiplied: no colour channel may exceed alpha.
  const uint32_t alpha = out >> 24;
  for (int c = 0; c < 3; ++c)
    if (Channel(out, c) > alpha) out = (out & ~(0xFFu << (8 * c))) | alpha << (8 * c);
  return out;
}

// Source positions [from, to) in pixels of one destination pixel when shrinking.
void AreaRow(const BitmapPixels& s, double y0, double y1, double x0, double x1, double (&sum)[4]) {
  double total = 0;
  for (int c = 0; c < 4; ++c) sum[c] = 0;
  for (uint32_t y = static_cast<uint32_t>(y0); y < s.height && y < y1; ++y) {
    const double wy = std::min<double>(y + 1, y1) - std::max<double>(y, y0);
    for (uint32_t x = static_cast<uint32_t>(x0); x < s.width && x < x1; ++x) {
      const double w = wy * (std::min<double>(x + 1, x1) - std::max<double>(x, x0));
      const uint32_t p = s.data[size_t{y} * s.width + x];
      for (int c = 0; c < 4; ++c) sum[c] += w * Channel(p, c);
      total += w;
    }
  }
  if (total > 0)
    for (int c = 0; c < 4; ++c) sum[c] /= total;
}

}  // namespace

BitmapPixels ScalePixels(const BitmapPixels& s, uint32_t width, uint32_t height) {
  BitmapPixels out;
  if (!s.width || !s.height || !width || !height || s.data.size() < size_t{s.width} * s.height)
    return out;
  out.width = width;
  out.height = height;
  out.data.resize(size_t{width} * height);
  const double fx = static_cast<double>(s.width) / width;
  const double fy = static_cast<double>(s.height) / height;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      double sum[4];
      if (fx >= 1 && fy >= 1) {
        AreaRow(s, y * fy, (y + 1) * fy, x * fx, (x + 1) * fx, sum);
      } else {
        // Bilinear between the four nearest source pixel centres.
        const double sx = std::clamp((x + 0.5) * fx - 0.5, 0.0, s.width - 1.0);
        const double sy = std::clamp((y + 0.5) * fy - 0.5, 0.0, s.height - 1.0);
        const uint32_t x0 = static_cast<uint32_t>(sx), y0 = static_cast<uint32_t>(sy);
        const uint32_t x1 = std::min(x0 + 1, s.width - 1), y1 = std::min(y0 + 1, s.height - 1);
        const double ax = sx - x0, ay = sy - y0;
        const uint32_t p00 = s.data[size_t{y0} * s.width + x0], p10 = s.data[size_t{y0} * s.width + x1];
        const uint32_t p01 = s.data[size_t{y1} * s.width + x0], p11 = s.data[size_t{y1} * s.width + x1];
        for (int c = 0; c < 4; ++c)
          sum[c] = (1 - ay) * ((1 - ax) * Channel(p00, c) + ax * Channel(p10, c)) +
                   ay * ((1 - ax) * Channel(p01, c) + ax * Channel(p11, c));
      }
      out.data[size_t{y} * width + x] = Pack(sum);
    }
  return out;
}

uint32_t MeanColour(const BitmapPixels& pixels, double* coverage) {
  double sum[3] = {}, alpha = 0;
  size_t covered = 0;
  for (uint32_t p : pixels.data) {
    // Premultiplied channels summed are the alpha-weighted sum of the colours.
    for (int c = 0; c < 3; ++c) sum[c] += Channel(p, c);
    alpha += Channel(p, 3);
    if (Channel(p, 3) > 127) ++covered;
  }
  if (coverage) *coverage = pixels.data.empty() ? 0 : double(covered) / pixels.data.size();
  if (alpha == 0) return 0;
  uint32_t out = 0;
  for (int c = 0; c < 3; ++c)
    out |= static_cast<uint32_t>(std::lround(std::min(255.0, 255.0 * sum[c] / alpha))) << (8 * c);
  return out;
}
