#include "viewer/drawn_face.h"

#include <cstring>

#include "fontfile/opened_font.h"

namespace {

// A table's bytes; nothing when the face has no such table or its bytes leave
// the file.
std::optional<ByteView> TableIn(const OpenedFont& font, uint32_t face, const char (&tag)[5]) {
  const FaceTable table = FontTable(font, face, tag);
  if (!table.present()) return std::nullopt;
  return table.bytes;
}

std::optional<std::string> Copy(const std::optional<ByteView>& table) {
  if (!table) return std::nullopt;
  std::string bytes;
  if (!ReadBytes(*table, 0, table->size, bytes)) return std::nullopt;
  return bytes;
}

std::optional<ByteView> View(const std::optional<std::string>& copy) {
  if (!copy) return std::nullopt;
  return ByteView{reinterpret_cast<const uint8_t*>(copy->data()),
                  static_cast<uint32_t>(copy->size())};
}

// GetFontData names a table by its four letters read as a little-endian number.
constexpr DWORD TableTag(const char (&tag)[5]) {
  return DWORD{uint8_t(tag[0])} | DWORD{uint8_t(tag[1])} << 8 | DWORD{uint8_t(tag[2])} << 16 |
         DWORD{uint8_t(tag[3])} << 24;
}

bool SameTable(HDC dc, DWORD tag, const std::optional<ByteView>& bytes) {
  const DWORD size = GetFontData(dc, tag, 0, nullptr, 0);
  if (!bytes) return size == GDI_ERROR;
  if (size == GDI_ERROR || size != bytes->size) return false;
  std::string drawn(size, '\0');
  return GetFontData(dc, tag, 0, drawn.data(), size) == size &&
         SameBytes(*bytes, 0, drawn.data(), size);
}

}  // namespace

std::optional<FaceTables> FaceTablesOf(const OpenedFont& font, uint32_t face) {
  if (!FaceOf(font, face)) return std::nullopt;
  const std::optional<ByteView> name = TableIn(font, face, "name");
  if (!name) return std::nullopt;
  return FaceTables{*name, TableIn(font, face, "cmap"), TableIn(font, face, "maxp")};
}

std::optional<FaceIdentity> FaceIdentityOf(ByteView file, uint32_t face) {
  OpenedFont font;
  OpenFontView(file, font);
  const std::optional<FaceTables> tables = FaceTablesOf(font, face);
  if (!tables) return std::nullopt;
  std::optional<std::string> name = Copy(tables->name);
  if (!name) return std::nullopt;
  return FaceIdentity{std::move(*name), Copy(tables->cmap), Copy(tables->maxp)};
}

FaceTables TablesOf(const FaceIdentity& identity) {
  return FaceTables{*View(identity.name), View(identity.cmap), View(identity.maxp)};
}

bool SelectedFaceIs(HDC dc, const std::optional<FaceTables>& tables, const char* asked) {
  if (!tables) {
    if (GetFontData(dc, 0, 0, nullptr, 0) != GDI_ERROR) return false;
    char face[LF_FACESIZE] = {};
    if (GetTextFaceA(dc, sizeof face, face) <= 0) return true;  // nothing says otherwise
    return std::strncmp(face, asked, std::strlen(face)) == 0;
  }
  return SameTable(dc, TableTag("name"), tables->name) &&
         SameTable(dc, TableTag("cmap"), tables->cmap) &&
         SameTable(dc, TableTag("maxp"), tables->maxp);
}
