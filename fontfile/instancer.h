// One point of a variable TrueType font's design space made into a static font:
// the outlines moved by gvar, the advance widths by HVAR (or gvar's phantom
// points), the font-wide metrics by MVAR, the coordinates mapped by avar, and the
// names changed so that the system can select the result by a family name of its
// own. The variation tables are left out. The system draws only the default
// instance of a variable font it is handed; a static font is what it can draw of
// any other point.
//
// The tables are untrusted: every read goes through the checked reader, and the
// work and memory are bounded by the tables' sizes. A table that does not add up
// refuses the instance, never more; the default instance stays drawable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fontfile/byte_reader.h"

enum class InstanceProblem : uint8_t {
  kNone,
  kNotVariable,    // no fvar, or no axes
  kCff2Outlines,   // CFF2 outlines: listed, not instanced; the default is drawn
  kBadCoordinates, // not one coordinate per fvar axis
  kBadTable,       // fvar, avar, gvar, glyf, loca, hmtx, HVAR or MVAR does not add up
  kTooLarge,       // the static font would pass kMaxDecodedSize (see web_font.h)
};

struct InstanceRequest {
  uint32_t face = 0;                  // face of a collection; 0 for a single font
  std::vector<int32_t> coordinates;   // user-space 16.16 values, one per fvar axis in axis order
  std::string family;                 // the static font's family name (name ids 1, 4, 16 and 6 follow it)
};

// Builds the static font of `request` from the font file's bytes (a decoded web
// font's bytes too) into `sfnt`. False, with `problem` naming the reason, when the
// instance is refused; `sfnt` is then empty.
bool BuildStaticInstance(ByteView file, const InstanceRequest& request,
                         std::vector<uint8_t>& sfnt, InstanceProblem& problem);
