// What the reader finds in a font file, and the frame that reads one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fontfile/char_map.h"
#include "fontfile/web_font.h"
#include "platform/platform.h"

// An owned 8-bit text; std::nullopt when absent.
using FontText = std::optional<std::string>;

constexpr int kFontNameCount = 21;  // name ids 0 to 20

// The name ids, as the slots of FontInfo::names. FON and PFM files fill the
// slots of the texts they carry (copyright, family, style, full name, and the
// PostScript name or the module description).
constexpr int kNameCopyright = 0;
constexpr int kNameFamily = 1;
constexpr int kNameStyle = 2;
constexpr int kNameIdentifier = 3;
constexpr int kNameFull = 4;  // the name the system is asked for
constexpr int kNameVersion = 5;
constexpr int kNamePostScript = 6;
constexpr int kNameTrademark = 7;
constexpr int kNameManufacturer = 8;
constexpr int kNameDesigner = 9;
constexpr int kNameDescription = 10;
constexpr int kNameVendorUrl = 11;
constexpr int kNameDesignerUrl = 12;
constexpr int kNameLicense = 13;
constexpr int kNameLicenseUrl = 14;
constexpr int kNameSampleText = 19;
constexpr int kNamePostScriptCid = 20;

struct FontInfo {
  FontText type_name;
  FontText width_name;
  std::array<FontText, kFontNameCount> names;
  uint32_t weight = 0;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strike_out = 0;
  CharCoverage coverage;  // which characters the font holds
  // Which face of the file this is (0-based), and how many the file holds: more
  // than one only for a collection.
  uint32_t face = 0;
  uint32_t face_count = 1;
  // The WOFF or WOFF2 container the font came in; kind kNone for every other file.
  WebFontFacts container;
};

// What a read keeps of the character map, and the maps of the same file read
// before, which it may reuse (see CharMapCache).
struct ReadOptions {
  MapDetail map = MapDetail::kFull;
  CharMapCache* cache = nullptr;
};

// Releases every text and zeroes every number (face_count goes back to 1).
void ClearFontInfo(FontInfo& info);

// Maps the file read-only and offers it to the readers in their fixed order
// (sfnt, FON, collection, PFM). A web font is decoded first and its sfnt bytes
// are offered to the sfnt and collection readers. 1 when one of them recognised the file, else 0;
// `info` keeps whatever the readers stored either way. `face` picks a face of a
// collection; every other file has only face 0, and a face out of range reads nothing.
int ReadFontFile(const char* path, FontInfo& info, uint32_t face = 0);
// The same for a UTF-8 path (one that the ANSI code page may not be able to name).
int ReadFontFileUtf8(const char* utf8_path, FontInfo& info, uint32_t face = 0);

// What a read does when the face asked for cannot be read.
enum class FaceFallback : uint8_t {
  kNone,           // nothing more: the result is that face's
  kFirstReadable,  // a collection's first face that reads takes its place (the
                   // viewer opens a collection whose first face is broken there)
};

// Whether a file may be handed to the system's font engine, which some systems
// trust too far: true when the readers recognise it (a face of it, for a
// collection) and its sfnt table directory lies inside it, and also when it
// cannot be mapped (the system then reports why); false for a file known to be
// broken.
bool IsFontFileSound(const char* path);
bool IsFontFileSoundUtf8(const char* utf8_path);

// Both answers from one mapping of the file: what ReadFontFile returns and
// stores, and what IsFontFileSound says.
struct OpenedFont;
struct FontFileCheck {
  int recognized = 0;
  bool mapped = false;  // false when the file could not be opened, sized or mapped
  bool sound = false;
  // The font the read was made from, kept for the caller's further reads of the
  // same file (fontfile/opened_font.h); null when the file could not be opened,
  // or was read in parts.
  std::shared_ptr<OpenedFont> font;
  // The sfnt bytes a web font decoded to, which the system is handed from
  // memory; empty for every other file.
  ByteView decoded() const;
};
// The check covers the whole file whichever face is read: the system registers
// every face of it. With kFirstReadable, info.face says which face was read.
FontFileCheck ReadAndCheckFontFile(const char* path, FontInfo& info, uint32_t face = 0,
                                   FaceFallback fallback = FaceFallback::kNone);
FontFileCheck ReadAndCheckFontFileUtf8(const char* utf8_path, FontInfo& info,
                                       uint32_t face = 0,
                                       FaceFallback fallback = FaceFallback::kNone);

// The same check of a file's bytes read into memory; `mapped` is set, `file` stays empty.
FontFileCheck CheckFontBytes(ByteView bytes, FontInfo& info, uint32_t face = 0,
                             FaceFallback fallback = FaceFallback::kNone);

// The same reader order on bytes already in memory (tools, fuzzing).
int ReadFontBytes(const uint8_t* data, uint32_t size, FontInfo& info, uint32_t face = 0,
                  const ReadOptions& options = {});

// The name a font file is registered under with the system: a ".pfm" path (any
// letter case) of at most 259 characters becomes the pair name "x.pfm|x.pfb";
// every other path is its own name. For char, and on Windows for wchar_t.
template <typename Char>
std::basic_string<Char> FontResourceName(const std::basic_string<Char>& path);

// The same in place. `capacity` is the size of the buffer behind `path`; a pair
// name that would not fit leaves the path unchanged.
void MakeFontResourcePath(char* path, size_t capacity);
