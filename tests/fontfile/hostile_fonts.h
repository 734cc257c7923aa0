// Small fonts whose structure multiplies a reader's work or memory: shared
// offsets, graphs of references, counts at their maximum, products that wrap
// 32 bits. Mutation does not reach these shapes; they are built here, at a size
// the caller picks, for the tests of bounded work, the malformed corpus and the
// fuzz seeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A variable TrueType font (one axis, wght 100..400..900, unless said) whose
// glyphs 0..depth-1 are composites that each use the next glyph twice, the last
// one empty: resolving glyph 0 visits 2^depth glyphs. No character map; one
// named instance, "Heavy", at wght 900.
std::string CompositeDagFont(uint32_t depth);

// `glyphs` empty glyphs whose HVAR advance mapping names one item whose region
// list is `regions` long: glyphs x regions steps.
std::string LongItemHvarFont(uint32_t glyphs, uint32_t regions);

// `records` MVAR value records (all "hasc") on one item of `regions` regions.
std::string RepeatedMvarFont(uint32_t records, uint32_t regions);

// HVAR's region list of 16,384 axes whose size (regions x 6 x axes) wraps 32
// bits to 64 KB, so that a check in 32 bits passes.
std::string WrappingRegionListFont();

// An item variation store (HVAR's layout) whose one item's row size times its
// inner index wraps 32 bits; glyph 1 names that item.
std::string WrappingRowFont();

// A name table of `records` records (copyright, id 0) that all point at one
// text of `text_bytes` bytes.
std::string SharedNameTextFont(uint32_t records, uint32_t text_bytes = 65534);

// `axes` axes and `glyphs` glyphs, each glyph with `tuples` gvar tuples naming a
// shared peak (which does not apply at wght's maximum): each tuple's header is
// four bytes, whatever the axis count.
std::string ManyAxesGvarFont(uint32_t axes, uint32_t glyphs, uint32_t tuples);

// A collection of `faces` faces whose offsets all point at one font, whose name
// table holds `records` Windows English records.
std::string SharedFaceCollection(uint32_t faces, uint32_t records);

// The same as a WOFF2 collection: one font entry per face, each naming the same
// OS/2 and name tables (a few bytes a face). Its stream is stored, not
// compressed (brotli's uncompressed meta-blocks).
std::string SharedFaceWoff2Collection(uint32_t faces, uint32_t records);

// A WOFF 1.0 file of one table whose `size` zero bytes compress to a few
// hundred: its ratio of decoded to file size is what the test wants.
std::string ZeroTableWoff(uint32_t size);

// A colour font of `glyphs` glyphs (and a character map U+E000 upwards) whose
// bitmaps all share one PNG of `side` x `side` pixels: CBDT/CBLC format 17
// records in one strike of 109 pixels per em, or with `sbix`, glyph 1 holding
// the PNG and every other glyph a "dupe" of it.
std::string SharedBitmapFont(uint32_t glyphs, uint32_t side, bool sbix);

// Each shape at a size where the readers as first written took a second or
// more, named for files ("shape-<what>.<ext>"): the corpus and the seeds.
struct HostileShape {
  std::string name;
  std::string bytes;
};
std::vector<HostileShape> HostileShapes();
