// The fvar, avar and STAT readers on arbitrary bytes, each table and the name
// table being the same bytes: every instance has one coordinate per axis, and a
// PostScript name only where it has a name id.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "fontfile/variation_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > std::numeric_limits<uint32_t>::max()) return 0;
  const ByteView view{data, static_cast<uint32_t>(size)};
  NameIndex names = IndexNames(view);
  const VariationFacts facts = ReadVariationTables(view, TableState::kPresent, view,
                                                   TableState::kPresent, view,
                                                   TableState::kPresent, names);
  for (const NamedInstance& instance : facts.instances) {
    if (instance.coordinates.size() != facts.axes.size()) std::abort();
    if (instance.postscript_name && instance.postscript_name_id == 0xFFFF) std::abort();
  }
  // Work and results stay within what the bytes can hold.
  if (facts.axes.size() > size / 20 || facts.instances.size() > size / 4) std::abort();
  for (const VariationAxis& axis : facts.axes) FixedText(axis.minimum);
  return 0;
}
