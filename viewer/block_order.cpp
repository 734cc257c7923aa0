#include "viewer/block_order.h"

#include <array>
#include <utility>

namespace {

// Byte by byte as unsigned values, no locale and no case folding.
int CompareNames(const char* a, const char* b) {
  const auto* x = reinterpret_cast<const unsigned char*>(a);
  const auto* y = reinterpret_cast<const unsigned char*>(b);
  while (*x && *x == *y) ++x, ++y;
  return static_cast<int>(*x) - static_cast<int>(*y);
}

std::array<const UnicodeBlockRow*, kFirstPlaneBlockCount> FirstPlaneOrder(int mode) {
  std::array<const UnicodeBlockRow*, kFirstPlaneBlockCount> order{};
  for (int row = 0; row < kFirstPlaneBlockCount; ++row) order[row] = &UnicodeBlockTable[row];
  SortBlocks(order, mode);
  return order;
}

}  // namespace

bool BlocksOutOfOrder(const UnicodeBlockRow& a, const UnicodeBlockRow& b, int mode) {
  switch (mode) {
    case 0: return a.first > b.last;
    case 1: return a.first < b.last;
    case 2: return CompareNames(a.name, b.name) > 0;
    case 3: return CompareNames(a.name, b.name) < 0;
  }
  return false;
}

void SortBlocks(std::span<const UnicodeBlockRow*> order, int mode) {
  if (order.size() < 3) return;
  bool exchanged = true;
  while (exchanged) {
    exchanged = false;
    for (size_t i = 1; i + 1 < order.size(); ++i) {
      if (BlocksOutOfOrder(*order[i], *order[i + 1], mode)) {
        std::swap(order[i], order[i + 1]);
        exchanged = true;
      }
    }
  }
}

int PositionIn(std::span<const UnicodeBlockRow* const> order, const UnicodeBlockRow& row) {
  for (size_t i = 0; i < order.size(); ++i)
    if (order[i] == &row) return static_cast<int>(i);
  return -1;
}

const UnicodeBlockRow* BlockNamed(std::string_view name) {
  for (const UnicodeBlockRow& row : UnicodeBlockTable)
    if (name == row.name) return &row;
  return nullptr;
}

const UnicodeBlockRow& FirstPlaneBlockAt(int position, int mode) {
  if (position < 0) position = 0;
  if (position >= kFirstPlaneBlockCount) position = kFirstPlaneBlockCount - 1;
  return *FirstPlaneOrder(mode)[position];
}

int FirstPlanePosition(const UnicodeBlockRow& row, int mode) {
  return PositionIn(FirstPlaneOrder(mode), row);
}

const UnicodeBlockRow& StoredBlock(std::string_view name, int first_plane_position, int mode) {
  if (const UnicodeBlockRow* named = BlockNamed(name)) return *named;
  return FirstPlaneBlockAt(first_plane_position, mode);
}
