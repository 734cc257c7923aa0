#include "fontfile/layout_tables.h"

#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "fontfile/layout_catalog.h"

uint32_t PackedTag(ByteView table, uint32_t base) {
  uint32_t value = 0;
  ReadU32BE(table, base, 0, value);
  uint32_t packed = 0;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const uint32_t c = value >> shift & 0xFF;
    packed = packed << 8 | (c >= 0x20 && c < 0x7F ? c : uint32_t{'?'});
  }
  return packed;
}

std::string TagText(uint32_t packed) {
  return {static_cast<char>(packed >> 24), static_cast<char>(packed >> 16),
          static_cast<char>(packed >> 8), static_cast<char>(packed)};
}

namespace {

constexpr uint32_t kTagRecordSize = 6;  // a tag and a 16-bit offset

constexpr uint32_t kDefaultLanguage = uint32_t{'d'} << 24 | uint32_t{'f'} << 16 | 'l' << 8 | 't';

struct Merge {
  LayoutFacts& facts;
  NameIndex& names;
  std::unordered_map<uint32_t, size_t> script_of_tag;
  std::unordered_set<uint64_t> script_languages;  // script tag << 32 | language tag
  std::unordered_map<uint32_t, size_t> feature_of_tag;
};

void AddLanguage(Merge& merge, size_t script, uint32_t script_tag, uint32_t language) {
  if (merge.script_languages.insert(uint64_t{script_tag} << 32 | language).second)
    merge.facts.scripts[script].languages.push_back(TagText(language));
}

// The language systems of one script table: its tags, read once per table
// however many script records point at it.
struct ScriptTable {
  bool has_default = false;
  std::vector<uint32_t> languages;
};

bool ReadScriptTable(ByteView table, uint32_t script, ReadBudget& budget, ScriptTable& out) {
  uint16_t default_offset = 0, count = 0;
  if (!ReadU16BE(table, script, 0, default_offset) || !ReadU16BE(table, script, 2, count))
    return false;
  out.has_default = default_offset != 0;
  if (!InBounds(table, script + 4, kTagRecordSize * count) || !budget.Spend(count)) return false;
  out.languages.reserve(count);
  for (uint32_t i = 0; i < count; ++i)
    out.languages.push_back(PackedTag(table, script + 4 + kTagRecordSize * i));
  return true;
}

// One table's script and feature lists; false when it is broken.
bool ReadLayoutTable(ByteView table, uint8_t which, Merge& merge) {
  uint16_t major = 0, script_list = 0, feature_list = 0;
  if (!ReadU16BE(table, 0, 0, major) || !ReadU16BE(table, 0, 4, script_list) ||
      !ReadU16BE(table, 0, 6, feature_list) || major != 1)
    return false;
  ReadBudget budget{table.size / 2 + 1};
  bool sound = true;

  uint16_t script_count = 0;
  if (script_list && !ReadU16BE(table, script_list, 0, script_count)) sound = false;
  if (!InBounds(table, script_list + 2u, kTagRecordSize * script_count)) {
    sound = false;
    script_count = 0;
  }
  std::unordered_map<uint32_t, ScriptTable> read_scripts;
  for (uint32_t i = 0; i < script_count; ++i) {
    const uint32_t record = script_list + 2u + kTagRecordSize * i;
    const uint32_t tag = PackedTag(table, record);
    uint16_t offset = 0;
    ReadU16BE(table, record, 4, offset);
    const uint32_t script = uint32_t{script_list} + offset;
    auto found = read_scripts.find(script);
    if (found == read_scripts.end()) {
      ScriptTable languages;
      if (!ReadScriptTable(table, script, budget, languages)) {
        sound = false;
        if (budget.left == 0) break;
        continue;
      }
      found = read_scripts.emplace(script, std::move(languages)).first;
    } else if (!budget.Spend(found->second.languages.size() + 1)) {
      // Records sharing one script table still cost what they add.
      sound = false;
      break;
    }
    auto [where, added] = merge.script_of_tag.try_emplace(tag, merge.facts.scripts.size());
    if (added) merge.facts.scripts.push_back(LayoutScript{TagText(tag), {}, 0});
    merge.facts.scripts[where->second].tables |= which;
    if (found->second.has_default) AddLanguage(merge, where->second, tag, kDefaultLanguage);
    for (uint32_t language : found->second.languages)
      AddLanguage(merge, where->second, tag, language);
  }

  uint16_t feature_count = 0;
  if (feature_list && !ReadU16BE(table, feature_list, 0, feature_count)) sound = false;
  if (!InBounds(table, feature_list + 2u, kTagRecordSize * feature_count)) {
    sound = false;
    feature_count = 0;
  }
  std::unordered_set<uint32_t> read_features;
  for (uint32_t i = 0; i < feature_count; ++i) {
    const uint32_t record = feature_list + 2u + kTagRecordSize * i;
    const uint32_t packed = PackedTag(table, record);
    uint16_t offset = 0;
    ReadU16BE(table, record, 4, offset);
    const uint32_t feature = uint32_t{feature_list} + offset;
    auto [where, added] = merge.feature_of_tag.try_emplace(packed, merge.facts.features.size());
    if (added) merge.facts.features.push_back(LayoutFeature{TagText(packed), 0, std::nullopt});
    LayoutFeature& entry = merge.facts.features[where->second];
    entry.tables |= which;
    uint16_t params = 0;
    if (!ReadU16BE(table, feature, 0, params)) {
      sound = false;
      continue;
    }
    // Only stylistic sets and character variants name themselves; each feature
    // table is looked at once.
    const std::string& tag = entry.tag;
    const bool named = ((tag[0] == 's' && tag[1] == 's') || (tag[0] == 'c' && tag[1] == 'v')) &&
                       IsAsciiDigit(tag[2]) && IsAsciiDigit(tag[3]);
    if (!named || params == 0 || entry.ui_name || !read_features.insert(feature).second) continue;
    uint16_t version = 0, name_id = 0;
    if (!ReadU16BE(table, feature + params, 0, version) ||
        !ReadU16BE(table, feature + params, 2, name_id)) {
      sound = false;
      continue;
    }
    if (version == 0 && name_id != 0) entry.ui_name = NameText(merge.names, name_id);
  }
  return sound;
}

}  // namespace

LayoutFacts ReadLayoutTables(ByteView gsub, TableState gsub_state, ByteView gpos,
                             TableState gpos_state, NameIndex& names) {
  LayoutFacts facts;
  facts.gsub = gsub_state;
  facts.gpos = gpos_state;
  Merge merge{facts, names, {}, {}, {}};
  facts.gsub_broken = gsub_state == TableState::kBroken ||
                      (gsub_state == TableState::kPresent && !ReadLayoutTable(gsub, kInGsub, merge));
  facts.gpos_broken = gpos_state == TableState::kBroken ||
                      (gpos_state == TableState::kPresent && !ReadLayoutTable(gpos, kInGpos, merge));
  return facts;
}

const LayoutFeature* FindFeature(const LayoutFacts& facts, const char* tag) {
  for (const LayoutFeature& feature : facts.features)
    if (feature.tag == tag) return &feature;
  return nullptr;
}
