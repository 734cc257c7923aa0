// The Windows font header that begins both a FON font resource and a PFM file.
#pragma once

#include <cstdint>
#include <string>

#include "fontfile/byte_reader.h"
#include "fontfile/font_info.h"

// Weight name, then " Italic", " Underlined", " Strike-out" for the set bytes.
std::string MakeStyleText(uint16_t weight, uint8_t italic, uint8_t underline, uint8_t strike_out);

// Reads the header at `header` and stores, in this order, type_name (one of the
// two given names by the type's vector bit), the full and family names (the
// face), the style, the copyright, then weight and the three style bytes as they lie. The face
// offset counts from the header. `after_face` receives the offset after the face
// name's terminator. False when a read left the file; what was stored stays.
bool StoreFontHeader(ByteView view, uint32_t header, const char* vector_name,
                     const char* raster_name, FontInfo& info, uint32_t& after_face);
