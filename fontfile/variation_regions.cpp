#include "fontfile/variation_regions.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace {

constexpr uint32_t kFvarAxisRecordSize = 20;

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
  uint16_t major = 0, axes_offset = 0, axis_count = 0, axis_size = 0;
  if (!ReadU16BE(fvar, 0, 0, major) || !ReadU16BE(fvar, 0, 4, axes_offset) ||
      !ReadU16BE(fvar, 0, 8, axis_count) || !ReadU16BE(fvar, 0, 10, axis_size) || major != 1 ||
      axis_size < kFvarAxisRecordSize || axis_count == 0)
    return false;
  for (uint32_t i = 0; i < axis_count; ++i) {
    const uint32_t record = axes_offset + uint32_t{axis_size} * i;
    FvarAxis axis;
    uint32_t minimum = 0, default_value = 0, maximum = 0;
    if (!ReadU32BE(fvar, record, 0, axis.tag) || !ReadU32BE(fvar, record, 4, minimum) ||
        !ReadU32BE(fvar, record, 8, default_value) || !ReadU32BE(fvar, record, 12, maximum))
      return false;
    axis.minimum = static_cast<int32_t>(minimum);
    axis.default_value = static_cast<int32_t>(default_value);
    axis.maximum = static_cast<int32_t>(maximum);
    if (axis.minimum > axis.default_value || axis.default_value > axis.maximum) return false;
    axes.push_back(axis);
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
    uint16_t major = 0, axis_count = 0;
    if (!ReadU16BE(avar, 0, 0, major) || !ReadU16BE(avar, 0, 6, axis_count) || major != 1 ||
        axis_count != count)
      return false;
    uint32_t position = 8;
    std::map<double, double> map;
    for (size_t i = 0; i < count; ++i) {
      uint16_t pairs = 0;
      if (!ReadU16BE(avar, position, 0, pairs) || !InBounds(avar, position + 2, 4u * pairs))
        return false;
      map.clear();
      for (uint32_t p = 0; p < pairs; ++p) {
        uint16_t from = 0, to = 0;
        ReadU16BE(avar, position + 2 + 4 * p, 0, from);
        ReadU16BE(avar, position + 2 + 4 * p, 2, to);
        map[FromF2Dot14(static_cast<int16_t>(from))] = FromF2Dot14(static_cast<int16_t>(to));
      }
      location.coordinates[i] = MapSegments(location.coordinates[i], map);
      position += 2 + 4 * uint32_t{pairs};
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
