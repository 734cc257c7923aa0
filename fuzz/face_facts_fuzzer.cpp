// The embedding, kerning, hinting, gasp and DSIG readers on arbitrary bytes, and
// the whole anatomy of the bytes as a font file (its directory, every face).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "fontfile/font_anatomy.h"
#include "fontfile/sfnt_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > std::numeric_limits<uint32_t>::max()) return 0;
  const ByteView view{data, static_cast<uint32_t>(size)};
  const FaceTable table{TableState::kPresent, view};
  const FaceFacts facts =
      ReadFaceFacts(FaceFactTables{table, table, table, table, table, table, table, table, table, table});
  if (facts.kern_subtables > size / 6 + 1 || facts.gasp_ranges.size() > size / 4) std::abort();
  const uint32_t faces = CollectionFaceCount(view);
  for (uint32_t face = 0; face < (faces ? faces : 1) && face < 8; ++face) ReadFontAnatomy(view, face);
  return 0;
}
