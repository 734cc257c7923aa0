#include "fontfile/glyph_features.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "fontfile/face_tables.h"
#include "fontfile/layout_tables.h"

namespace {

// maxp's count is 16-bit, and glyph ids are 16-bit here too.
constexpr uint32_t kMaxGlyphs = 0xFFFF;

// Two budgets, one for reading the lookups and one for walking them from each
// feature, each this many steps for each byte of the table and each glyph of
// the font. The real fonts of a Debian machine take at most a tenth of one (290
// faces with a GSUB table; Noto Sans Adlam the most); a table made
// to keep the walk busy runs out and is marked damaged, with what was found kept.
constexpr uint64_t kStepsPerByte = 4, kStepsPerGlyph = 16;

enum LookupType : uint16_t {
  kSingle = 1, kMultiple, kAlternate, kLigature, kContext, kChainContext, kExtension,
  kReverseChain
};

// What one subtable gives: the glyphs its substitutions put in place, and the
// lookups its rules call.
struct Subtable {
  std::vector<uint16_t> outputs;
  std::vector<uint16_t> calls;
};

struct Walk {
  ByteView table;
  uint32_t glyph_count = 0;
  ReadBudget budget, walking;
  bool damaged = false;
  uint32_t lookup_list = 0;
  uint16_t lookup_count = 0;
  // Per lookup, its subtables (indices into `subtables`), read the first time
  // a feature or rule reaches it.
  std::vector<std::optional<std::vector<uint32_t>>> lookups;
  std::vector<Subtable> subtables;
  std::unordered_map<uint64_t, uint32_t> subtable_at;  // type << 32 | offset -> index

  bool Spend(uint64_t count) {
    if (budget.Spend(count)) return true;
    damaged = true;
    return false;
  }
  bool U16(uint32_t base, uint32_t field, uint16_t& out) {
    if (ReadU16BE(table, base, field, out)) return true;
    damaged = true;
    return false;
  }
  // A 16-bit offset from `base`, read at base + field; false for a null one.
  bool Offset(uint32_t base, uint32_t field, uint32_t& out) {
    uint16_t offset = 0;
    if (!U16(base, field, offset) || offset == 0) return false;
    out = base + offset;
    return true;
  }
  // `count` 16-bit fields at base + field, checked whole and charged.
  bool Array(uint32_t base, uint32_t field, uint32_t count) {
    uint32_t at = 0;
    if (!CheckedAdd(base, field, at) || !InBounds(table, at, 2 * count)) {
      damaged = true;
      return false;
    }
    return Spend(count);
  }
  void Output(Subtable& sub, uint32_t glyph) {
    if (glyph < glyph_count) sub.outputs.push_back(static_cast<uint16_t>(glyph));
  }
};

// The glyphs of a coverage table: a list (format 1) or ranges (format 2), each
// glyph charged, so that ranges of 65,536 glyphs in six bytes pay their way.
template <typename Each>
void ReadCoverage(Walk& walk, uint32_t at, Each&& each) {
  uint16_t format = 0, count = 0;
  if (!walk.U16(at, 0, format) || !walk.U16(at, 2, count)) return;
  if (format == 1) {
    if (!walk.Array(at, 4, count)) return;
    for (uint32_t i = 0; i < count; ++i) {
      uint16_t glyph = 0;
      ReadU16BE(walk.table, at + 4, 2 * i, glyph);
      each(glyph);
    }
    return;
  }
  if (format != 2 || !walk.Array(at, 4, 3 * count)) {
    walk.damaged = true;
    return;
  }
  for (uint32_t i = 0; i < count; ++i) {
    uint16_t first = 0, last = 0;
    ReadU16BE(walk.table, at + 4 + 6 * i, 0, first);
    ReadU16BE(walk.table, at + 4 + 6 * i, 2, last);
    if (last < first) continue;
    if (first >= walk.glyph_count) continue;
    if (!walk.Spend(std::min<uint32_t>(last, walk.glyph_count - 1) - first + 1u)) return;
    for (uint32_t glyph = first; glyph <= last && glyph < walk.glyph_count; ++glyph) each(glyph);
  }
}

// Offsets to records of one kind (sequences, ligature sets, rule sets, ...)
// that many entries may share: each is read once, a repeat costs one step.
struct Shared {
  std::unordered_set<uint32_t> seen;
  bool First(Walk& walk, uint32_t at) { return seen.insert(at).second || (walk.Spend(1), false); }
};

// `count` offsets at base + field, each from `base`, to records read by `read`.
template <typename Read>
void EachOffset(Walk& walk, uint32_t base, uint32_t field, uint32_t count, Shared& shared,
                Read&& read) {
  if (!walk.Array(base, field, count)) return;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t at = 0;
    if (walk.Offset(base, field + 2 * i, at) && shared.First(walk, at)) read(at);
    if (walk.budget.left == 0) return;
  }
}

// Moves `field` past `parts` arrays of 16-bit values, each after its count.
bool SkipArrays(Walk& walk, uint32_t at, uint32_t& field, int parts) {
  for (int part = 0; part < parts; ++part) {
    uint16_t count = 0;
    if (!walk.U16(at, field, count)) return false;
    field += 2 + 2 * count;
  }
  return true;
}

// The glyph ids after a count at at + field: the glyphs a substitution puts in place.
void ReadOutputs(Walk& walk, uint32_t at, uint32_t field, Subtable& sub) {
  uint16_t count = 0;
  if (!walk.U16(at, field, count) || !walk.Array(at, field + 2, count)) return;
  for (uint32_t i = 0; i < count; ++i) {
    uint16_t glyph = 0;
    ReadU16BE(walk.table, at + field + 2, 2 * i, glyph);
    walk.Output(sub, glyph);
  }
}

// The lookup records (sequence index, lookup index) of a rule: the lookups it calls.
void ReadCalls(Walk& walk, uint32_t at, uint32_t count, Subtable& sub) {
  if (!walk.Array(at, 0, 2 * count)) return;
  for (uint32_t i = 0; i < count; ++i) {
    uint16_t lookup = 0;
    ReadU16BE(walk.table, at, 4 * i + 2, lookup);
    sub.calls.push_back(lookup);
  }
}

// A context rule: input count, call count, the input after the first glyph,
// then the calls.
void ReadContextRule(Walk& walk, uint32_t at, Subtable& sub) {
  uint16_t inputs = 0, calls = 0;
  if (!walk.U16(at, 0, inputs) || !walk.U16(at, 2, calls)) return;
  ReadCalls(walk, at + 4 + 2 * (inputs ? inputs - 1u : 0u), calls, sub);
}

// A chaining rule: backtrack, input (after its first glyph) and lookahead
// sequences, each with its count, then the calls.
void ReadChainRule(Walk& walk, uint32_t at, Subtable& sub) {
  uint32_t field = 0;
  for (int part = 0; part < 3; ++part) {
    uint16_t count = 0;
    if (!walk.U16(at, field, count)) return;
    field += 2 + 2 * (part == 1 && count ? count - 1u : count);
  }
  uint16_t calls = 0;
  if (walk.U16(at, field, calls)) ReadCalls(walk, at + field + 2, calls, sub);
}

void ReadContext(Walk& walk, uint32_t at, bool chained, Subtable& sub) {
  uint16_t format = 0;
  if (!walk.U16(at, 0, format)) return;
  if (format == 1 || format == 2) {
    // Rule sets by first glyph (1) or by class (2), each a list of rules.
    const uint32_t sets_field = format == 1 ? 4 : chained ? 10 : 6;
    uint16_t sets = 0;
    if (!walk.U16(at, sets_field, sets)) return;
    Shared shared_sets, shared_rules;
    EachOffset(walk, at, sets_field + 2, sets, shared_sets, [&](uint32_t set) {
      uint16_t rules = 0;
      if (!walk.U16(set, 0, rules)) return;
      EachOffset(walk, set, 2, rules, shared_rules, [&](uint32_t rule) {
        if (chained) ReadChainRule(walk, rule, sub);
        else ReadContextRule(walk, rule, sub);
      });
    });
    return;
  }
  if (format != 3) {
    walk.damaged = true;
    return;
  }
  if (!chained) {
    // Coverage per input glyph, then the calls.
    uint16_t inputs = 0, calls = 0;
    if (walk.U16(at, 2, inputs) && walk.U16(at, 4, calls))
      ReadCalls(walk, at + 6 + 2 * inputs, calls, sub);
    return;
  }
  uint32_t field = 2;
  uint16_t calls = 0;
  if (SkipArrays(walk, at, field, 3) && walk.U16(at, field, calls))
    ReadCalls(walk, at + field + 2, calls, sub);
}

// Glyph lists that records share (sequences, alternate sets): each one's glyphs.
void ReadGlyphLists(Walk& walk, uint32_t at, Subtable& sub) {
  uint16_t count = 0;
  if (!walk.U16(at, 4, count)) return;
  Shared shared;
  EachOffset(walk, at, 6, count, shared, [&](uint32_t list) { ReadOutputs(walk, list, 0, sub); });
}

void ReadSubtableAt(Walk& walk, uint16_t type, uint32_t at, Subtable& sub) {
  uint16_t format = 0;
  if (!walk.U16(at, 0, format)) return;
  switch (type) {
    case kSingle: {
      if (format == 1) {
        uint32_t coverage = 0;
        uint16_t delta = 0;
        if (!walk.Offset(at, 2, coverage) || !walk.U16(at, 4, delta)) return;
        ReadCoverage(walk, coverage, [&](uint32_t glyph) { walk.Output(sub, (glyph + delta) & 0xFFFF); });
      } else if (format == 2) {
        ReadOutputs(walk, at, 4, sub);
      } else {
        walk.damaged = true;
      }
      return;
    }
    case kMultiple:
    case kAlternate:
      ReadGlyphLists(walk, at, sub);
      return;
    case kLigature: {
      uint16_t sets = 0;
      if (!walk.U16(at, 4, sets)) return;
      Shared shared_sets, shared_ligatures;
      EachOffset(walk, at, 6, sets, shared_sets, [&](uint32_t set) {
        uint16_t ligatures = 0;
        if (!walk.U16(set, 0, ligatures)) return;
        EachOffset(walk, set, 2, ligatures, shared_ligatures, [&](uint32_t ligature) {
          uint16_t glyph = 0;
          if (walk.U16(ligature, 0, glyph)) walk.Output(sub, glyph);
        });
      });
      return;
    }
    case kContext:
    case kChainContext:
      ReadContext(walk, at, type == kChainContext, sub);
      return;
    case kReverseChain: {
      // Coverage, backtrack and lookahead coverages, then the substitutes.
      uint32_t field = 4;
      if (SkipArrays(walk, at, field, 2)) ReadOutputs(walk, at, field, sub);
      return;
    }
    default:
      walk.damaged = true;
  }
}

// The subtable of `type` at `at`, read once whatever lookups list it.
uint32_t SubtableIndex(Walk& walk, uint16_t type, uint32_t at) {
  const uint64_t key = uint64_t{type} << 32 | at;
  if (auto found = walk.subtable_at.find(key); found != walk.subtable_at.end()) return found->second;
  Subtable sub;
  ReadSubtableAt(walk, type, at, sub);
  for (std::vector<uint16_t>* list : {&sub.outputs, &sub.calls}) {
    std::sort(list->begin(), list->end());
    list->erase(std::unique(list->begin(), list->end()), list->end());
  }
  const uint32_t index = static_cast<uint32_t>(walk.subtables.size());
  walk.subtables.push_back(std::move(sub));
  walk.subtable_at.emplace(key, index);
  return index;
}

// Lookup `index`'s subtables, an extension's resolved to the one it points at.
const std::vector<uint32_t>& ReadLookup(Walk& walk, uint16_t index) {
  std::optional<std::vector<uint32_t>>& slot = walk.lookups[index];
  if (slot) return *slot;
  slot.emplace();
  uint32_t at = 0;
  uint16_t type = 0, count = 0;
  if (!walk.Offset(walk.lookup_list, 2 + 2u * index, at) || !walk.U16(at, 0, type) ||
      !walk.U16(at, 4, count) || !walk.Array(at, 6, count))
    return *slot;
  std::vector<uint32_t> found;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t sub = 0;
    if (!walk.Offset(at, 6 + 2 * i, sub)) continue;
    uint16_t sub_type = type;
    if (type == kExtension) {
      uint16_t format = 0;
      uint32_t offset = 0;
      if (!walk.U16(sub, 0, format) || !walk.U16(sub, 2, sub_type) ||
          !ReadU32BE(walk.table, sub, 4, offset) || format != 1 || sub_type == kExtension ||
          !CheckedAdd(sub, offset, sub)) {
        walk.damaged = true;
        continue;
      }
    }
    found.push_back(SubtableIndex(walk, sub_type, sub));
    if (walk.budget.left == 0) break;
  }
  *slot = std::move(found);
  return *slot;
}

// A feature table's lookup indices, appended to `lookups`.
void ReadFeatureLookups(Walk& walk, uint32_t at, std::vector<uint16_t>& lookups) {
  uint16_t count = 0;
  if (!walk.U16(at, 2, count) || !walk.Array(at, 4, count)) return;
  for (uint32_t i = 0; i < count; ++i) {
    uint16_t lookup = 0;
    ReadU16BE(walk.table, at + 4, 2 * i, lookup);
    lookups.push_back(lookup);
  }
}

}  // namespace

GlyphFeatures ReadGlyphFeatures(ByteView gsub, uint32_t glyph_count) {
  GlyphFeatures result;
  glyph_count = std::min(glyph_count, kMaxGlyphs);
  result.start.assign(uint64_t{glyph_count} + 1, 0);
  if (gsub.size == 0) return result;
  Walk walk;
  walk.table = gsub;
  walk.glyph_count = glyph_count;
  const uint64_t allowance = kStepsPerByte * uint64_t{gsub.size} + kStepsPerGlyph * glyph_count;
  walk.budget.left = walk.walking.left = allowance;
  uint16_t major = 0, minor = 0, feature_offset = 0, lookup_offset = 0;
  if (!walk.U16(0, 0, major) || !walk.U16(0, 2, minor) || major != 1 ||
      !walk.U16(0, 6, feature_offset) || !walk.U16(0, 8, lookup_offset)) {
    result.damaged = true;
    return result;
  }
  // A table without features or lookups produces nothing, and is sound.
  if (feature_offset == 0 || lookup_offset == 0) return result;
  const uint32_t feature_list = feature_offset;
  walk.lookup_list = lookup_offset;
  if (!walk.U16(walk.lookup_list, 0, walk.lookup_count)) {
    result.damaged = true;
    return result;
  }
  walk.lookups.resize(walk.lookup_count);

  // Each tag's lookups, from every record of that tag (one per script, often).
  std::vector<uint32_t> feature_tags;  // the tag index of each feature record
  std::vector<std::vector<uint16_t>> tag_lookups;
  std::unordered_map<uint32_t, uint16_t> tag_index;
  std::unordered_set<uint64_t> read_features;  // tag index << 32 | feature table
  uint16_t record_count = 0;
  if (walk.U16(feature_list, 0, record_count) && walk.Array(feature_list, 2, 3 * record_count)) {
    for (uint32_t i = 0; i < record_count; ++i) {
      const uint32_t record = feature_list + 2 + 6 * i;
      const uint32_t packed = PackedTag(gsub, record);
      auto [where, added] = tag_index.try_emplace(packed, static_cast<uint16_t>(result.tags.size()));
      if (added) {
        result.tags.push_back(TagText(packed));
        tag_lookups.emplace_back();
      }
      feature_tags.push_back(where->second);
      uint32_t at = 0;
      if (walk.Offset(feature_list, 2 + 6 * i + 4, at) &&
          read_features.insert(uint64_t{where->second} << 32 | at).second)
        ReadFeatureLookups(walk, at, tag_lookups[where->second]);
      if (walk.budget.left == 0) break;
    }
  }
  // Version 1.1 may swap a feature's lookups for others under some variation
  // conditions: those lookups belong to the feature too.
  uint32_t variations = 0;
  if (minor >= 1 && ReadU32BE(gsub, 0, 10, variations) && variations != 0) {
    uint32_t count = 0;
    if (!ReadU32BE(gsub, variations, 4, count) || !InBounds(gsub, variations + 8, 8 * count) ||
        !walk.Spend(count))
      count = 0, walk.damaged = true;
    std::unordered_set<uint32_t> read_substitutions;
    for (uint32_t i = 0; i < count && walk.budget.left; ++i) {
      uint32_t offset = 0, substitution = 0;
      ReadU32BE(gsub, variations + 8 + 8 * i, 4, offset);
      uint16_t substitutions = 0;
      if (!CheckedAdd(variations, offset, substitution) || !read_substitutions.insert(substitution).second ||
          !walk.U16(substitution, 4, substitutions) || !walk.Array(substitution, 6, 3 * substitutions))
        continue;
      for (uint32_t s = 0; s < substitutions; ++s) {
        uint16_t feature = 0;
        uint32_t alternate = 0, at = 0;
        ReadU16BE(gsub, substitution + 6 + 6 * s, 0, feature);
        ReadU32BE(gsub, substitution + 6 + 6 * s, 2, alternate);
        if (feature >= feature_tags.size() || !CheckedAdd(substitution, alternate, at)) {
          walk.damaged = true;
          continue;
        }
        ReadFeatureLookups(walk, at, tag_lookups[feature_tags[feature]]);
      }
    }
  }

  // Each tag walks the lookups it reaches once, then marks the glyphs of the
  // subtables they hold once.
  std::vector<uint64_t> pairs;  // glyph << 16 | tag index
  std::vector<uint32_t> lookup_seen(walk.lookup_count, 0), subtable_seen;
  const auto step = [&walk](uint64_t count) {
    if (walk.walking.Spend(count)) return true;
    walk.damaged = true;
    return false;
  };
  for (uint32_t tag = 0; tag < tag_lookups.size() && walk.walking.left; ++tag) {
    const uint32_t stamp = tag + 1;
    std::vector<uint16_t> pending = std::move(tag_lookups[tag]);
    while (!pending.empty() && step(1)) {
      const uint16_t lookup = pending.back();
      pending.pop_back();
      if (lookup >= walk.lookup_count) {
        walk.damaged = true;
        continue;
      }
      if (lookup_seen[lookup] == stamp) continue;
      lookup_seen[lookup] = stamp;
      for (uint32_t sub : ReadLookup(walk, lookup)) {
        subtable_seen.resize(walk.subtables.size(), 0);
        if (subtable_seen[sub] == stamp || !step(1)) continue;
        subtable_seen[sub] = stamp;
        const Subtable& read = walk.subtables[sub];
        pending.insert(pending.end(), read.calls.begin(), read.calls.end());
        if (!step(read.outputs.size() + read.calls.size())) break;
        for (uint16_t glyph : read.outputs) pairs.push_back(uint64_t{glyph} << 16 | tag);
      }
    }
  }
  std::sort(pairs.begin(), pairs.end());
  pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
  result.features.reserve(pairs.size());
  for (uint64_t pair : pairs) {
    ++result.start[(pair >> 16) + 1];
    result.features.push_back(static_cast<uint16_t>(pair & 0xFFFF));
  }
  for (uint32_t glyph = 0; glyph < glyph_count; ++glyph) result.start[glyph + 1] += result.start[glyph];
  result.damaged = walk.damaged;
  result.work = 2 * allowance - walk.budget.left - walk.walking.left;
  return result;
}

std::span<const uint16_t> FeaturesOf(const GlyphFeatures& features, uint32_t glyph) {
  if (glyph + uint64_t{1} >= features.start.size()) return {};
  return std::span<const uint16_t>(features.features)
      .subspan(features.start[glyph], features.start[glyph + 1] - features.start[glyph]);
}
