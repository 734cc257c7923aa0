// TrueType and OpenType fonts (the sfnt container) and TrueType collections:
// the OS/2 table's version, weight, width and style bits and the Windows
// English names of the name table.
#pragma once

#include <cstdint>

#include "fontfile/byte_reader.h"
#include "fontfile/font_info.h"

// The font whose offset table lies at `start`. 1 when recognised and read.
int ReadSfnt(ByteView view, uint32_t start, FontInfo& info);

// Face `face` (0-based) of a "ttcf" collection; sets face and face_count. A face
// out of range reads nothing but the count. Each face is read alone: a broken one leaves
// the others readable.
int ReadCollection(ByteView view, FontInfo& info, uint32_t face = 0);

// The faces of a collection: its font count, cut to the offsets the file holds
// (a hostile count cannot make callers walk billions of faces). 0 for a file
// that is no collection.
uint32_t CollectionFaceCount(ByteView view);

// The OS/2 table at `table`: 1, or 0 when its fields leave the file.
int ReadOs2Table(ByteView view, uint32_t table, FontInfo& info);

// The name table at `table`: 1 when a record for Windows, Unicode or symbol
// encoding, US English matched; 0 when none did or a read left the file.
int ReadNameTable(ByteView view, uint32_t table, FontInfo& info);

// Converts one record's UTF-16BE text and stores it in the empty slot of its
// name id (ids above 20 are dropped).
void StoreName(ByteView text, uint16_t name_id, FontInfo& info);
