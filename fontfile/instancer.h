// One point of a variable TrueType font's design space made into a static font:
// the outlines moved by gvar, the advance widths by HVAR and the advance heights
// by VVAR (or both by gvar's phantom points, which also give the side bearings),
// the font-wide metrics by MVAR, the coordinates mapped by avar, and the
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
  kWorkBudget,     // a table makes more work than its size allows (see ReadBudget)
};

struct InstanceRequest {
  uint32_t face = 0;                  // face of a collection; 0 for a single font
  std::vector<int32_t> coordinates;   // user-space 16.16 values, one per fvar axis in axis order
  std::string family;                 // the static font's family name (name ids 1, 4, 16 and 6 follow it)
};

// The work a build charged, reader by reader, each against a budget of its own
// (see ReadBudget in byte_reader.h); what was charged up to a refusal too.
struct InstanceWork {
  uint64_t points = 0;         // glyf: each glyph's points and components
  uint64_t visits = 0;         // glyf: components visited for composites' boxes, with their points
  uint64_t tuples = 0;         // gvar: tuples, the axes read of them, the points they move
  uint64_t advance_items = 0;  // HVAR and VVAR: items looked up and their regions
  uint64_t metric_items = 0;   // MVAR: the same
  uint64_t name_bytes = 0;     // name: text bytes copied
};

// Builds the static font of `request` from an opened font (a web font's decoded
// bytes) into `sfnt`. False, with `problem` naming the reason, when the instance
// is refused; `sfnt` is then empty. `work`, when given, receives the work charged.
struct OpenedFont;
bool BuildStaticInstance(const OpenedFont& font, const InstanceRequest& request,
                         std::vector<uint8_t>& sfnt, InstanceProblem& problem,
                         InstanceWork* work = nullptr);
// The same from sfnt bytes the caller keeps (tools, tests, fuzzing).
bool BuildStaticInstance(ByteView file, const InstanceRequest& request,
                         std::vector<uint8_t>& sfnt, InstanceProblem& problem,
                         InstanceWork* work = nullptr);
