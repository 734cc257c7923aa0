#include "fontfile/font_info.h"

#include <cctype>
#include <cstring>

#include "fontfile/byte_reader.h"
#include "fontfile/fon_reader.h"
#include "fontfile/pfm_reader.h"
#include "fontfile/sfnt_reader.h"
#include "fontfile/table_directory.h"
#include "platform/platform.h"

namespace {

// The readers in their fixed order: the PFM reader checks only one word, so it
// comes last; a collection is first offered to the sfnt and FON readers, which
// turn it down.
int ReadFontView(ByteView view, FontInfo& info) {
  if (ReadSfnt(view, 0, info)) return 1;
  if (ReadFon(view, info)) return 1;
  if (ReadCollection(view, info)) return 1;
  return ReadPfm(view, info);
}

bool EqualsIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
      return false;
  return *a == *b;
}

// The viewer registers pairs of at most this many characters per half.
constexpr size_t kMaxPairHalf = 259;

}  // namespace

void ClearFontInfo(FontInfo& info) { info = FontInfo{}; }

int ReadFontBytes(const uint8_t* data, uint32_t size, FontInfo& info) {
  ClearFontInfo(info);
  if (!data) size = 0;
  return ReadFontView(ByteView{data, size}, info);
}

int ReadFontFile(const char* path, FontInfo& info) {
  ClearFontInfo(info);
  MappedFile file;
  if (!MapFileReadOnly(path, file)) return 0;
  return ReadFontView(ByteView{file.data, file.size}, info);
}

int ReadFontFileUtf8(const char* utf8_path, FontInfo& info) {
  ClearFontInfo(info);
  MappedFile file;
  if (!MapFileReadOnlyUtf8(utf8_path, file)) return 0;
  return ReadFontView(ByteView{file.data, file.size}, info);
}

namespace {

bool IsMappedFileSound(bool mapped, const MappedFile& file) {
  if (!mapped) return true;
  const ByteView view{file.data, file.size};
  FontInfo info;
  return ReadFontView(view, info) && SfntTablesInsideFile(view);
}

}  // namespace

bool IsFontFileSound(const char* path) {
  MappedFile file;
  const bool mapped = MapFileReadOnly(path, file);
  return IsMappedFileSound(mapped, file);
}

bool IsFontFileSoundUtf8(const char* utf8_path) {
  MappedFile file;
  const bool mapped = MapFileReadOnlyUtf8(utf8_path, file);
  return IsMappedFileSound(mapped, file);
}

void MakeFontResourcePath(char* path, size_t capacity) {
  const char* extension = FindPathExtension(path);
  if (!EqualsIgnoringCase(extension, ".pfm")) return;
  size_t length = std::strlen(path);
  // "path|stem.pfb" with its terminator; the .pfb half is as long as the path.
  if (length > kMaxPairHalf || capacity < 2 * length + 2) return;
  size_t stem = static_cast<size_t>(extension - path);
  path[length] = '|';
  std::memcpy(path + length + 1, path, stem);
  std::memcpy(path + length + 1 + stem, ".pfb", 5);
}
