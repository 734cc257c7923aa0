// Malformed fonts made from real ones: truncations at structure boundaries and
// hostile offsets, lengths, counts and texts. Shared by the reader tests, the
// viewer test under Wine (through the written files) and the fuzz seeds.
#pragma once

#include <string>
#include <vector>

enum class FontFormat { kSfnt, kCollection, kFon, kPfm };

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
};

// The real fonts of the system that the corpus is made from: DejaVu Sans, two
// small Wine TrueType fonts, Noto Color Emoji (only its colour bitmaps varied), the first font of Noto Sans CJK (its collection
// header and offset tables with the OS/2 and name tables moved behind them),
// every Wine FON file, and the PFM at `pfm_path` when it exists. Paths are Linux
// paths; under Wine they are reached through Z:.
std::vector<SourceFont> LoadSourceFonts(const std::string& pfm_path);

std::vector<MalformedFont> MakeMalformedCorpus(const std::vector<SourceFont>& sources);

// Writes each variant as a file named after it into dir (a host path). False
// when a file could not be written.
bool WriteCorpus(const std::vector<MalformedFont>& corpus, const std::string& dir);
