// A font file read in parts rather than mapped whole, for what a thumbnail draws.
// Mapping a file and letting it go costs more than reading the few tables a
// thumbnail needs (under Wine above all), and most of a large font's bytes, and
// of a collection's, belong to glyphs and faces the thumbnail never draws.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "fontfile/byte_reader.h"
#include "fontfile/font_info.h"

// Reads `size` bytes at `offset` of the file, into memory the reader keeps until
// the read of the font is over; nothing when it cannot.
using ReadFilePart = std::function<std::optional<ByteView>(uint32_t offset, uint32_t size)>;

// The first bytes read of every file: the whole of a bitmap font, a PFM file or
// a small font, and the headers and directories of a large one.
constexpr uint32_t kFontHeadSize = 64 * 1024;

// What ReadAndCheckFontFile(path, info, 0, FaceFallback::kFirstReadable) finds,
// as far as a thumbnail draws it (recognized, sound, the decoded bytes of a web
// font; the weight, italic, full and family names and character map of the face
// read), from a file of `file_size` bytes read through `read`: a file of at most
// kFontHeadSize bytes and a web font read whole (the check's opened font then
// keeps its bytes, for colour glyphs), a larger sfnt font or collection in parts
// (no opened font). Nothing when the parts cannot tell and the caller reads the
// file as before: a larger file of another kind, a header or directory past the
// head, a first face that does not read, a larger font with colour tables (drawn
// from the mapped file), or a read that failed.
std::optional<FontFileCheck> ReadSampleFont(uint32_t file_size, const ReadFilePart& read,
                                            FontInfo& info);

// The part of that for a larger sfnt font or collection, whose first bytes `head` holds.
std::optional<FontFileCheck> ReadSampleFromParts(ByteView head, uint32_t file_size,
                                                 const ReadFilePart& read, FontInfo& info);
