// The ownership side of MappedFile, the same on every system: UnmapFile, in
// the system's own file, releases what the handles hold.
#include <utility>

#include "platform/platform.h"

MappedFile::MappedFile(MappedFile&& other) noexcept { *this = std::move(other); }

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    UnmapFile(*this);
    data = std::exchange(other.data, nullptr);
    size = std::exchange(other.size, 0);
    file_handle = std::exchange(other.file_handle, -1);
    mapping_handle = std::exchange(other.mapping_handle, 0);
  }
  return *this;
}

MappedFile::~MappedFile() { UnmapFile(*this); }

ReadCounts& ModuleReadCounts() {
  static ReadCounts counts;
  return counts;
}
