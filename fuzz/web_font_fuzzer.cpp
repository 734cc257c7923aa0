// A web font's decoder on arbitrary bytes behind its signature (WEB_SIGNATURE,
// "wOFF" or "wOF2", set by the build), then the readers on the font it decodes
// to and the Info report's lines of its metadata.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fontfile/font_info.h"
#include "fontfile/table_directory.h"
#include "fontfile/web_font.h"
#include "text/metadata_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4 || size > kMaxDecodedSize) return 0;
  std::vector<uint8_t> file(data, data + size);
  std::memcpy(file.data(), WEB_SIGNATURE, 4);
  std::vector<uint8_t> sfnt;
  WebFontFacts facts;
  if (!DecodeWebFont(ByteView{file.data(), static_cast<uint32_t>(size)}, sfnt, facts)) return 0;
  const ByteView font{sfnt.data(), static_cast<uint32_t>(sfnt.size())};
  FontInfo info;
  ReadFontBytes(font.data, font.size, info);
  SfntTablesInsideFile(font);
  MetadataLines(facts.metadata);
  return 0;
}
