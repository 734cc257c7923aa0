// Colour glyphs: which of the four formats a font carries (COLR layers with a
// CPAL palette, CBDT/CBLC or sbix bitmaps, SVG documents) and their sizes.
#pragma once

#include <cstdint>
#include <vector>

#include "fontfile/byte_reader.h"
#include "fontfile/face_tables.h"

// A strike's record in CBLC (BitmapSize): the table's header is 8 bytes.
inline constexpr uint32_t kBitmapSizeRecord = 48;

struct ColorFacts {
  TableState colr = TableState::kAbsent;
  bool colr_broken = false;
  uint16_t colr_version = 0;
  uint32_t base_glyphs = 0;  // version 0 records, and version 1's paint list
  uint32_t layers = 0;       // version 0 records, and version 1's layer list

  TableState cpal = TableState::kAbsent;
  bool cpal_broken = false;
  uint16_t cpal_version = 0;
  uint16_t palette_entries = 0;  // colours in each palette
  uint16_t palettes = 0;
  uint16_t light_palettes = 0, dark_palettes = 0;  // version 1 palette types

  TableState cbdt = TableState::kAbsent, cblc = TableState::kAbsent;
  bool cblc_broken = false;
  std::vector<uint8_t> bitmap_strikes;  // CBLC sizes, pixels per em (vertical)

  TableState sbix = TableState::kAbsent;
  bool sbix_broken = false;
  std::vector<uint16_t> sbix_strikes;  // pixels per em

  TableState svg = TableState::kAbsent;
  bool svg_broken = false;
  uint16_t svg_documents = 0;

  bool any() const {
    return colr != TableState::kAbsent || cpal != TableState::kAbsent ||
           cbdt != TableState::kAbsent || cblc != TableState::kAbsent ||
           sbix != TableState::kAbsent || svg != TableState::kAbsent;
  }
};

struct ColorTableBytes {
  FaceTable colr, cpal, cbdt, cblc, sbix, svg;
};
ColorFacts ReadColorTables(const ColorTableBytes& tables);
