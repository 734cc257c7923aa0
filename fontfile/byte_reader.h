// The one way the readers touch file bytes. Every read names an offset and a
// width and is refused when it would leave the bytes; offsets that come from the
// file are added and shifted with checks, so a hostile value cannot wrap around.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

struct ByteView {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
};

// ---- Bounded work --------------------------------------------------------------
// The rule every reader of untrusted bytes keeps. A small file must not be able
// to make a reader work or allocate far beyond its size.
//
// - Work. Every step that a count or a shared offset can repeat is charged to a
//   ReadBudget: each record, each face, each component visited (an empty one
//   too), each region of each item looked up, each axis of each tuple read. The
//   budget is a small multiple of the bytes that can pay for the steps (the
//   table's size, or the file's), so that the work grows with the file, never
//   with a product of its counts.
// - Memory. What a reader keeps or builds is bounded by its input's size times a
//   small constant. Bytes that many records share are read (copied, converted,
//   decoded) once, and every size computed from counts is checked before use:
//   products of two counts are taken in 64 bits (CheckedMultiply), an offset
//   plus a length with CheckedAdd.
// - Refusal. When a budget runs out the reader refuses that one thing and keeps
//   the rest: one glyph, one face, one instance, one colour image. Each reader
//   keeps a budget of its own, so that one hostile table cannot starve another.
struct ReadBudget {
  uint64_t left = 0;
  uint64_t spent = 0;    // what was charged in all, for the tests and the tools
  bool refused = false;  // a charge found too little left
  bool Spend(uint64_t count) {
    if (count > left) {
      spent += left;
      left = 0;
      refused = true;
      return false;
    }
    left -= count;
    spent += count;
    return true;
  }
};

// Written this way round so that neither side can overflow.
inline bool InBounds(ByteView view, uint32_t offset, uint32_t width) {
  return !(offset > view.size || width > view.size - offset);
}

inline bool CheckedAdd(uint32_t a, uint32_t b, uint32_t& sum) {
  if (b > UINT32_MAX - a) return false;
  sum = a + b;
  return true;
}

// a * b, refused when the product does not fit 32 bits.
inline bool CheckedMultiply(uint32_t a, uint32_t b, uint32_t& product) {
  const uint64_t wide = uint64_t{a} * b;
  if (wide > UINT32_MAX) return false;
  product = static_cast<uint32_t>(wide);
  return true;
}

// value << count, refused when bits would be lost or the count is 32 or more.
inline bool CheckedShift(uint32_t value, uint32_t count, uint32_t& out) {
  if (count >= 32) return false;
  if (value > (UINT32_MAX >> count)) return false;
  out = value << count;
  return true;
}

namespace byte_reader_detail {
// Start of `width` bytes at base + field, or nullptr when any of them lies outside.
inline const uint8_t* At(ByteView view, uint32_t base, uint32_t field, uint32_t width) {
  uint32_t offset = 0;
  if (!CheckedAdd(base, field, offset) || !InBounds(view, offset, width)) return nullptr;
  return view.data + offset;
}
}  // namespace byte_reader_detail

// The reads take a structure's position (base) and the field's offset in it, as
// the format tables give them.
inline bool ReadU8(ByteView view, uint32_t base, uint32_t field, uint8_t& out) {
  const uint8_t* p = byte_reader_detail::At(view, base, field, 1);
  if (!p) return false;
  out = p[0];
  return true;
}

inline bool ReadU16BE(ByteView view, uint32_t base, uint32_t field, uint16_t& out) {
  const uint8_t* p = byte_reader_detail::At(view, base, field, 2);
  if (!p) return false;
  out = static_cast<uint16_t>(p[0] << 8 | p[1]);
  return true;
}

inline bool ReadU32BE(ByteView view, uint32_t base, uint32_t field, uint32_t& out) {
  const uint8_t* p = byte_reader_detail::At(view, base, field, 4);
  if (!p) return false;
  out = uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
  return true;
}

inline bool ReadU16LE(ByteView view, uint32_t base, uint32_t field, uint16_t& out) {
  const uint8_t* p = byte_reader_detail::At(view, base, field, 2);
  if (!p) return false;
  out = static_cast<uint16_t>(p[1] << 8 | p[0]);
  return true;
}

inline bool ReadU32LE(ByteView view, uint32_t base, uint32_t field, uint32_t& out) {
  const uint8_t* p = byte_reader_detail::At(view, base, field, 4);
  if (!p) return false;
  out = uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
  return true;
}

// N consecutive 32-bit big-endian fields at base, checked once as a whole: the
// records of large tables, read tens of thousands at a time.
template <size_t N>
inline bool ReadU32BEs(ByteView view, uint32_t base, uint32_t (&out)[N]) {
  const uint8_t* p = byte_reader_detail::At(view, base, 0, static_cast<uint32_t>(4 * N));
  if (!p) return false;
  for (size_t i = 0; i < N; ++i, p += 4)
    out[i] = uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
  return true;
}

// Whether the four bytes at base + field are `tag` (compared in file order).
inline bool ReadTagIs(ByteView view, uint32_t base, uint32_t field, const char (&tag)[5]) {
  const uint8_t* p = byte_reader_detail::At(view, base, field, 4);
  if (!p) return false;
  for (int i = 0; i < 4; ++i)
    if (p[i] != static_cast<uint8_t>(tag[i])) return false;
  return true;
}

// The `width` bytes at offset as a view of their own, or nothing when they leave
// the file. The sub-view is read with the same calls.
inline std::optional<ByteView> SubView(ByteView view, uint32_t offset, uint32_t width) {
  const uint8_t* p = byte_reader_detail::At(view, offset, 0, width);
  if (!p) return std::nullopt;
  return ByteView{p, width};
}

// Copies `width` bytes at offset, refused when they leave the file.
inline bool ReadBytes(ByteView view, uint32_t offset, uint32_t width, std::string& out) {
  const uint8_t* p = byte_reader_detail::At(view, offset, 0, width);
  if (!p) return false;
  out.assign(reinterpret_cast<const char*>(p), width);
  return true;
}

// Whether the `width` bytes at offset are `data`'s; false when they leave the file.
inline bool SameBytes(ByteView view, uint32_t offset, const void* data, uint32_t width) {
  const uint8_t* p = byte_reader_detail::At(view, offset, 0, width);
  return p && (width == 0 || std::memcmp(p, data, width) == 0);
}

// A text field of fixed width (wholly inside the file), cut at its first zero.
inline bool ReadFixedText(ByteView view, uint32_t base, uint32_t field, uint32_t width,
                          std::string& out) {
  const uint8_t* p = byte_reader_detail::At(view, base, field, width);
  if (!p) return false;
  uint32_t length = 0;
  while (length < width && p[length] != 0) ++length;
  out.assign(reinterpret_cast<const char*>(p), length);
  return true;
}

// A zero-terminated text at offset. One that runs to the end of the file ends
// there, and one that begins exactly at the end is empty; only a start beyond the
// end is refused. `next` receives the offset after the text and its terminator.
inline bool ReadZeroTerminated(ByteView view, uint32_t offset, std::string& out,
                               uint32_t* next = nullptr) {
  if (!InBounds(view, offset, 0)) return false;
  const uint8_t* p = view.data + offset;
  uint32_t room = view.size - offset;
  uint32_t length = 0;
  while (length < room && p[length] != 0) ++length;
  if (length) out.assign(reinterpret_cast<const char*>(p), length);
  else out.clear();
  if (next) *next = offset + length + (length < room ? 1 : 0);
  return true;
}
