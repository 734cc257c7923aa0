// Malformed fonts made from real ones: truncations at structure boundaries and
// hostile offsets, lengths, counts and texts. Shared by the reader tests, the
// viewer test under Wine (through the written files) and the fuzz seeds.
#pragma once

#include <string>
#include <vector>

#include "fontfile/web_font.h"

enum class FontFormat { kSfnt, kCollection, kFon, kPfm, kWoff, kWoff2 };

struct SourceFont {
  std::string name;  // short, usable in file names
  FontFormat format = FontFormat::kSfnt;
  std::string bytes;
};

// What the format's own reader (ReadSfnt at 0, ReadCollection, ReadFon, ReadPfm)
// must make of a variant, where the layout makes it knowable.
enum class Expect {
  kAnything,       // only that it returns
  kRejected,       // own reader returns 0
  kRejectedByAll,  // ReadFontBytes returns 0 too
  kAsSource,       // own reader and ReadFontBytes give the source's record
  kFace,           // own reader returns 1 with this family (and full) name
};

struct MalformedFont {
  std::string name;  // "<source>-<mutation>.<extension>"
  std::string bytes;
  FontFormat format = FontFormat::kSfnt;
  Expect expect = Expect::kAnything;
  int source = 0;    // index into the sources
  std::string face;  // kFace
  // A web font's variant: the reason its decoder must give for refusing it
  // (kNone: the decoder may say what it finds).
  WebFontProblem problem = WebFontProblem::kNone;
};

// The real fonts of the system that the corpus is made from: DejaVu Sans, two
// small Wine TrueType fonts, Noto Color Emoji (only its colour bitmaps varied), the first font of Noto Sans CJK (its collection
// header and offset tables with the OS/2 and name tables moved behind them),
// every Wine FON file, the PFM at `pfm_path` when it exists, and DejaVu Sans
// ExtraLight as WOFF and WOFF2. Paths are Linux
// paths; under Wine they are reached through Z:.
std::vector<SourceFont> LoadSourceFonts(const std::string& pfm_path);

// The variants, then the hand-built shapes of tests/fontfile/hostile_fonts.h
// (named "shape-..."), which the system's own rasterizer may not take.
std::vector<MalformedFont> MakeMalformedCorpus(const std::vector<SourceFont>& sources);

inline bool IsHostileShape(const MalformedFont& font) { return font.name.rfind("shape-", 0) == 0; }

// Writes each variant as a file named after it into dir (a host path). False
// when a file could not be written.
bool WriteCorpus(const std::vector<MalformedFont>& corpus, const std::string& dir);
