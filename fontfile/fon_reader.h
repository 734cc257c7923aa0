// Windows FON files: 16-bit (NE) executables whose resources hold raster or
// vector fonts. The first font resource describes the file.
#pragma once

#include <cstdint>

#include "fontfile/byte_reader.h"
#include "fontfile/font_info.h"

int ReadFon(ByteView view, FontInfo& info);

// Walks the NE resource table at `resource_table` to the first font resource.
int ReadFonResources(ByteView view, uint32_t resource_table, FontInfo& info);
