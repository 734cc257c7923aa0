// Smooth scaling of premultiplied glyph bitmaps, and their mean colour.
#include "viewer/bitmap_scale.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kClear = 0;

BitmapPixels Filled(uint32_t width, uint32_t height, uint32_t pixel) {
  return {width, height, std::vector<uint32_t>(size_t{width} * height, pixel)};
}

// Left half red, right half blue.
BitmapPixels Halves(uint32_t width, uint32_t height) {
  BitmapPixels p = Filled(width, height, kRed);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = width / 2; x < width; ++x) p.data[y * width + x] = kBlue;
  return p;
}

TEST(BitmapScale, ShrinkingAveragesEverySourcePixel) {
  // A one-pixel checkerboard of red and transparent shrunk by two: every pixel
  // is half red at half alpha, none skipped to pure red or pure nothing.
  BitmapPixels board = Filled(8, 8, kClear);
  for (uint32_t y = 0; y < 8; ++y)
    for (uint32_t x = (y % 2); x < 8; x += 2) board.data[y * 8 + x] = kRed;
  const BitmapPixels half = ScalePixels(board, 4, 4);
  ASSERT_EQ(half.data.size(), 16u);
  for (uint32_t p : half.data) EXPECT_EQ(p, 0x80800000u) << std::hex << p;
  // Halves stay halves at an uneven factor, with one mixed column at most.
  const BitmapPixels scaled = ScalePixels(Halves(136, 128), 19, 18);
  EXPECT_EQ(scaled.data[0], kRed);
  EXPECT_EQ(scaled.data[18], kBlue);
  // Half of the area red, half blue.
  const uint32_t mean = MeanColour(scaled);
  EXPECT_NEAR(static_cast<int>(mean >> 16), 128, 8);
  EXPECT_NEAR(static_cast<int>(mean & 0xFF), 128, 8);
}

TEST(BitmapScale, EnlargingInterpolatesAndKeepsPremultiplication) {
  const BitmapPixels two = Halves(2, 1);
  const BitmapPixels wide = ScalePixels(two, 8, 2);
  EXPECT_EQ(wide.data[0], kRed);
  EXPECT_EQ(wide.data[7], kBlue);
  // Between the two source centres the colour runs from red to blue.
  const uint32_t middle = wide.data[4];
  EXPECT_GT(middle & 0xFF, 0u);
  EXPECT_GT(middle >> 16 & 0xFF, 0u);
  EXPECT_EQ(middle >> 24, 0xFFu);
  // No colour channel ever exceeds alpha, whatever the filter's rounding.
  BitmapPixels soft = Filled(3, 3, 0x40404040);
  soft.data[4] = 0xFF00FF00;
  for (auto [w, h] : {std::pair{7u, 5u}, std::pair{2u, 2u}, std::pair{1u, 1u}})
    for (uint32_t p : ScalePixels(soft, w, h).data)
      for (int c = 0; c < 3; ++c) EXPECT_LE(p >> (8 * c) & 0xFF, p >> 24) << std::hex << p;
}

TEST(BitmapScale, EmptyOrShortSourcesGiveNothing) {
  EXPECT_TRUE(ScalePixels({}, 4, 4).data.empty());
  EXPECT_TRUE(ScalePixels(Filled(2, 2, kRed), 0, 4).data.empty());
  BitmapPixels short_data = Filled(4, 4, kRed);
  short_data.data.resize(3);
  EXPECT_TRUE(ScalePixels(short_data, 2, 2).data.empty());
}

TEST(BitmapScale, MeanColourWeighsByAlpha) {
  double coverage = 0;
  BitmapPixels p = Filled(4, 1, kClear);
  p.data[0] = kRed;
  p.data[1] = 0x80000080;  // blue at half alpha, premultiplied
  // Red counts twice as much as the half-transparent blue; clear pixels nothing.
  EXPECT_EQ(MeanColour(p, &coverage), 0xAA0055u);
  EXPECT_DOUBLE_EQ(coverage, 0.5);
  EXPECT_EQ(MeanColour(Filled(3, 3, kClear)), 0u);
}

}  // namespace
