#include "fontfile/variation_regions.h"

#include "fontfile/fvar_avar.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace {

double FromFixed(int32_t value) { return value / 65536.0; }
double FromF2Dot14(int16_t value) { return value / 16384.0; }

// fontTools' normalizeValue: clamped, then -1..0..1 on either side of the default.
double Normalize(double value, double minimum, double default_value, double maximum) {
  value = std::max(std::min(value, maximum), minimum);
  if (value == default_value) return 0.0;
  if (value < default_value) return (value - default_value) / (default_value - minimum);
  return (value - default_value) / (maximum - default_value);
}

// fontTools' piecewiseLinearMap over one axis's segment map; a map that names
// one point twice keeps the last pair, as a dictionary does.
double MapSegments(double value, const std::map<double, double>& map) {
  if (map.empty()) return value;
  if (auto exact = map.find(value); exact != map.end()) return exact->second;
  const auto& [first_from, first_to] = *map.begin();
  if (value < first_from) return value + first_to - first_from;
  const auto& [last_from, last_to] = *map.rbegin();
  if (value > last_from) return value + last_to - last_from;
  const auto above = map.upper_bound(value);
  const auto below = std::prev(above);
  return below->second +
         (above->second - below->second) * (value - below->first) / (above->first - below->first);
}

}  // namespace

int64_t RoundHalfUp(double value) { return static_cast<int64_t>(std::floor(value + 0.5)); }

bool ReadFvarAxes(ByteView fvar, std::vector<FvarAxis>& axes) {
  axes.clear();
  const FvarTable table = ReadFvarTable(fvar);
  if (!table.axes_inside() || table.axis_count == 0) return false;
  for (const FvarAxisRecord& record : table.axes) {
    if (record.minimum > record.default_value || record.default_value > record.maximum)
      return false;
    axes.push_back(FvarAxis{record.tag, record.minimum, record.default_value, record.maximum});
  }
  return true;
}

bool NormalizeLocation(const std::vector<FvarAxis>& axes, const std::vector<int32_t>& user,
                       ByteView avar, DesignLocation& location) {
  if (user.size() != axes.size()) return false;
  const size_t count = axes.size();
  location.coordinates.assign(count, 0.0);
  for (size_t i = 0; i < count; ++i)
    location.coordinates[i] =
        Normalize(FromFixed(user[i]), FromFixed(axes[i].minimum),
                  FromFixed(axes[i].default_value), FromFixed(axes[i].maximum));
  if (avar.size) {
    const AvarTable table = ReadAvarTable(avar);
    if (!table.read || table.major != 1 || table.maps.size() != count) return false;
    std::map<double, double> map;
    for (size_t i = 0; i < count; ++i) {
      map.clear();
      for (const auto& [from, to] : table.maps[i]) map[FromF2Dot14(from)] = FromF2Dot14(to);
      location.coordinates[i] = MapSegments(location.coordinates[i], map);
    }
  }
  // Quantized to F2Dot14, and kept in -1..1 whatever avar says.
  for (double& value : location.coordinates)
    value = std::clamp(static_cast<double>(RoundHalfUp(value * 16384.0)), -16384.0, 16384.0) /
            16384.0;
  location.tag_order.resize(count);
  std::iota(location.tag_order.begin(), location.tag_order.end(), uint16_t{0});
  std::stable_sort(location.tag_order.begin(), location.tag_order.end(),
                   [&axes](uint16_t a, uint16_t b) { return axes[a].tag < axes[b].tag; });
  return true;
}

bool RegionFactors(const DesignLocation& location, const RegionAxis* axes,
                   std::vector<double>& factors) {
  factors.clear();
  for (uint16_t index : location.tag_order) {
    const RegionAxis& axis = axes[index];
    if (axis.peak == 0) continue;
    if (axis.start > axis.peak || axis.peak > axis.end || (axis.start < 0 && axis.end > 0))
      return false;
    const double v = location.coordinates[index];
    const double lower = FromF2Dot14(axis.start), peak = FromF2Dot14(axis.peak),
                 upper = FromF2Dot14(axis.end);
    if (v == peak) continue;
    if (v <= lower || upper <= v) return false;
    factors.push_back(v < peak ? (v - lower) / (peak - lower) : (upper - v) / (upper - peak));
  }
  return true;
}
