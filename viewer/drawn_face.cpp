#include "viewer/drawn_face.h"

#include <cstring>

namespace {

constexpr uint32_t kOffsetTableSize = 12;
constexpr uint32_t kRecordSize = 16;

bool IsSfntVersion(ByteView file, uint32_t start) {
  uint32_t version = 0;
  if (!ReadU32BE(file, start, 0, version)) return false;
  return version == 0x00010000 || ReadTagIs(file, start, 0, "OTTO") ||
         ReadTagIs(file, start, 0, "true");
}

}  // namespace

std::optional<std::string> FaceDirectory(ByteView file, uint32_t face) {
  uint32_t start = 0;
  if (ReadTagIs(file, 0, 0, "ttcf")) {
    uint32_t count = 0, field = 0;
    if (!ReadU32BE(file, 0, 8, count) || face >= count || !CheckedShift(face, 2, field) ||
        !ReadU32BE(file, 12, field, start))
      return std::nullopt;
  } else if (face != 0) {
    return std::nullopt;
  }
  uint16_t tables = 0;
  if (!IsSfntVersion(file, start) || !ReadU16BE(file, start, 4, tables)) return std::nullopt;
  // Copied, since the caller keeps it beyond the mapping; sized only once the
  // file is known to hold it.
  const uint32_t size = kOffsetTableSize + kRecordSize * tables;
  if (!InBounds(file, start, size)) return std::nullopt;
  std::string directory(size, '\0');
  if (!ReadBytes(file, start, size, directory)) return std::nullopt;
  return directory;
}

bool SelectedFaceIs(HDC dc, const std::optional<std::string>& directory, const char* asked) {
  if (!directory) {
    if (GetFontData(dc, 0, 0, nullptr, 0) != GDI_ERROR) return false;
    char face[LF_FACESIZE] = {};
    if (GetTextFaceA(dc, sizeof face, face) <= 0) return true;  // nothing says otherwise
    return std::strncmp(face, asked, std::strlen(face)) == 0;
  }
  const auto size = static_cast<DWORD>(directory->size());
  std::string drawn(size, '\0');
  return GetFontData(dc, 0, 0, drawn.data(), size) == size && drawn == *directory;
}
