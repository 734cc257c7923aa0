// Whether the system draws the viewed face itself. A font is asked for by name,
// and a name can select another face: a second face of the same name, a name cut
// to 31 characters or one outside the ANSI code page, a character set the face
// lacks. Then its glyphs, and its map's glyph numbers, are another font's.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "fontfile/byte_reader.h"

// The tables that tell one face from another: its names, its character map and
// its glyph count (maxp). A copy of the same font elsewhere (an installed one, or
// the font a web font was made from) holds them byte for byte, though its
// outlines and directory may lie otherwise. Absent tables stay absent.
// FaceTables sees them in bytes the caller keeps; FaceIdentity holds a copy.
struct FaceTables {
  ByteView name;
  std::optional<ByteView> cmap, maxp;
};
struct FaceIdentity {
  std::string name;
  std::optional<std::string> cmap, maxp;
};

// Face `face` of an sfnt font or "ttcf" collection; nothing for other files, a
// face out of range, or a face without a name table. The identity is a copy, of
// sfnt bytes the caller has (a static instance just built).
struct OpenedFont;
std::optional<FaceTables> FaceTablesOf(const OpenedFont& font, uint32_t face);
std::optional<FaceIdentity> FaceIdentityOf(ByteView file, uint32_t face);

// The tables of a copy, seen in it.
FaceTables TablesOf(const FaceIdentity& identity);

// Whether the font selected into dc is that face: its tables are the face's, byte
// for byte. For a file with no identity (FON, PFM) the font must be no sfnt
// either, and its face name the start of `asked` (a face asked for by its full
// name comes back under its family name).
bool SelectedFaceIs(HDC dc, const std::optional<FaceTables>& tables, const char* asked);
