// What a font's OpenType layout offers: the scripts and language systems of its
// GSUB and GPOS tables, and their features with the table each comes from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fontfile/byte_reader.h"
#include "fontfile/face_tables.h"
#include "fontfile/font_info.h"

// Which of the two tables list a script or feature.
constexpr uint8_t kInGsub = 1, kInGpos = 2;

struct LayoutScript {
  std::string tag;
  // "dflt" for the script's default language system, then the others' tags as
  // the file holds them ("TRK "), each once, in the order first met.
  std::vector<std::string> languages;
  uint8_t tables = 0;
};

struct LayoutFeature {
  std::string tag;
  uint8_t tables = 0;
  FontText ui_name;  // a stylistic set's or character variant's own name
};

struct LayoutFacts {
  TableState gsub = TableState::kAbsent, gpos = TableState::kAbsent;
  // The table is cut short or its lists point outside it or at each other too
  // often: what could be read is kept.
  bool gsub_broken = false, gpos_broken = false;
  std::vector<LayoutScript> scripts;    // in the order first met, GSUB before GPOS
  std::vector<LayoutFeature> features;  // each tag once, in the order first met
};

LayoutFacts ReadLayoutTables(ByteView gsub, TableState gsub_state, ByteView gpos,
                             TableState gpos_state, NameIndex& names);

// A tag as ReadTag spells it ('?' for bytes outside printable ASCII), packed
// into 32 bits: maps key on it, with the text's own equality, without making a
// string for every record of a large table. TagText gives the text back.
uint32_t PackedTag(ByteView table, uint32_t base);
std::string TagText(uint32_t packed);

// The feature with this tag, or nullptr.
const LayoutFeature* FindFeature(const LayoutFacts& facts, const char* tag);
