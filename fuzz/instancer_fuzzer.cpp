// The instancer on arbitrary bytes, at the ends of every axis: it refuses or
// writes a static font within the size allowed, one the readers take when they
// took the variable one, with no design space left to instance again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

#include "fontfile/face_tables.h"
#include "fontfile/font_info.h"
#include "fontfile/instancer.h"
#include "fontfile/opened_font.h"
#include "fontfile/variation_regions.h"
#include "fontfile/web_font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > std::numeric_limits<uint32_t>::max()) return 0;
  const ByteView view{data, static_cast<uint32_t>(size)};
  FontInfo input;
  const bool readable = ReadFontBytes(data, static_cast<uint32_t>(size), input) != 0;
  OpenedFont opened;
  OpenFontView(view, opened);
  std::vector<FvarAxis> axes;
  ReadFvarAxes(FontTable(opened, 0, "fvar").bytes, axes);
  for (int end = 0; end < 2; ++end) {
    InstanceRequest request;
    request.family = "Fuzz";
    for (const FvarAxis& axis : axes) request.coordinates.push_back(end ? axis.maximum : axis.minimum);
    std::vector<uint8_t> sfnt;
    InstanceProblem problem = InstanceProblem::kNone;
    const bool built = BuildStaticInstance(view, request, sfnt, problem);
    if (built != (problem == InstanceProblem::kNone) || built == sfnt.empty()) std::abort();
    if (!built) continue;
    if (sfnt.size() > kMaxDecodedSize) std::abort();
    // A font the readers take stays one they take.
    FontInfo info;
    if (readable && !ReadFontBytes(sfnt.data(), static_cast<uint32_t>(sfnt.size()), info))
      std::abort();
    std::vector<uint8_t> again;
    if (BuildStaticInstance(ByteView{sfnt.data(), static_cast<uint32_t>(sfnt.size())}, request,
                            again, problem) ||
        problem != InstanceProblem::kNotVariable)
      std::abort();
  }
  return 0;
}
