// The GSUB walk on tables built byte by byte: what each lookup type produces,
// lookups called from rules and through extensions, and the hostile shapes:
// lookups that call each other in a cycle or a DAG, offsets many records share,
// and subtables made to multiply the work.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font_builder.h"
#include "fontfile/glyph_features.h"

namespace {

struct Lookup {
  uint16_t type;
  std::vector<uint32_t> subtables;  // indices into the pool
};

std::string U16s(const std::vector<uint16_t>& values) {
  std::string out;
  for (uint16_t value : values) PutU16BE(out, value);
  return out;
}

// Header, feature list and feature tables, lookup list and lookups, then the
// pool of subtables (each self-contained, or pointing forward in the pool).
std::string Gsub(const std::vector<std::pair<std::string, std::vector<uint16_t>>>& features,
                 const std::vector<Lookup>& lookups, const std::vector<std::string>& pool) {
  std::string features_part = U16s({static_cast<uint16_t>(features.size())}), tables;
  const size_t records_end = 2 + 6 * features.size();
  for (const auto& [tag, indices] : features) {
    features_part += tag;
    PutU16BE(features_part, static_cast<uint16_t>(records_end + tables.size()));
    tables += U16s({0, static_cast<uint16_t>(indices.size())}) + U16s(indices);
  }
  features_part += tables;
  const uint32_t lookup_list = static_cast<uint32_t>(10 + features_part.size());
  uint32_t lookups_size = 2 + 2 * static_cast<uint32_t>(lookups.size());
  for (const Lookup& l : lookups) lookups_size += 6 + 2 * static_cast<uint32_t>(l.subtables.size());
  std::vector<uint32_t> at;  // each pool entry's offset from the lookup list
  uint32_t next = lookups_size;
  for (const std::string& sub : pool) at.push_back(std::exchange(next, next + static_cast<uint32_t>(sub.size())));
  std::string list = U16s({static_cast<uint16_t>(lookups.size())}), bodies;
  for (const Lookup& l : lookups) {
    const uint32_t here = 2 + 2 * static_cast<uint32_t>(lookups.size()) + static_cast<uint32_t>(bodies.size());
    PutU16BE(list, static_cast<uint16_t>(here));
    bodies += U16s({l.type, 0, static_cast<uint16_t>(l.subtables.size())});
    for (uint32_t sub : l.subtables) PutU16BE(bodies, static_cast<uint16_t>(at[sub] - here));
  }
  std::string out = U16s({1, 0, 0, 10, static_cast<uint16_t>(lookup_list)}) + features_part + list + bodies;
  for (const std::string& sub : pool) out += sub;
  return out;
}

// A context rule of format 3 with no input coverage, calling `lookups`.
std::string Calls(const std::vector<uint16_t>& lookups) {
  std::string out = U16s({3, 0, static_cast<uint16_t>(lookups.size())});
  for (uint16_t lookup : lookups) out += U16s({0, lookup});
  return out;
}

std::vector<std::string> TagsOf(const GlyphFeatures& f, uint32_t glyph) {
  std::vector<std::string> out;
  for (uint16_t index : FeaturesOf(f, glyph)) out.push_back(f.tags[index]);
  return out;
}

using Tags = std::vector<std::string>;

TEST(GlyphFeatures, EachLookupTypeAndTheLookupsItCalls) {
  const std::vector<std::string> pool = {
      // 0: ligature f f i -> 20: one set, one ligature, coverage unused
      U16s({1, 0, 1, 8, 1, 4, 20, 3, 5, 6}),
      // 1: single, format 1: coverage {3, 4} + 10
      U16s({1, 6, 10, 1, 2, 3, 4}),
      // 2: chaining, format 3: no backtrack, input or lookahead, calls lookup 3
      U16s({3, 0, 0, 0, 1, 0, 3}),
      // 3: multiple, one sequence {30, 31}
      U16s({1, 0, 1, 8, 2, 30, 31}),
      // 4: alternate {40}, in no feature
      U16s({1, 0, 1, 8, 1, 40}),
      // 5: extension to a single substitution of format 2 to 50
      U16s({1, 1, 0, 8, 2, 0, 1, 50}),
      // 6: reverse chaining: no backtrack or lookahead, substitute 60; glyph 70 is past the count
      U16s({1, 0, 0, 0, 2, 60, 70}),
  };
  const GlyphFeatures f = ReadGlyphFeatures(
      ViewOf(Gsub({{"liga", {0}}, {"smcp", {1}}, {"calt", {2}}, {"ss01", {5}}, {"rclt", {6}},
                   {"liga", {1}}},
                  {{4, {0}}, {1, {1}}, {6, {2}}, {2, {3}}, {3, {4}}, {7, {5}}, {8, {6}}}, pool)),
      70);
  EXPECT_FALSE(f.damaged);
  EXPECT_EQ(f.tags, (Tags{"liga", "smcp", "calt", "ss01", "rclt"}));
  const std::vector<std::pair<uint32_t, Tags>> expected = {
      {20, {"liga"}}, {13, {"liga", "smcp"}}, {14, {"liga", "smcp"}}, {30, {"calt"}}, {31, {"calt"}},
      {40, {}},       {50, {"ss01"}},         {60, {"rclt"}},         {3, {}}};
  for (const auto& [glyph, tags] : expected) EXPECT_EQ(TagsOf(f, glyph), tags) << glyph;
  EXPECT_TRUE(FeaturesOf(f, 70).empty());
  // A table without lookups is sound and produces nothing.
  EXPECT_FALSE(ReadGlyphFeatures(ViewOf(U16s({1, 0, 0, 10, 0, 0})), 70).damaged);
}

// Lookups that call each other in a cycle end; in a DAG of 300 lookups, each
// calling the next two, every feature walks each lookup once (every path
// would be 2^300 walks).
TEST(GlyphFeatures, CyclesAndDagsOfCallsAreWalkedOnce) {
  const std::vector<std::string> cycle = {Calls({1}), Calls({0, 2}), U16s({2, 6, 1, 7})};
  const GlyphFeatures looped = ReadGlyphFeatures(
      ViewOf(Gsub({{"cyc1", {0}}}, {{5, {0}}, {5, {1}}, {1, {2}}}, cycle)), 10);
  EXPECT_FALSE(looped.damaged);
  EXPECT_EQ(TagsOf(looped, 7), Tags{"cyc1"});

  constexpr uint16_t kLookups = 300, kFeatures = 4;
  std::vector<std::string> pool;
  std::vector<Lookup> lookups;
  for (uint16_t i = 0; i + 1 < kLookups; ++i) {
    pool.push_back(Calls({static_cast<uint16_t>(i + 1), static_cast<uint16_t>(std::min(i + 2, kLookups - 1))}));
    lookups.push_back({5, {i}});
  }
  pool.push_back(U16s({2, 6, 1, 9}));
  lookups.push_back({1, {kLookups - 1}});
  std::vector<std::pair<std::string, std::vector<uint16_t>>> features;
  for (int i = 0; i < kFeatures; ++i) features.push_back({"f" + std::to_string(100 + i), {0}});
  const GlyphFeatures dag = ReadGlyphFeatures(ViewOf(Gsub(features, lookups, pool)), 10);
  EXPECT_FALSE(dag.damaged);
  EXPECT_EQ(FeaturesOf(dag, 9).size(), kFeatures);
  // Per feature: each lookup popped at most twice (once per caller), each
  // subtable read once.
  EXPECT_LT(dag.work, uint64_t{kFeatures} * kLookups * 8);
}

// Offsets many records share are read once; subtables that each expand one
// shared coverage of the whole glyph range spend the budget, which stops the
// walk with what it found and the table marked damaged.
TEST(GlyphFeatures, SharedOffsetsAndMultipliedWorkAreBounded) {
  const std::string coverage = U16s({2, 1, 0, kMaxGlyphCount - 1, 0});
  constexpr uint16_t kShared = 2000;
  const GlyphFeatures once = ReadGlyphFeatures(
      ViewOf(Gsub({{"locl", {0}}}, {{1, std::vector<uint32_t>(kShared, 0)}},
                  {U16s({1, 6, 1}) + coverage})),
      kMaxGlyphCount);
  EXPECT_FALSE(once.damaged);
  EXPECT_EQ(TagsOf(once, 1), Tags{"locl"});
  EXPECT_LT(once.work, 3u * kMaxGlyphCount + 4u * kShared);

  std::vector<std::string> pool;
  std::vector<uint32_t> subtables;
  for (uint16_t i = 0; i < kShared; ++i) {
    pool.push_back(U16s({1, static_cast<uint16_t>(6 * (kShared - i)), i}));
    subtables.push_back(i);
  }
  pool.push_back(coverage);
  const std::string gsub = Gsub({{"locl", {0}}}, {{1, subtables}}, pool);
  const GlyphFeatures many = ReadGlyphFeatures(ViewOf(gsub), kMaxGlyphCount);
  EXPECT_TRUE(many.damaged);
  EXPECT_LE(many.work, 2 * (4u * gsub.size() + 16u * kMaxGlyphCount));
  EXPECT_EQ(TagsOf(many, 5), Tags{"locl"});  // what the first subtables produced stays
}

TEST(GlyphFeatures, BrokenTablesKeepWhatWasRead) {
  const std::vector<std::string> pool = {U16s({2, 6, 1, 5}), U16s({1, 7, 0, 8})};
  struct {
    const char* what;
    std::string gsub;
  } cases[] = {
      {"an extension to an extension", Gsub({{"liga", {0, 1}}}, {{1, {0}}, {7, {1}}}, pool)},
      {"a lookup that is not there", Gsub({{"liga", {0, 9}}}, {{1, {0}}}, pool)},
      {"cut inside the last subtable", Gsub({{"liga", {0, 1}}}, {{1, {0}}, {1, {1}}}, pool).substr(0, 60)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const GlyphFeatures f = ReadGlyphFeatures(ViewOf(c.gsub), 10);
    EXPECT_TRUE(f.damaged);
    EXPECT_EQ(TagsOf(f, 5), Tags{"liga"});
  }
}

}  // namespace
