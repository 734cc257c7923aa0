// Where a shaped run's glyphs go on a line, and which glyph a click falls on.
#include <gtest/gtest.h>

#include "viewer/shaped_line.h"

namespace {

ShapedRun MakeRun(std::vector<ShapedGlyph> glyphs) {
  ShapedRun run;
  run.units_per_em = 1000;
  run.glyphs = std::move(glyphs);
  return run;
}

TEST(ShapedLine, PlacesFromTheExactSumAndOffsets) {
  // Three advances of 333 units at 10 pixels an em: 3.33 pixels each. Rounded one
  // by one they would end at 9; from the sum, at 10.
  const ShapedRun run = MakeRun({{1, 0, 333}, {2, 1, 333}, {3, 2, 334, 0, 0, 0}, {4, 2, 0, 0, -150, 200}});
  const LinePlaces places = PlaceShapedRun(run, 10);
  EXPECT_EQ(places.pen, (std::vector<int>{0, 3, 7, 10, 10}));
  EXPECT_EQ(places.width, 10);
  // The mark sits 1.5 pixels back (rounded away from zero) and 2 up.
  EXPECT_EQ(places.x[3], 9);
  EXPECT_EQ(places.y[3], -2);
  EXPECT_EQ(PlaceShapedRun(ShapedRun{}, 10).width, 0);  // no font: nothing placed
}

TEST(ShapedLine, ClickFindsTheGlyphAndMarksNearTheirOrigin) {
  const ShapedRun run = MakeRun({{1, 0, 500}, {2, 0, 0, 0, -250, 0}, {3, 1, 500}});
  const LinePlaces places = PlaceShapedRun(run, 20);  // pens 0, 10, 10, 20; mark at 5
  struct Case {
    int x, glyph;
  } cases[] = {{0, 0}, {2, 0}, {5, 1}, {7, 1}, {8, 0}, {10, 2}, {19, 2}, {20, -1}, {-1, -1}};
  for (const Case& c : cases) EXPECT_EQ(GlyphAtX(places, c.x, 2), c.glyph) << c.x;
}

TEST(ShapedLine, WaterfallKeepsTheSizesThatFit) {
  // At 96 dpi a line of 12 points is 16 pixels, 18 points 24, 24 points 32.
  EXPECT_EQ(WaterfallSizes(72, 96, 1.0), (std::vector<int>{12, 18, 24}));
  EXPECT_EQ(WaterfallSizes(71, 96, 1.0), (std::vector<int>{12, 18}));
  EXPECT_TRUE(WaterfallSizes(10, 96, 1.0).empty());
  EXPECT_EQ(WaterfallSizes(10000, 192, 1.35).size(), 6u);
}

}  // namespace
