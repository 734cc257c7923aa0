#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace {

// Sizes and maps an open file; takes ownership of the handle either way.
bool MapOpenFile(HANDLE file, MappedFile& out) {
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
  ModuleReadCounts().mappings.fetch_add(1, std::memory_order_relaxed);
  return true;
}

}  // namespace

bool MapFileReadOnly(const char* path, MappedFile& out) {
  UnmapFile(out);
  return MapOpenFile(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                                 nullptr),
                     out);
}

bool MapFileReadOnlyUtf8(const char* utf8_path, MappedFile& out) {
  UnmapFile(out);
  int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8_path, -1, nullptr, 0);
  if (units <= 0) return false;
  std::wstring wide(static_cast<size_t>(units), L'\0');
  if (!MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8_path, -1, wide.data(), units))
    return false;
  return MapOpenFile(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr),
                     out);
}

bool FileSizeAndTimeUtf8(const char* utf8_path, uint64_t& size, int64_t& written) {
  int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8_path, -1, nullptr, 0);
  if (units <= 0) return false;
  std::wstring wide(static_cast<size_t>(units), L'\0');
  if (!MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8_path, -1, wide.data(), units))
    return false;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  size = uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
  written = static_cast<int64_t>(uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 |
                                 data.ftLastWriteTime.dwLowDateTime);
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
