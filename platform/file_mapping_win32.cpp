#include <windows.h>

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

bool MapFileReadOnly(const char* path, MappedFile& out) {
  UnmapFile(out);
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD size = GetFileSize(file, nullptr);
  if (size == INVALID_FILE_SIZE) {
    CloseHandle(file);
    return false;
  }
  HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, size, nullptr);
  if (!mapping) {
    DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    return false;
  }
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  if (!view) {
    DWORD error = GetLastError();
    CloseHandle(mapping);
    CloseHandle(file);
    SetLastError(error);
    return false;
  }
  out.data = static_cast<const uint8_t*>(view);
  out.size = size;
  out.file_handle = reinterpret_cast<intptr_t>(file);
  out.mapping_handle = reinterpret_cast<intptr_t>(mapping);
  return true;
}

void UnmapFile(MappedFile& file) {
  if (file.data) UnmapViewOfFile(file.data);
  if (file.mapping_handle) CloseHandle(reinterpret_cast<HANDLE>(file.mapping_handle));
  if (file.file_handle != -1) CloseHandle(reinterpret_cast<HANDLE>(file.file_handle));
  file.data = nullptr;
  file.size = 0;
  file.file_handle = -1;
  file.mapping_handle = 0;
}
