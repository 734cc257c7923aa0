#include "fontfile/instancer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fontfile/face_tables.h"
#include "fontfile/glyf_glyphs.h"
#include "fontfile/glyph_variations.h"
#include "fontfile/item_variations.h"
#include "fontfile/opened_font.h"
#include "fontfile/sfnt_writer.h"
#include "fontfile/table_directory.h"
#include "fontfile/variation_regions.h"
#include "fontfile/web_font.h"

namespace {

// Deeper nesting than any real font's; it also ends a component cycle.
constexpr uint32_t kMaxComponentDepth = 32;

// Tables the static font leaves out: the design space and its deltas.
constexpr uint32_t kDroppedTables[] = {MakeTag("fvar"), MakeTag("gvar"), MakeTag("avar"),
                                       MakeTag("HVAR"), MakeTag("VVAR"), MakeTag("MVAR"),
                                       MakeTag("STAT"), MakeTag("cvar")};

// Name ids the static font gets anew; every other record is kept.
constexpr uint16_t kReplacedNames[] = {1, 2, 3, 4, 6, 16, 17, 21, 22, 25};

bool Fail(InstanceProblem reason, InstanceProblem& problem) {
  problem = reason;
  return false;
}

void SetU16(std::vector<uint8_t>& table, uint32_t at, uint16_t value) {
  table[at] = static_cast<uint8_t>(value >> 8);
  table[at + 1] = static_cast<uint8_t>(value);
}

void SetU32(std::vector<uint8_t>& table, uint32_t at, uint32_t value) {
  SetU16(table, at, static_cast<uint16_t>(value >> 16));
  SetU16(table, at + 2, static_cast<uint16_t>(value));
}

std::vector<uint8_t> CopyOf(ByteView view) {
  std::vector<uint8_t> out(view.size);
  for (uint32_t i = 0; i < view.size; ++i) ReadU8(view, i, 0, out[i]);
  return out;
}

ByteView ViewOf(const std::vector<uint8_t>& bytes) {
  return ByteView{bytes.data(), static_cast<uint32_t>(bytes.size())};
}

bool FitsInt16(int64_t value) { return value >= INT16_MIN && value <= INT16_MAX; }

// ---- What is read of the font ---------------------------------------------------

struct Font {
  FaceTable head, hhea, hmtx, maxp, loca, glyf, os2, post, vhea, vmtx, name, gvar, hvar, vvar, mvar,
      avar, cvt, cvar;
  uint32_t glyph_count = 0;
  bool long_loca = false;
  uint32_t metric_count = 0;
  uint32_t vertical_count = 0;  // vhea's long metrics; 0: no vertical metrics to move
};

// Where glyph `index` lies in glyf; false when loca does not say.
bool GlyphBytes(const Font& font, uint32_t index, ByteView& glyph) {
  uint32_t begin = 0, end = 0;
  if (font.long_loca) {
    if (!ReadU32BE(font.loca.bytes, 0, 4 * index, begin) ||
        !ReadU32BE(font.loca.bytes, 0, 4 * index + 4, end))
      return false;
  } else {
    uint16_t b = 0, e = 0;
    if (!ReadU16BE(font.loca.bytes, 0, 2 * index, b) || !ReadU16BE(font.loca.bytes, 0, 2 * index + 2, e))
      return false;
    begin = 2u * b;
    end = 2u * e;
  }
  if (end < begin) return false;
  const std::optional<ByteView> bytes = SubView(font.glyf.bytes, begin, end - begin);
  if (!bytes) return false;
  glyph = *bytes;
  return true;
}

// A glyph's advance and side bearing in hmtx or vmtx, whose first `count` metrics
// are long ones.
bool GlyphMetrics(ByteView table, uint32_t count, uint32_t index, uint16_t& advance,
                  int16_t& bearing) {
  const uint32_t last = count - 1;
  uint16_t a = 0, b = 0;
  if (!ReadU16BE(table, 0, 4 * std::min(index, last), a)) return false;
  if (index <= last) {
    if (!ReadU16BE(table, 0, 4 * index + 2, b)) return false;
  } else if (!ReadU16BE(table, 4 * count, 2 * (index - count), b)) {
    return false;
  }
  advance = a;
  bearing = static_cast<int16_t>(b);
  return true;
}

// ---- The glyphs, moved --------------------------------------------------------

enum class GlyphKind : uint8_t { kEmpty, kSimple, kComposite };

struct GlyphState {
  GlyphKind kind = GlyphKind::kEmpty;
  ByteView bytes;
  uint32_t first = 0, count = 0;  // its points (simple) or components (composite)
  uint16_t advance = 0;
  double left = 0;                // the left phantom point's x, moved
  uint16_t vertical_advance = 0;
  double top = 0;                 // the top phantom point's y, moved
  GlyphHeader header;             // the bounding box, once known
};

struct Outlines {
  std::vector<GlyphState> glyphs;
  std::vector<int32_t> x, y;        // simple glyphs' points
  std::vector<uint8_t> flags;
  std::vector<int32_t> offset_x, offset_y;  // composite glyphs' component offsets
};

// Points resolved through a composite's components, for its bounding box. The
// budget bounds the work by glyf's size, whatever the components' sharing: a
// glyph that uses the next one twice, and so on down, is visited 2^depth times,
// and each visit is charged, an empty glyph's too, with the points it adds.
struct Resolver {
  const Font& font;
  const Outlines& outlines;
  ReadBudget work;
  std::vector<double> x, y;

  bool Resolve(uint32_t index, uint32_t depth) {
    if (depth > kMaxComponentDepth || !work.Spend(1)) return false;
    const GlyphState& glyph = outlines.glyphs[index];
    if (glyph.kind == GlyphKind::kEmpty) return true;
    if (glyph.kind == GlyphKind::kSimple) {
      if (!work.Spend(glyph.count)) return false;
      for (uint32_t i = 0; i < glyph.count; ++i) {
        x.push_back(outlines.x[glyph.first + i]);
        y.push_back(outlines.y[glyph.first + i]);
      }
      return true;
    }
    uint32_t at = 10;
    Component c;
    for (uint32_t k = 0; k < glyph.count; ++k) {
      if (!ReadComponent(glyph.bytes, at, c)) return false;
      const size_t base = x.size();
      if (!Resolve(c.glyph, depth + 1)) return false;
      if (c.has_matrix)
        for (size_t i = base; i < x.size(); ++i) {
          const double px = x[i], py = y[i];
          x[i] = px * c.matrix[0] + py * c.matrix[2];
          y[i] = px * c.matrix[1] + py * c.matrix[3];
        }
      double mx = 0, my = 0;
      if (c.flags & kArgsAreXyValues) {
        mx = outlines.offset_x[glyph.first + k];
        my = outlines.offset_y[glyph.first + k];
        if (c.has_matrix && (c.flags & kScaledComponentOffset) &&
            !(c.flags & kUnscaledComponentOffset)) {
          const double ox = mx, oy = my;
          mx = ox * c.matrix[0] + oy * c.matrix[2];
          my = ox * c.matrix[1] + oy * c.matrix[3];
        }
      } else {
        const uint32_t ours = static_cast<uint32_t>(c.arg1), theirs = static_cast<uint32_t>(c.arg2);
        if (ours >= base || base + theirs >= x.size()) return false;
        mx = x[ours] - x[base + theirs];
        my = y[ours] - y[base + theirs];
      }
      for (size_t i = base; i < x.size(); ++i) {
        x[i] += mx;
        y[i] += my;
      }
    }
    return true;
  }
};

// The bounding box of points, rounded as the reference rounds it.
GlyphHeader BoundsOf(int16_t contours, const std::vector<double>& x, const std::vector<double>& y,
                     bool& fits) {
  GlyphHeader header;
  header.contours = contours;
  fits = true;
  if (x.empty()) return header;
  const auto [x_min, x_max] = std::minmax_element(x.begin(), x.end());
  const auto [y_min, y_max] = std::minmax_element(y.begin(), y.end());
  const int64_t box[4] = {RoundHalfUp(*x_min), RoundHalfUp(*y_min), RoundHalfUp(*x_max),
                          RoundHalfUp(*y_max)};
  for (int64_t v : box) fits = fits && FitsInt16(v);
  if (!fits) return header;
  header.x_min = static_cast<int16_t>(box[0]);
  header.y_min = static_cast<int16_t>(box[1]);
  header.x_max = static_cast<int16_t>(box[2]);
  header.y_max = static_cast<int16_t>(box[3]);
  return header;
}

// HVAR or VVAR: the advances' deltas, by the advance mapping or by glyph index.
struct AdvanceDeltas {
  bool present = false;
  ItemVariations items;
  ByteView map;  // empty: items by glyph index
};

struct Deltas {
  const DesignLocation& location;
  bool has_gvar = false;
  GlyphVariations gvar;
  AdvanceDeltas hvar, vvar;
};

// Opens HVAR or VVAR (their headers agree as far as the advances go). False when
// it does not add up.
bool OpenAdvanceDeltas(ByteView table, const DesignLocation& location, uint32_t glyph_count,
                       AdvanceDeltas& out) {
  uint16_t major = 0;
  uint32_t store = 0, map = 0;
  if (!ReadU16BE(table, 0, 0, major) || major != 1 || !ReadU32BE(table, 0, 4, store) ||
      !ReadU32BE(table, 0, 8, map))
    return false;
  const std::optional<ByteView> store_bytes =
      SubView(table, store, store <= table.size ? table.size - store : 0);
  if (!store_bytes || !OpenItemVariations(*store_bytes, location, glyph_count, out.items))
    return false;
  if (map) {
    const std::optional<ByteView> bytes = SubView(table, map, map <= table.size ? table.size - map : 0);
    if (!bytes || bytes->size == 0) return false;
    out.map = *bytes;
  }
  out.present = true;
  return true;
}

enum class Advance : uint8_t { kMoved, kBadTable, kStopped };

// Glyph g's advance in the instance: its default moved by HVAR's (VVAR's) delta
// where the font has one, else the distance between its phantom points, moved.
Advance MovedAdvance(AdvanceDeltas& deltas, uint32_t g, uint16_t advance, double phantom_span,
                     uint16_t& moved) {
  int64_t value = 0;
  if (deltas.present) {
    uint16_t outer = 0, inner = static_cast<uint16_t>(g);
    if (deltas.map.size && !MapDeltaSetIndex(deltas.map, g, outer, inner)) return Advance::kBadTable;
    if (!deltas.map.size && g > 0xFFFF) return Advance::kBadTable;
    double delta = 0;
    if (!ItemDelta(deltas.items, outer, inner, delta)) return Advance::kStopped;
    value = advance + RoundHalfUp(delta);
  } else {
    value = RoundHalfUp(phantom_span);
  }
  value = std::max<int64_t>(value, 0);
  if (value > 0xFFFF) return Advance::kBadTable;
  moved = static_cast<uint16_t>(value);
  return Advance::kMoved;
}

// Why a reader stopped: its budget spent, or its table not adding up.
InstanceProblem Refusal(const ReadBudget& work) {
  return work.refused ? InstanceProblem::kWorkBudget : InstanceProblem::kBadTable;
}

// The points (or components) glyph bytes declare: a simple glyph's last contour end
// plus one, read before the points themselves so that they are charged first.
bool DeclaredPoints(ByteView glyph, int16_t contours, uint32_t& count) {
  uint16_t last = 0;
  if (!ReadU16BE(glyph, 10, 2 * (static_cast<uint32_t>(contours) - 1), last)) return false;
  count = uint32_t{last} + 1;
  return true;
}

// Moves every glyph's points and phantom points: one pass over the glyphs.
bool MoveGlyphs(const Font& font, Deltas& deltas, Outlines& out, InstanceWork& work,
                InstanceProblem& problem) {
  // A simple glyph's point needs a byte of glyf at least, four with its
  // coordinates; more points than that are a hostile repeat count. Loca may
  // point many glyphs at the same bytes: each glyph's points and components are
  // charged.
  ReadBudget points{4 * uint64_t{font.glyf.bytes.size} + (1u << 16)};
  out.glyphs.resize(font.glyph_count);
  VariedGlyph varied;
  TupleScratch scratch;
  // Far above what real fonts need (tens of units of work a byte at most).
  scratch.work.left = 256 * (uint64_t{font.gvar.bytes.size} + font.glyf.bytes.size) + (1u << 22);
  SimpleGlyph simple;
  bool moved = true;
  for (uint32_t g = 0; g < font.glyph_count && moved; ++g) {
    moved = false;
    GlyphState& state = out.glyphs[g];
    if (!GlyphBytes(font, g, state.bytes)) return Fail(InstanceProblem::kBadTable, problem);
    GlyphHeader header;
    if (state.bytes.size && !ReadGlyphHeader(state.bytes, header))
      return Fail(InstanceProblem::kBadTable, problem);
    varied.x.clear();
    varied.y.clear();
    varied.contour_ends.clear();
    if (header.contours > 0) {
      state.kind = GlyphKind::kSimple;
      uint32_t declared = 0;
      if (!DeclaredPoints(state.bytes, header.contours, declared))
        return Fail(InstanceProblem::kBadTable, problem);
      if (!points.Spend(declared)) break;
      if (!ReadSimpleGlyph(state.bytes, header.contours, 0x10000, simple))
        return Fail(InstanceProblem::kBadTable, problem);
      varied.x = simple.x;
      varied.y = simple.y;
      varied.contour_ends = simple.contour_ends;
    } else if (header.contours < 0) {
      state.kind = GlyphKind::kComposite;
      uint32_t at = 10;
      Component c;
      do {
        if (!points.Spend(1)) break;
        if (!ReadComponent(state.bytes, at, c) || c.glyph >= font.glyph_count || c.glyph == g)
          return Fail(InstanceProblem::kBadTable, problem);
        const bool xy = c.flags & kArgsAreXyValues;
        varied.contour_ends.push_back(static_cast<uint32_t>(varied.x.size()));
        varied.x.push_back(xy ? c.arg1 : 0);
        varied.y.push_back(xy ? c.arg2 : 0);
      } while (c.flags & kMoreComponents);
      if (points.refused) break;
    } else {
      header = GlyphHeader{};  // no outline, whatever its box said
    }
    // The phantom points: left and right by hmtx, top and bottom by vmtx (0 without).
    uint16_t advance = 0, vertical_advance = 0;
    int16_t lsb = 0, tsb = 0;
    if (!GlyphMetrics(font.hmtx.bytes, font.metric_count, g, advance, lsb) ||
        (font.vertical_count &&
         !GlyphMetrics(font.vmtx.bytes, font.vertical_count, g, vertical_advance, tsb)))
      return Fail(InstanceProblem::kBadTable, problem);
    const int32_t left = header.x_min - lsb;
    const int32_t top = font.vertical_count ? tsb + header.y_max : 0;
    const int32_t bottom = font.vertical_count ? top - vertical_advance : 0;
    const size_t outline = varied.x.size();
    varied.x.insert(varied.x.end(), {left, left + advance, 0, 0});
    varied.y.insert(varied.y.end(), {0, 0, top, bottom});
    if (deltas.has_gvar &&
        !ApplyGlyphVariations(deltas.gvar, deltas.location, g, varied, scratch))
      break;
    if (!deltas.has_gvar) {
      varied.dx.assign(varied.x.size(), 0.0);
      varied.dy.assign(varied.x.size(), 0.0);
    }
    // The outline's points, or the components' offsets, rounded.
    state.first = static_cast<uint32_t>(state.kind == GlyphKind::kSimple ? out.x.size()
                                                                         : out.offset_x.size());
    state.count = static_cast<uint32_t>(outline);
    for (size_t i = 0; i < outline; ++i) {
      const int64_t nx = RoundHalfUp(varied.x[i] + varied.dx[i]);
      const int64_t ny = RoundHalfUp(varied.y[i] + varied.dy[i]);
      if (!FitsInt16(nx) || !FitsInt16(ny)) return Fail(InstanceProblem::kBadTable, problem);
      if (state.kind == GlyphKind::kSimple) {
        out.x.push_back(static_cast<int32_t>(nx));
        out.y.push_back(static_cast<int32_t>(ny));
        out.flags.push_back(simple.flags[i]);
      } else {
        out.offset_x.push_back(static_cast<int32_t>(nx));
        out.offset_y.push_back(static_cast<int32_t>(ny));
      }
    }
    const double left_moved = left + varied.dx[outline];
    const double right_moved = left + advance + varied.dx[outline + 1];
    const double top_moved = top + varied.dy[outline + 2];
    const double bottom_moved = bottom + varied.dy[outline + 3];
    const Advance across =
        MovedAdvance(deltas.hvar, g, advance, right_moved - left_moved, state.advance);
    const Advance down = !font.vertical_count ? Advance::kMoved
                         : across != Advance::kMoved
                             ? across
                             : MovedAdvance(deltas.vvar, g, vertical_advance,
                                            top_moved - bottom_moved, state.vertical_advance);
    if (across == Advance::kBadTable || down == Advance::kBadTable)
      return Fail(InstanceProblem::kBadTable, problem);
    if (across == Advance::kStopped || down == Advance::kStopped) break;
    state.left = left_moved;
    state.top = top_moved;
    moved = true;
  }
  work.points = points.spent;
  work.tuples = scratch.work.spent;
  work.advance_items = deltas.hvar.items.work.spent + deltas.vvar.items.work.spent;
  if (moved) return true;
  // The reader that stopped: a budget it spent, or bytes that do not add up.
  if (points.refused || deltas.hvar.items.work.refused || deltas.vvar.items.work.refused)
    return Fail(InstanceProblem::kWorkBudget, problem);
  return Fail(Refusal(scratch.work), problem);
}

// ---- The tables written anew -------------------------------------------------

// One direction's extremes, as hhea and vhea hold them: the largest advance, the
// least side bearing at either end, the largest extent, over the glyphs drawn.
struct SideMetrics {
  int64_t advance_max = 0;
  int64_t min_start = 0, min_end = 0, max_extent = 0;

  void Add(bool first, int64_t advance, int64_t start, int64_t size) {
    const int64_t end = advance - start - size, extent = start + size;
    if (first) {
      min_start = start;
      min_end = end;
      max_extent = extent;
    }
    min_start = std::min(min_start, start);
    min_end = std::min(min_end, end);
    max_extent = std::max(max_extent, extent);
  }
  bool Fits() const { return FitsInt16(min_start) && FitsInt16(min_end) && FitsInt16(max_extent); }
};

struct Metrics {
  SideMetrics across, down;  // hhea's and vhea's
  int64_t x_min = 0, y_min = 0, x_max = 0, y_max = 0;
  bool any_outline = false;
  uint64_t advance_sum = 0;
  uint32_t advance_count = 0;
};

bool WriteGlyphs(const Font& font, Outlines& outlines, std::vector<uint8_t>& glyf,
                 std::vector<uint8_t>& loca, std::vector<uint8_t>& hmtx,
                 std::vector<uint8_t>& vmtx, Metrics& metrics, InstanceWork& work,
                 InstanceProblem& problem) {
  Resolver resolver{font, outlines, ReadBudget{4 * uint64_t{font.glyf.bytes.size} + (1u << 20)},
                    {}, {}};
  std::vector<double> px, py;
  SimpleGlyph simple;
  loca.reserve(4 * (size_t{font.glyph_count} + 1));
  hmtx.reserve(4 * size_t{font.glyph_count});
  if (font.vertical_count) vmtx.reserve(4 * size_t{font.glyph_count});
  glyf.reserve(font.glyf.bytes.size + font.glyf.bytes.size / 8);
  for (uint32_t g = 0; g < font.glyph_count; ++g) {
    GlyphState& state = outlines.glyphs[g];
    AppendU32(loca, static_cast<uint32_t>(glyf.size()));
    bool fits = true;
    if (state.kind == GlyphKind::kSimple) {
      px.assign(outlines.x.begin() + state.first, outlines.x.begin() + state.first + state.count);
      py.assign(outlines.y.begin() + state.first, outlines.y.begin() + state.first + state.count);
      state.header = BoundsOf(0, px, py, fits);
      GlyphHeader original;
      ReadGlyphHeader(state.bytes, original);
      state.header.contours = original.contours;
      // The glyph read before; its contours and instructions come from the original.
      if (!ReadSimpleGlyph(state.bytes, original.contours, 0x10000, simple))
        return Fail(InstanceProblem::kBadTable, problem);
      std::copy(px.begin(), px.end(), simple.x.begin());
      std::copy(py.begin(), py.end(), simple.y.begin());
      if (!fits || !WriteSimpleGlyph(state.bytes, simple, state.header, glyf))
        return Fail(InstanceProblem::kBadTable, problem);
    } else if (state.kind == GlyphKind::kComposite) {
      resolver.x.clear();
      resolver.y.clear();
      const bool resolved = resolver.Resolve(g, 0);
      work.visits = resolver.work.spent;
      if (!resolved) return Fail(Refusal(resolver.work), problem);
      state.header = BoundsOf(-1, resolver.x, resolver.y, fits);
      if (!fits || !WriteCompositeGlyph(state.bytes, outlines.offset_x, outlines.offset_y,
                                        state.first, state.header, glyf))
        return Fail(InstanceProblem::kBadTable, problem);
    }
    while (glyf.size() % 4) glyf.push_back(0);
    if (glyf.size() > kMaxDecodedSize) return Fail(InstanceProblem::kTooLarge, problem);
    const bool outline = state.kind != GlyphKind::kEmpty;
    const int64_t lsb = RoundHalfUp((outline ? state.header.x_min : 0) - state.left);
    const int64_t tsb = RoundHalfUp(state.top - (outline ? state.header.y_max : 0));
    if (!FitsInt16(lsb) || !FitsInt16(tsb)) return Fail(InstanceProblem::kBadTable, problem);
    AppendU16(hmtx, state.advance);
    AppendU16(hmtx, static_cast<uint16_t>(lsb));
    if (font.vertical_count) {
      AppendU16(vmtx, state.vertical_advance);
      AppendU16(vmtx, static_cast<uint16_t>(tsb));
    }
    metrics.across.advance_max = std::max<int64_t>(metrics.across.advance_max, state.advance);
    metrics.down.advance_max = std::max<int64_t>(metrics.down.advance_max, state.vertical_advance);
    if (state.advance) {
      metrics.advance_sum += state.advance;
      ++metrics.advance_count;
    }
    if (!outline) continue;
    const GlyphHeader& box = state.header;
    metrics.across.Add(!metrics.any_outline, state.advance, lsb, box.x_max - box.x_min);
    metrics.down.Add(!metrics.any_outline, state.vertical_advance, tsb, box.y_max - box.y_min);
    if (!metrics.any_outline) {
      metrics.x_min = box.x_min;
      metrics.y_min = box.y_min;
      metrics.x_max = box.x_max;
      metrics.y_max = box.y_max;
      metrics.any_outline = true;
    }
    metrics.x_min = std::min<int64_t>(metrics.x_min, box.x_min);
    metrics.y_min = std::min<int64_t>(metrics.y_min, box.y_min);
    metrics.x_max = std::max<int64_t>(metrics.x_max, box.x_max);
    metrics.y_max = std::max<int64_t>(metrics.y_max, box.y_max);
  }
  AppendU32(loca, static_cast<uint32_t>(glyf.size()));
  return true;
}

// UTF-8 (as the request holds it) to UTF-16BE; a byte that is no UTF-8 becomes U+FFFD.
std::vector<uint8_t> Utf16BE(const std::string& text) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < text.size();) {
    const uint8_t lead = static_cast<uint8_t>(text[i]);
    uint32_t code = 0xFFFD;
    size_t length = 1;
    if (lead < 0x80) {
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
    }
    if (length > 1) {
      if (i + length > text.size()) {
        length = 1;
      } else {
        code = lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
          const uint8_t next = static_cast<uint8_t>(text[i + k]);
          if ((next & 0xC0) != 0x80) {
            code = 0xFFFD;
            length = 1;
            break;
          }
          code = code << 6 | (next & 0x3F);
        }
      }
    }
    i += length;
    if (code >= 0x10000) {
      code -= 0x10000;
      AppendU16(out, static_cast<uint16_t>(0xD800 + (code >> 10)));
      AppendU16(out, static_cast<uint16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      AppendU16(out, static_cast<uint16_t>(code));
    }
  }
  return out;
}

// A PostScript name: printable ASCII without spaces and the characters the
// format reserves, at most 63 of them.
std::string PostScriptName(const std::string& family) {
  std::string out;
  for (char c : family) {
    if (c < 33 || c > 126) continue;
    if (std::string_view("[](){}<>/%").find(c) != std::string_view::npos) continue;
    if (out.size() < 63) out += c;
  }
  return out.empty() ? "Instance" : out;
}

// A record of the new name table; its text lies in the old table's storage, or
// among the texts added.
struct NameOut {
  uint16_t platform, encoding, language, id;
  bool added;
  uint32_t offset, length;  // in the old storage, or in the added texts
};

// The name table with the family's names (ids 1, 2, 3, 4 and 6, Windows Unicode
// English) in place of the family and style names of every platform; the other
// records kept. Format 1's language-tag records (and the names that use them)
// are left out. Records may share their text, or overlap: the bytes the kept
// records cover are copied once each, so that the new table is never larger
// than the old one and the texts added.
bool BuildNames(ByteView name, const std::string& family, std::vector<uint8_t>& out,
                uint64_t& copied) {
  uint16_t count = 0, storage = 0;
  if (!ReadU16BE(name, 0, 2, count) || !ReadU16BE(name, 0, 4, storage)) return false;
  // The storage as far as the table goes; a record that leaves it is dropped.
  const std::optional<ByteView> texts =
      SubView(name, storage, storage <= name.size ? name.size - storage : 0);
  if (!texts) return false;
  std::vector<NameOut> records;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t record = kNameHeaderSize + kNameRecordSize * i;
    uint16_t f[6] = {};
    bool read = true;
    for (uint32_t k = 0; k < 6; ++k) read = read && ReadU16BE(name, record, 2 * k, f[k]);
    if (!read) return false;
    if (std::find(std::begin(kReplacedNames), std::end(kReplacedNames), f[3]) !=
            std::end(kReplacedNames) ||
        f[2] >= 0x8000 || !InBounds(*texts, f[5], f[4]))
      continue;
    records.push_back(NameOut{f[0], f[1], f[2], f[3], false, f[5], f[4]});
  }
  const std::vector<uint8_t> family_text = Utf16BE(family);
  const std::vector<uint8_t> postscript = Utf16BE(PostScriptName(family));
  if (family_text.size() > 0xFFFF) return false;
  std::vector<uint8_t> added;
  auto add = [&](uint16_t id, const std::vector<uint8_t>& text) {
    records.push_back(NameOut{3, 1, 0x409, id, true, static_cast<uint32_t>(added.size()),
                              static_cast<uint32_t>(text.size())});
    added.insert(added.end(), text.begin(), text.end());
  };
  const uint32_t family_length = static_cast<uint32_t>(family_text.size());
  add(1, family_text);  // first of the added texts: ids 3 and 4 share it
  add(2, Utf16BE("Regular"));
  records.push_back(NameOut{3, 1, 0x409, 3, true, 0, family_length});
  records.push_back(NameOut{3, 1, 0x409, 4, true, 0, family_length});
  add(6, postscript);
  const size_t header = kNameHeaderSize + kNameRecordSize * records.size();
  if (header > 0xFFFF) return false;

  // The old storage's covered spans, merged, each copied once: where each lands.
  std::vector<std::pair<uint32_t, uint32_t>> spans;  // begin, end
  for (const NameOut& r : records)
    if (!r.added && r.length) spans.emplace_back(r.offset, r.offset + r.length);
  std::sort(spans.begin(), spans.end());
  std::vector<std::pair<uint32_t, uint32_t>> merged;
  for (const auto& span : spans) {
    if (!merged.empty() && span.first <= merged.back().second)
      merged.back().second = std::max(merged.back().second, span.second);
    else merged.push_back(span);
  }
  std::vector<uint8_t> kept;
  std::vector<uint32_t> landed;  // where each merged span begins in `kept`
  for (const auto& [begin, end] : merged) {
    landed.push_back(static_cast<uint32_t>(kept.size()));
    const std::vector<uint8_t> bytes = CopyOf(*SubView(*texts, begin, end - begin));
    kept.insert(kept.end(), bytes.begin(), bytes.end());
  }
  copied = kept.size();
  // The added texts first: they are short, and a long old text then cannot push
  // them past the 16-bit offsets.
  auto place = [&](const NameOut& r) -> uint64_t {
    if (r.added) return r.offset;
    if (!r.length) return 0;
    const auto span = std::upper_bound(merged.begin(), merged.end(),
                                       std::make_pair(r.offset, UINT32_MAX)) - 1;
    return added.size() + landed[span - merged.begin()] + uint64_t{r.offset - span->first};
  };

  std::stable_sort(records.begin(), records.end(), [](const NameOut& a, const NameOut& b) {
    return std::tie(a.platform, a.encoding, a.language, a.id) <
           std::tie(b.platform, b.encoding, b.language, b.id);
  });
  out.clear();
  AppendU16(out, 0);
  AppendU16(out, static_cast<uint16_t>(records.size()));
  AppendU16(out, static_cast<uint16_t>(header));
  for (const NameOut& r : records) {
    const uint64_t offset = place(r);
    if (offset > 0xFFFF) return false;
    AppendU16(out, r.platform);
    AppendU16(out, r.encoding);
    AppendU16(out, r.language);
    AppendU16(out, r.id);
    AppendU16(out, static_cast<uint16_t>(r.length));
    AppendU16(out, static_cast<uint16_t>(offset));
  }
  out.insert(out.end(), added.begin(), added.end());
  out.insert(out.end(), kept.begin(), kept.end());
  return true;
}

// MVAR's value tags and the fields they move.
struct MvarField {
  uint32_t tag;
  char table;  // 'O' OS/2, 'h' hhea, 'v' vhea, 'p' post
  uint32_t offset;
  bool is_unsigned;
};
constexpr MvarField kMvarFields[] = {
    {MakeTag("hasc"), 'O', 68, false}, {MakeTag("hdsc"), 'O', 70, false},
    {MakeTag("hlgp"), 'O', 72, false}, {MakeTag("hcla"), 'O', 74, true},
    {MakeTag("hcld"), 'O', 76, true},  {MakeTag("vasc"), 'v', 4, false},
    {MakeTag("vdsc"), 'v', 6, false},  {MakeTag("vlgp"), 'v', 8, false},
    {MakeTag("hcrs"), 'h', 18, false}, {MakeTag("hcrn"), 'h', 20, false},
    {MakeTag("hcof"), 'h', 22, false}, {MakeTag("vcrs"), 'v', 18, false},
    {MakeTag("vcrn"), 'v', 20, false}, {MakeTag("vcof"), 'v', 22, false},
    {MakeTag("xhgt"), 'O', 86, false}, {MakeTag("cpht"), 'O', 88, false},
    {MakeTag("sbxs"), 'O', 10, false}, {MakeTag("sbys"), 'O', 12, false},
    {MakeTag("sbxo"), 'O', 14, false}, {MakeTag("sbyo"), 'O', 16, false},
    {MakeTag("spxs"), 'O', 18, false}, {MakeTag("spys"), 'O', 20, false},
    {MakeTag("spxo"), 'O', 22, false}, {MakeTag("spyo"), 'O', 24, false},
    {MakeTag("strs"), 'O', 26, false}, {MakeTag("stro"), 'O', 28, false},
    {MakeTag("unds"), 'p', 10, false}, {MakeTag("undo"), 'p', 8, false},
};

struct MutableTables {
  std::vector<uint8_t> os2, hhea, vhea, post;
};

bool ApplyMvar(ByteView mvar, const DesignLocation& location, MutableTables& tables,
               InstanceWork& work, InstanceProblem& problem) {
  uint16_t major = 0, record_size = 0, record_count = 0, store_offset = 0;
  if (!ReadU16BE(mvar, 0, 0, major) || !ReadU16BE(mvar, 0, 6, record_size) ||
      !ReadU16BE(mvar, 0, 8, record_count) || !ReadU16BE(mvar, 0, 10, store_offset) ||
      major != 1 || (record_count && record_size < 8))
    return Fail(InstanceProblem::kBadTable, problem);
  if (record_count == 0 || store_offset == 0) return true;
  const std::optional<ByteView> store = SubView(mvar, store_offset, mvar.size - std::min<uint32_t>(store_offset, mvar.size));
  ItemVariations items;
  if (!store || !OpenItemVariations(*store, location, record_count, items))
    return Fail(InstanceProblem::kBadTable, problem);
  for (uint32_t i = 0; i < record_count; ++i) {
    const uint32_t record = 12 + uint32_t{record_size} * i;
    uint32_t tag = 0;
    uint16_t outer = 0, inner = 0;
    if (!ReadU32BE(mvar, record, 0, tag) || !ReadU16BE(mvar, record, 4, outer) ||
        !ReadU16BE(mvar, record, 6, inner))
      return Fail(InstanceProblem::kBadTable, problem);
    const MvarField* field = std::find_if(std::begin(kMvarFields), std::end(kMvarFields),
                                          [tag](const MvarField& f) { return f.tag == tag; });
    if (field == std::end(kMvarFields)) continue;
    double delta = 0;
    const bool found = ItemDelta(items, outer, inner, delta);
    work.metric_items = items.work.spent;
    if (!found) return Fail(Refusal(items.work), problem);
    const int64_t rounded = RoundHalfUp(delta);
    if (rounded == 0) continue;
    std::vector<uint8_t>& table = field->table == 'O'   ? tables.os2
                                  : field->table == 'h' ? tables.hhea
                                  : field->table == 'v' ? tables.vhea
                                                        : tables.post;
    if (table.size() < field->offset + 2) continue;  // a field the font lacks
    const uint16_t raw = static_cast<uint16_t>(table[field->offset] << 8 | table[field->offset + 1]);
    const int64_t value = (field->is_unsigned ? int64_t{raw} : int64_t{static_cast<int16_t>(raw)}) + rounded;
    if (field->is_unsigned ? value < 0 || value > 0xFFFF : !FitsInt16(value))
      return Fail(InstanceProblem::kBadTable, problem);
    SetU16(table, field->offset, static_cast<uint16_t>(value));
  }
  return true;
}

// OS/2's width class of a wdth value, as the reference maps it.
uint16_t WidthClass(double width) {
  static constexpr double kFrom[] = {50, 62.5, 75, 87.5, 100, 112.5, 125, 150, 200};
  width = std::clamp(width, 50.0, 200.0);
  for (int i = 0; i < 8; ++i)
    if (width <= kFrom[i + 1])
      return static_cast<uint16_t>(
          RoundHalfUp(i + 1 + (width - kFrom[i]) / (kFrom[i + 1] - kFrom[i])));
  return 9;
}

}  // namespace

bool BuildStaticInstance(const OpenedFont& opened, const InstanceRequest& request,
                         std::vector<uint8_t>& sfnt, InstanceProblem& problem,
                         InstanceWork* work_out) {
  InstanceWork unused;
  InstanceWork& work = work_out ? *work_out : unused;
  work = InstanceWork{};
  sfnt.clear();
  problem = InstanceProblem::kNone;
  const OpenedFace* face = FaceOf(opened, request.face);
  if (!face) return Fail(InstanceProblem::kNotVariable, problem);
  const ByteView file = opened.bytes;
  Font font;
  auto table = [&](const char (&tag)[5]) { return FaceTableOf(file, *face, tag); };
  const FaceTable fvar = table("fvar");
  if (!fvar.listed()) return Fail(InstanceProblem::kNotVariable, problem);
  if (table("CFF2").listed())
    return Fail(InstanceProblem::kCff2Outlines, problem);
  uint16_t axis_count = 0;
  if (fvar.present() && ReadU16BE(fvar.bytes, 0, 8, axis_count) && axis_count == 0)
    return Fail(InstanceProblem::kNotVariable, problem);
  std::vector<FvarAxis> axes;
  if (!fvar.present() || !ReadFvarAxes(fvar.bytes, axes))
    return Fail(InstanceProblem::kBadTable, problem);
  if (request.coordinates.size() != axes.size())
    return Fail(InstanceProblem::kBadCoordinates, problem);

  // A table listed with bytes outside the file refuses; so does a required one missing.
  bool tables_read = true;
  auto find = [&](FaceTable& found, const char(&tag)[5], bool required) {
    found = table(tag);
    if (found.state == TableState::kBroken || (required && !found.present())) tables_read = false;
  };
  find(font.head, "head", true);
  find(font.hhea, "hhea", true);
  find(font.hmtx, "hmtx", true);
  find(font.maxp, "maxp", true);
  find(font.loca, "loca", true);
  find(font.glyf, "glyf", true);
  find(font.os2, "OS/2", false);
  find(font.post, "post", false);
  find(font.vhea, "vhea", false);
  find(font.vmtx, "vmtx", false);
  find(font.name, "name", false);
  find(font.gvar, "gvar", false);
  find(font.hvar, "HVAR", false);
  find(font.vvar, "VVAR", false);
  find(font.mvar, "MVAR", false);
  find(font.avar, "avar", false);
  find(font.cvt, "cvt ", false);
  find(font.cvar, "cvar", false);
  if (!tables_read) return Fail(InstanceProblem::kBadTable, problem);

  DesignLocation location;
  std::vector<int32_t> user = request.coordinates;
  for (size_t i = 0; i < axes.size(); ++i)
    user[i] = std::clamp(user[i], axes[i].minimum, axes[i].maximum);
  if (!NormalizeLocation(axes, user, font.avar.bytes, location))
    return Fail(InstanceProblem::kBadTable, problem);

  uint16_t glyph_count = 0, loca_format = 0, metric_count = 0;
  if (!ReadU16BE(font.maxp.bytes, 0, 4, glyph_count) ||
      !ReadU16BE(font.head.bytes, 0, 50, loca_format) ||
      !ReadU16BE(font.hhea.bytes, 0, 34, metric_count) || metric_count == 0 || loca_format > 1 ||
      font.head.bytes.size < 54 || font.hhea.bytes.size < 36)
    return Fail(InstanceProblem::kBadTable, problem);
  font.glyph_count = glyph_count;
  font.long_loca = loca_format == 1;
  font.metric_count = std::min<uint32_t>(metric_count, glyph_count ? glyph_count : 1);
  // Vertical metrics are moved as the horizontal ones are, where vhea and a vmtx
  // that holds every glyph are there; otherwise vmtx is kept as it is.
  uint16_t vertical_count = 0;
  if (font.vhea.bytes.size >= 36 && ReadU16BE(font.vhea.bytes, 0, 34, vertical_count) &&
      vertical_count > 0 && font.vmtx.present()) {
    const uint32_t count = std::min<uint32_t>(vertical_count, glyph_count ? glyph_count : 1);
    const uint64_t needed =
        4 * uint64_t{count} + 2 * (uint64_t{glyph_count} - std::min<uint32_t>(count, glyph_count));
    if (font.vmtx.bytes.size >= needed) font.vertical_count = count;
  }

  Deltas deltas{location, false, {}, {}, {}};
  if (font.gvar.present()) {
    if (!OpenGlyphVariations(font.gvar.bytes, location, glyph_count, deltas.gvar))
      return Fail(InstanceProblem::kBadTable, problem);
    deltas.has_gvar = true;
  }
  if ((font.hvar.present() &&
       !OpenAdvanceDeltas(font.hvar.bytes, location, glyph_count, deltas.hvar)) ||
      (font.vertical_count && font.vvar.present() &&
       !OpenAdvanceDeltas(font.vvar.bytes, location, glyph_count, deltas.vvar)))
    return Fail(InstanceProblem::kBadTable, problem);

  Outlines outlines;
  if (!MoveGlyphs(font, deltas, outlines, work, problem)) return false;
  std::vector<uint8_t> glyf, loca, hmtx, vmtx;
  Metrics metrics;
  if (!WriteGlyphs(font, outlines, glyf, loca, hmtx, vmtx, metrics, work, problem)) return false;
  outlines = Outlines{};

  std::vector<uint8_t> head = CopyOf(font.head.bytes);
  SetU16(head, 36, static_cast<uint16_t>(metrics.x_min));
  SetU16(head, 38, static_cast<uint16_t>(metrics.y_min));
  SetU16(head, 40, static_cast<uint16_t>(metrics.x_max));
  SetU16(head, 42, static_cast<uint16_t>(metrics.y_max));
  SetU16(head, 50, 1);  // long loca

  MutableTables tables{CopyOf(font.os2.bytes), CopyOf(font.hhea.bytes), CopyOf(font.vhea.bytes),
                       CopyOf(font.post.bytes)};
  // hhea's extremes, and vhea's where vmtx is written anew; every metric long.
  auto set_extremes = [glyph_count](std::vector<uint8_t>& table, const SideMetrics& side) {
    SetU16(table, 10, static_cast<uint16_t>(side.advance_max));
    SetU16(table, 12, static_cast<uint16_t>(side.min_start));
    SetU16(table, 14, static_cast<uint16_t>(side.min_end));
    SetU16(table, 16, static_cast<uint16_t>(side.max_extent));
    SetU16(table, 34, glyph_count);
  };
  if (!metrics.across.Fits() || (font.vertical_count && !metrics.down.Fits()))
    return Fail(InstanceProblem::kBadTable, problem);
  set_extremes(tables.hhea, metrics.across);
  if (font.vertical_count) set_extremes(tables.vhea, metrics.down);

  if (font.mvar.present() && !ApplyMvar(font.mvar.bytes, location, tables, work, problem))
    return false;
  // The style classes and the slant of the instance, as the reference sets them.
  for (size_t i = 0; i < axes.size(); ++i) {
    const double value = user[i] / 65536.0;
    if (axes[i].tag == MakeTag("wght") && tables.os2.size() >= 6)
      SetU16(tables.os2, 4, static_cast<uint16_t>(RoundHalfUp(std::clamp(value, 1.0, 1000.0))));
    if (axes[i].tag == MakeTag("wdth") && tables.os2.size() >= 8)
      SetU16(tables.os2, 6, WidthClass(value));
    if (axes[i].tag == MakeTag("slnt") && tables.post.size() >= 8)
      SetU32(tables.post, 4, static_cast<uint32_t>(std::clamp(user[i], -90 * 65536, 90 * 65536)));
  }
  if (tables.os2.size() >= 4 && metrics.advance_count)
    SetU16(tables.os2, 2,
           static_cast<uint16_t>(RoundHalfUp(static_cast<double>(metrics.advance_sum) /
                                             metrics.advance_count)));

  // The hinting's control values follow the outlines.
  std::vector<uint8_t> cvt = CopyOf(font.cvt.bytes);
  if (font.cvt.present() && font.cvar.present()) {
    std::vector<double> cvt_deltas;
    if (!CvtDeltas(font.cvar.bytes, location, font.cvt.bytes.size / 2, cvt_deltas))
      return Fail(InstanceProblem::kBadTable, problem);
    for (uint32_t i = 0; i < cvt_deltas.size(); ++i) {
      const int64_t value =
          static_cast<int16_t>(cvt[2 * i] << 8 | cvt[2 * i + 1]) + RoundHalfUp(cvt_deltas[i]);
      if (!FitsInt16(value)) return Fail(InstanceProblem::kBadTable, problem);
      SetU16(cvt, 2 * i, static_cast<uint16_t>(value));
    }
  }

  std::vector<uint8_t> name;
  const bool new_names = font.name.present() && !request.family.empty();
  if (new_names && !BuildNames(font.name.bytes, request.family, name, work.name_bytes))
    return Fail(InstanceProblem::kBadTable, problem);

  // Every table of the face, the dropped ones left out and the rebuilt ones in place.
  std::vector<OutputTable> out;
  for (const DirectoryEntry& entry : face->tables) {
    const uint32_t tag = entry.tag;
    if (std::find(std::begin(kDroppedTables), std::end(kDroppedTables), tag) !=
        std::end(kDroppedTables))
      continue;
    if (std::any_of(out.begin(), out.end(), [tag](const OutputTable& t) { return t.tag == tag; }))
      continue;  // a tag listed twice: the first is the one the readers take
    ByteView bytes;
    if (tag == MakeTag("glyf")) bytes = ViewOf(glyf);
    else if (tag == MakeTag("loca")) bytes = ViewOf(loca);
    else if (tag == MakeTag("hmtx")) bytes = ViewOf(hmtx);
    else if (tag == MakeTag("vmtx") && font.vertical_count) bytes = ViewOf(vmtx);
    else if (tag == MakeTag("head")) bytes = ViewOf(head);
    else if (tag == MakeTag("hhea")) bytes = ViewOf(tables.hhea);
    else if (tag == MakeTag("OS/2")) bytes = ViewOf(tables.os2);
    else if (tag == MakeTag("post")) bytes = ViewOf(tables.post);
    else if (tag == MakeTag("vhea")) bytes = ViewOf(tables.vhea);
    else if (tag == MakeTag("cvt ")) bytes = ViewOf(cvt);
    else if (tag == MakeTag("name") && new_names) bytes = ViewOf(name);
    else {
      const std::optional<ByteView> kept = SubView(file, entry.record.offset, entry.record.length);
      if (!kept) return Fail(InstanceProblem::kBadTable, problem);
      bytes = *kept;
    }
    out.push_back(OutputTable{tag, bytes});
  }
  if (!WriteSfnt(std::move(out), kMaxDecodedSize, sfnt))
    return Fail(InstanceProblem::kTooLarge, problem);
  return true;
}

bool BuildStaticInstance(ByteView file, const InstanceRequest& request, std::vector<uint8_t>& sfnt,
                         InstanceProblem& problem, InstanceWork* work) {
  OpenedFont font;
  OpenFontView(file, font);
  return BuildStaticInstance(font, request, sfnt, problem, work);
}
