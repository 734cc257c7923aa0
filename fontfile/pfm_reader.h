// Printer font metrics (PFM) of PostScript Type 1 fonts.
#pragma once

#include "fontfile/byte_reader.h"
#include "fontfile/font_info.h"

int ReadPfm(ByteView view, FontInfo& info);
