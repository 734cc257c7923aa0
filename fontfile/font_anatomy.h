// What a font is made of beyond its names: its design space, OpenType layout,
// colour glyphs and further facts, read from one face of an opened font. Read
// only when the Info report is built (and by orvane-info), never when the viewer
// starts.
#pragma once

#include <cstdint>

#include "fontfile/byte_reader.h"
#include "fontfile/color_tables.h"
#include "fontfile/face_facts.h"
#include "fontfile/layout_tables.h"
#include "fontfile/variation_tables.h"

struct FontAnatomy {
  bool sfnt = false;  // the face is an sfnt font; every other field is empty when not
  VariationFacts variation;
  LayoutFacts layout;
  ColorFacts color;
  FaceFacts facts;
};

// Read once per face of an opened font, and kept in it.
struct OpenedFont;
const FontAnatomy& FaceAnatomy(const OpenedFont& font, uint32_t face);
// The same of a file's bytes, which the caller keeps (tests, fuzzing).
FontAnatomy ReadFontAnatomy(ByteView file, uint32_t face);
