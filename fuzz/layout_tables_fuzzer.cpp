// The GSUB and GPOS script and feature lists on arbitrary bytes (the same bytes as
// GSUB, as GPOS from the second byte on, and as the name table): each script and
// feature tag once, each language once per script, every entry from a table read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <set>
#include <string>

#include "fontfile/layout_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > std::numeric_limits<uint32_t>::max() || size == 0) return 0;
  const ByteView view{data, static_cast<uint32_t>(size)};
  const ByteView shifted{data + 1, static_cast<uint32_t>(size - 1)};
  NameIndex names = IndexNames(view);
  const LayoutFacts facts = ReadLayoutTables(view, TableState::kPresent, shifted,
                                             TableState::kPresent, names);
  std::set<std::string> scripts, features;
  size_t languages = 0;
  for (const LayoutScript& script : facts.scripts) {
    if (!scripts.insert(script.tag).second || script.tables == 0 || script.tag.size() != 4)
      std::abort();
    std::set<std::string> seen(script.languages.begin(), script.languages.end());
    if (seen.size() != script.languages.size()) std::abort();
    languages += script.languages.size();
  }
  for (const LayoutFeature& feature : facts.features)
    if (!features.insert(feature.tag).second || feature.tables == 0) std::abort();
  // Everything listed was read from the bytes: never more than they can hold.
  if (languages > 2 * size + 4 || facts.features.size() > size / 3) std::abort();
  return 0;
}
