#include "viewer/drawn_face.h"

#include <cstring>

#include "fontfile/face_tables.h"

namespace {

// A table's bytes, copied (the caller keeps them beyond the mapping); nothing
// when the face has no such table or its bytes leave the file.
std::optional<std::string> CopyTable(ByteView file, uint32_t start, const char (&tag)[5]) {
  const FaceTable table = FindFaceTable(file, start, tag);
  if (!table.present()) return std::nullopt;
  std::string bytes(table.bytes.size, '\0');
  if (!ReadBytes(table.bytes, 0, table.bytes.size, bytes)) return std::nullopt;
  return bytes;
}

// GetFontData names a table by its four letters read as a little-endian number.
constexpr DWORD TableTag(const char (&tag)[5]) {
  return DWORD{uint8_t(tag[0])} | DWORD{uint8_t(tag[1])} << 8 | DWORD{uint8_t(tag[2])} << 16 |
         DWORD{uint8_t(tag[3])} << 24;
}

bool SameTable(HDC dc, DWORD tag, const std::optional<std::string>& bytes) {
  const DWORD size = GetFontData(dc, tag, 0, nullptr, 0);
  if (!bytes) return size == GDI_ERROR;
  if (size == GDI_ERROR || size != bytes->size()) return false;
  std::string drawn(size, '\0');
  return GetFontData(dc, tag, 0, drawn.data(), size) == size && drawn == *bytes;
}

}  // namespace

std::optional<FaceIdentity> FaceIdentityOf(ByteView file, uint32_t face) {
  const std::optional<uint32_t> start = FaceStart(file, face);
  if (!start) return std::nullopt;
  std::optional<std::string> name = CopyTable(file, *start, "name");
  if (!name) return std::nullopt;
  return FaceIdentity{std::move(*name), CopyTable(file, *start, "cmap"),
                      CopyTable(file, *start, "maxp")};
}

bool SelectedFaceIs(HDC dc, const std::optional<FaceIdentity>& identity, const char* asked) {
  if (!identity) {
    if (GetFontData(dc, 0, 0, nullptr, 0) != GDI_ERROR) return false;
    char face[LF_FACESIZE] = {};
    if (GetTextFaceA(dc, sizeof face, face) <= 0) return true;  // nothing says otherwise
    return std::strncmp(face, asked, std::strlen(face)) == 0;
  }
  return SameTable(dc, TableTag("name"), identity->name) &&
         SameTable(dc, TableTag("cmap"), identity->cmap) &&
         SameTable(dc, TableTag("maxp"), identity->maxp);
}
