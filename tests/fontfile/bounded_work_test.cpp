// Hand-made files whose structure multiplies work or memory (hostile_fonts.h):
// each reader's work counted, its refusal, and, where the work is allowed, its
// growth with the file measured at two sizes. No times: the counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "font_builder.h"
#include "fontfile/instancer.h"
#include "fontfile/sfnt_reader.h"
#include "fontfile/table_directory.h"
#include "fontfile/web_font.h"
#include "hostile_fonts.h"

namespace {

struct Instanced {
  bool built = false;
  InstanceProblem problem = InstanceProblem::kNone;
  InstanceWork work;
  size_t name_size = 0;  // the static font's name table
};

Instanced InstanceAtBold(const std::string& file) {
  InstanceRequest request;
  const ByteView view = ViewOf(file);
  // wght at its maximum, every other axis at its default (0).
  uint16_t axes = 0;
  SfntFont font = ReadSfntFont(view);
  for (const SfntTable& table : font.tables)
    if (table.tag == "fvar") ReadU16BE(ViewOf(table.data), 0, 8, axes);
  request.coordinates.assign(axes, 0);
  if (axes) request.coordinates[0] = 900 << 16;
  request.family = "Bounded";
  std::vector<uint8_t> sfnt;
  Instanced out;
  out.built = BuildStaticInstance(view, request, sfnt, out.problem, &out.work);
  const std::string bytes(sfnt.begin(), sfnt.end());
  for (const SfntTable& table : ReadSfntFont(ViewOf(bytes)).tables)
    if (table.tag == "name") out.name_size = table.data.size();
  return out;
}

// A count taken at two sizes, the second twice the first, grows as the file does.
void ExpectLinear(uint64_t small, uint64_t large, const char* what) {
  EXPECT_GT(small, 0u) << what;
  EXPECT_NEAR(static_cast<double>(large) / small, 2.0, 0.1) << what << ": " << small << " then " << large;
}

TEST(BoundedWork, CompositeGraphCostsItsVisitsAndIsRefusedPastItsBudget) {
  // Glyph g of a chain d deep is visited 2^(d-g+1) - 1 times with its subtree:
  // 2^(d+2) - 4 - d visits in all, empty glyphs counted.
  const Instanced shallow = InstanceAtBold(CompositeDagFont(12));
  ASSERT_TRUE(shallow.built);
  EXPECT_EQ(shallow.work.visits, (1u << 14) - 4 - 12);
  // 2^26 visits are far past glyf's budget: refused, having spent no more than it.
  const std::string deep = CompositeDagFont(24);
  const Instanced refused = InstanceAtBold(deep);
  EXPECT_FALSE(refused.built);
  EXPECT_EQ(refused.problem, InstanceProblem::kWorkBudget);
  EXPECT_LE(refused.work.visits, 4 * deep.size() + (1u << 20));
}

struct ItemCase {
  const char* what;
  std::string (*font)(uint32_t);
  uint64_t InstanceWork::*work;
};

TEST(BoundedWork, ItemLookupsChargeEachRegionAndStopAtTheStoresBudget) {
  const ItemCase cases[] = {
      {"HVAR: every glyph names one item of n regions",
       [](uint32_t n) { return LongItemHvarFont(n, n); }, &InstanceWork::advance_items},
      {"MVAR: n records on one item of n regions",
       [](uint32_t n) { return RepeatedMvarFont(n, n); }, &InstanceWork::metric_items},
  };
  for (const ItemCase& c : cases) {
    SCOPED_TRACE(c.what);
    // Small: allowed, each lookup charged one and one a region.
    const Instanced small = InstanceAtBold(c.font(100));
    ASSERT_TRUE(small.built);
    EXPECT_EQ(small.work.*c.work, 100u * 101);
    // n^2 steps: refused, the work spent growing with the file, not with n^2.
    const Instanced a = InstanceAtBold(c.font(4000)), b = InstanceAtBold(c.font(8000));
    EXPECT_EQ(a.problem, InstanceProblem::kWorkBudget);
    EXPECT_EQ(b.problem, InstanceProblem::kWorkBudget);
    ExpectLinear(a.work.*c.work, b.work.*c.work, c.what);
  }
}

TEST(BoundedWork, ProductsThatWrap32BitsAreRefusedBeforeAnyLookup) {
  // A region list that a 32-bit product would call 64 KB; a row that one would
  // find inside the store.
  for (const std::string& font : {WrappingRegionListFont(), WrappingRowFont()}) {
    const Instanced built = InstanceAtBold(font);
    EXPECT_FALSE(built.built);
    EXPECT_EQ(built.problem, InstanceProblem::kBadTable);
    EXPECT_EQ(built.work.advance_items, 0u);
  }
}

TEST(BoundedWork, GvarTuplesOfSharedPeaksCostTheSameWhateverTheAxisCount) {
  const Instanced few = InstanceAtBold(ManyAxesGvarFont(64, 8, 1000));
  const Instanced many = InstanceAtBold(ManyAxesGvarFont(4096, 8, 1000));
  const Instanced longer = InstanceAtBold(ManyAxesGvarFont(4096, 8, 2000));
  ASSERT_TRUE(few.built && many.built && longer.built);
  EXPECT_EQ(few.work.tuples, 8u * 1000);
  EXPECT_EQ(many.work.tuples, few.work.tuples);
  ExpectLinear(many.work.tuples, longer.work.tuples, "tuples");
}

TEST(BoundedWork, NameRecordsSharingOneTextCopyItOnce) {
  const Instanced a = InstanceAtBold(SharedNameTextFont(2048));
  const Instanced b = InstanceAtBold(SharedNameTextFont(4096));
  ASSERT_TRUE(a.built && b.built);
  EXPECT_EQ(a.work.name_bytes, 65534u);
  EXPECT_EQ(b.work.name_bytes, 65534u);
  // The table grows by its records alone.
  EXPECT_EQ(b.name_size - a.name_size, 12u * 2048);
  // More records than a name table can point past is refused, nothing copied.
  const Instanced refused = InstanceAtBold(SharedNameTextFont(65535));
  EXPECT_EQ(refused.problem, InstanceProblem::kBadTable);
  EXPECT_EQ(refused.work.name_bytes, 0u);
}

TEST(BoundedWork, FacesThatAreOneFontAreReadAndListedOnce) {
  // n faces at one offset, and n directories alike as a WOFF2 collection decodes:
  // every face one font, listed once; the directories read grow with n alone.
  for (bool woff2 : {false, true}) {
    SCOPED_TRACE(woff2 ? "WOFF2" : "TTC");
    uint64_t read[2] = {};
    for (uint32_t n : {1000u, 2000u}) {
      const std::string file =
          woff2 ? SharedFaceWoff2Collection(n, 500) : SharedFaceCollection(n, 500);
      std::vector<uint8_t> decoded;
      WebFontFacts facts;
      ByteView view = ViewOf(file);
      if (woff2) {
        ASSERT_TRUE(DecodeWebFont(view, decoded, facts));
        view = ByteView{decoded.data(), static_cast<uint32_t>(decoded.size())};
      }
      const std::vector<uint32_t> origins = CollectionFaceOrigins(view, &read[n / 2000]);
      ASSERT_EQ(origins.size(), n);
      EXPECT_EQ(std::count(origins.begin(), origins.end(), 0u), n);
      const std::vector<FaceName> listed = ReadCollectionFaceNames(view);
      ASSERT_EQ(listed.size(), 1u);
      EXPECT_EQ(listed[0].name, "Shared Regular");
    }
    if (woff2) ExpectLinear(read[0], read[1], "directory records");
    else EXPECT_EQ(read[0], read[1]);  // one directory, read once
  }
}

TEST(BoundedWork, AFaceAtTheOffsetOfAFaceAlikeTakesTheFirstAsItsOrigin) {
  // Face 1's directory lists face 0's tables at their places; face 2 points at face
  // 1's directory. Every face is face 0's font, listed as face 0.
  std::string file = BuildCollection({PlainSfnt(), PlainSfnt(), PlainSfnt()});
  uint32_t first = 0, second = 0;
  ASSERT_TRUE(ReadU32BE(ViewOf(file), 12, 0, first) && ReadU32BE(ViewOf(file), 16, 0, second));
  file.replace(second, second - first, file.substr(first, second - first));
  SetU32BE(file, 20, second);
  const std::vector<uint32_t> origins = CollectionFaceOrigins(ViewOf(file));
  EXPECT_EQ(origins, (std::vector<uint32_t>{0, 0, 0}));
}

}  // namespace
