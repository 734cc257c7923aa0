// Web fonts: the WOFF 1.0 and WOFF 2.0 containers around an sfnt font (WOFF 2.0
// also around a collection). Their headers and directories are read and checked
// here, through the checked reader; their data is decoded by zlib (WOFF 1.0) and
// by the reference WOFF2 decoder with brotli (WOFF 2.0). The readers then read
// the decoded sfnt bytes like any other font file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fontfile/byte_reader.h"

enum class WebFontKind : uint8_t { kNone, kWoff1, kWoff2 };

// Why a web font was refused; each has a text of its own in the load error.
enum class WebFontProblem : uint8_t {
  kNone,
  kTooLarge,        // declares, or decodes to, more than kMaxDecodedSize
  kTruncated,       // ends inside its header, its directory or its compressed data
  kLengthMismatch,  // a length it declares differs from what its data holds
  kOverlap,         // tables or blocks overlap, or lie outside the file
  kBadTransform,    // transformed tables that do not add up
  kCorrupt,         // compressed data that does not decompress
  kBadHeader,       // a header or directory field the format does not allow
  kOutOfMemory,
};

// The largest font a web font may decode to. Real fonts stay far below it (the
// largest on a Debian machine, a CJK collection, is 27 MB), a single sfnt cannot
// reach past 4 GB anyway, and the decoded bytes are held twice while the system
// takes its copy: 128 MB at most, within a 32-bit host's address space. A file
// that claims more is refused before anything is decompressed.
constexpr uint32_t kMaxDecodedSize = 64u << 20;
// No compressed stream may claim more than this many times its file's size
// (the WOFF2 decoder's own bound, applied to WOFF 1.0's tables too); beyond it
// lies a decompression bomb.
constexpr uint32_t kMaxCompressionRatio = 100;
// Extended metadata is a few kilobytes of XML; a larger block is left unread.
constexpr uint32_t kMaxMetadataSize = 1u << 20;

// What the container says of itself, for the Info report and orvane-info.
struct WebFontFacts {
  WebFontKind kind = WebFontKind::kNone;
  WebFontProblem problem = WebFontProblem::kNone;
  uint32_t flavor = 0;           // the sfnt version of the font inside ('ttcf' for a collection)
  uint32_t compressed_size = 0;  // the file's size
  uint32_t decoded_size = 0;     // the sfnt's size, once decoded
  uint16_t major_version = 0, minor_version = 0;  // the font's version, as the header gives it
  uint32_t metadata_size = 0;    // the extended metadata block, compressed; 0 when none
  uint32_t private_size = 0;     // the private data block; 0 when none
  std::string metadata;  // the extended metadata's XML, decompressed; empty when none or unreadable
};

// The container by its signature; kNone for every other file.
WebFontKind RecognizeWebFont(ByteView file);

// Checks a web font's header and directory and decodes its data into `sfnt`.
// `facts` receives what the header says either way; false, with facts.problem
// naming the reason, when the file is refused. Extended metadata that cannot be
// decompressed is left out without refusing the font, as the formats allow.
bool DecodeWebFont(ByteView file, std::vector<uint8_t>& sfnt, WebFontFacts& facts);
