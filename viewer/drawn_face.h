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

// The table directory of face `face` of an sfnt font or "ttcf" collection, the
// bytes the system gives as the start of a font made from that face
// (GetFontData with table 0). Nothing for other files and faces out of range.
std::optional<std::string> FaceDirectory(ByteView file, uint32_t face);

// Whether the font selected into dc is that face: its directory is the face's,
// byte for byte. For a file with no directory (FON, PFM) the font must be no sfnt
// either, and its face name the start of `asked` (a face asked for by its full
// name comes back under its family name).
bool SelectedFaceIs(HDC dc, const std::optional<std::string>& directory, const char* asked);
