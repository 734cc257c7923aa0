// TrueType and OpenType fonts (the sfnt container) and TrueType collections:
// the OS/2 table's version, weight, width and style bits and the Windows
// English names of the name table.
#pragma once

#include <cstdint>

#include "fontfile/byte_reader.h"
#include "fontfile/font_info.h"

// The font whose offset table lies at `start`. 1 when recognised and read.
int ReadSfnt(ByteView view, uint32_t start, FontInfo& info);

// The first font of a "ttcf" collection.
int ReadCollection(ByteView view, FontInfo& info);

// The OS/2 table at `table`: 1, or 0 when its fields leave the file.
int ReadOs2Table(ByteView view, uint32_t table, FontInfo& info);

// The name table at `table`: 1 when a record for Windows, Unicode or symbol
// encoding, US English matched; 0 when none did or a read left the file.
int ReadNameTable(ByteView view, uint32_t table, FontInfo& info);

// Converts one record's UTF-16BE text and stores it in the empty slot of its
// name id (ids above 20 are dropped).
void StoreName(ByteView text, uint16_t name_id, FontInfo& info);
