#include "fontfile/pfm_reader.h"

#include <string>

#include "fontfile/font_header.h"

namespace {
constexpr uint32_t kPfmHeaderSize = 117;
}

int ReadPfm(ByteView view, FontInfo& info) {
  if (view.size < kPfmHeaderSize) return 0;
  // The version is all that is tested; this reader comes last for that reason.
  uint16_t version = 0;
  if (!ReadU16LE(view, 0, 0, version) || version != 0x0100) return 0;
  uint32_t after_face = 0;
  if (!StoreFontHeader(view, 0, "PostScript Type 1 (Vector)", "PostScript Type 1 (Raster)", info,
                       after_face))
    return 0;
  std::string postscript_name;
  if (!ReadZeroTerminated(view, after_face, postscript_name)) return 0;
  info.names[kNamePostScript] = std::move(postscript_name);
  return 1;
}
