#include "fontfile/font_info.h"

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
// turn it down. Only a collection has faces past the first.
int ReadFontView(ByteView view, FontInfo& info, uint32_t face) {
  if (face != 0) return ReadCollection(view, info, face);
  if (ReadSfnt(view, 0, info)) return 1;
  if (ReadFon(view, info)) return 1;
  if (ReadCollection(view, info)) return 1;
  return ReadPfm(view, info);
}

// The viewer registers pairs of at most this many characters per half.
constexpr size_t kMaxPairHalf = 259;

}  // namespace

void ClearFontInfo(FontInfo& info) { info = FontInfo{}; }

int ReadFontBytes(const uint8_t* data, uint32_t size, FontInfo& info, uint32_t face) {
  ClearFontInfo(info);
  if (!data) size = 0;
  return ReadFontView(ByteView{data, size}, info, face);
}

int ReadFontFile(const char* path, FontInfo& info, uint32_t face) {
  ClearFontInfo(info);
  MappedFile file;
  if (!MapFileReadOnly(path, file)) return 0;
  return ReadFontView(ByteView{file.data, file.size}, info, face);
}

int ReadFontFileUtf8(const char* utf8_path, FontInfo& info, uint32_t face) {
  ClearFontInfo(info);
  MappedFile file;
  if (!MapFileReadOnlyUtf8(utf8_path, file)) return 0;
  return ReadFontView(ByteView{file.data, file.size}, info, face);
}

namespace {

FontFileCheck CheckMappedFile(bool mapped, const MappedFile& file, FontInfo& info,
                              uint32_t face, FaceFallback fallback) {
  if (!mapped) return FontFileCheck{.recognized = 0, .mapped = false, .sound = true};
  const ByteView view{file.data, file.size};
  int recognized = ReadFontView(view, info, face);
  if (!recognized && fallback == FaceFallback::kFirstReadable) {
    // A single font has face 0 alone; a collection, its first face that reads.
    const std::optional<uint32_t> readable =
        CollectionFaceCount(view) ? FirstReadableFace(view) : std::optional<uint32_t>(0);
    if (readable && *readable != face) {
      ClearFontInfo(info);
      recognized = ReadFontView(view, info, *readable);
    }
  }
  return FontFileCheck{.recognized = recognized,
                       .mapped = true,
                       .sound = recognized != 0 && SfntTablesInsideFile(view)};
}

}  // namespace

FontFileCheck ReadAndCheckFontFile(const char* path, FontInfo& info, uint32_t face,
                                   FaceFallback fallback) {
  ClearFontInfo(info);
  MappedFile file;
  const bool mapped = MapFileReadOnly(path, file);
  return CheckMappedFile(mapped, file, info, face, fallback);
}

FontFileCheck ReadAndCheckFontFileUtf8(const char* utf8_path, FontInfo& info, uint32_t face,
                                       FaceFallback fallback) {
  ClearFontInfo(info);
  MappedFile file;
  const bool mapped = MapFileReadOnlyUtf8(utf8_path, file);
  return CheckMappedFile(mapped, file, info, face, fallback);
}

bool IsFontFileSound(const char* path) {
  FontInfo info;
  return ReadAndCheckFontFile(path, info, 0, FaceFallback::kFirstReadable).sound;
}

bool IsFontFileSoundUtf8(const char* utf8_path) {
  FontInfo info;
  return ReadAndCheckFontFileUtf8(utf8_path, info, 0, FaceFallback::kFirstReadable).sound;
}

template <typename Char>
std::basic_string<Char> FontResourceName(const std::basic_string<Char>& path) {
  const Char* extension = FindPathExtension(path.c_str());
  const size_t stem = static_cast<size_t>(extension - path.c_str());
  if (path.size() > kMaxPairHalf || path.size() - stem != 4) return path;
  const char* pfm = ".pfm";
  for (size_t i = 0; i < 4; ++i) {
    Char c = extension[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<Char>(c - 'A' + 'a');
    if (c != static_cast<Char>(pfm[i])) return path;
  }
  std::basic_string<Char> name = path;
  name += static_cast<Char>('|');
  name.append(path, 0, stem);
  for (const char* pfb = ".pfb"; *pfb; ++pfb) name += static_cast<Char>(*pfb);
  return name;
}

template std::string FontResourceName(const std::string& path);
#ifdef _WIN32
template std::wstring FontResourceName(const std::wstring& path);
#endif

void MakeFontResourcePath(char* path, size_t capacity) {
  const size_t length = std::strlen(path);
  const std::string name = FontResourceName(std::string(path, length));
  if (name.size() == length || name.size() >= capacity) return;
  std::memcpy(path, name.c_str(), name.size() + 1);
}
