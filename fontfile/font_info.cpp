#include "fontfile/font_info.h"

#include <cstring>
#include <optional>
#include <utility>

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
int ReadFontView(ByteView view, FontInfo& info, uint32_t face, const ReadOptions& options) {
  if (face != 0) return ReadCollection(view, info, face, options);
  if (ReadSfnt(view, 0, info, options)) return 1;
  if (ReadFon(view, info)) return 1;
  if (ReadCollection(view, info, 0, options)) return 1;
  return ReadPfm(view, info);
}

// A web font's decoded bytes, read like a file of their own: a WOFF holds an sfnt,
// a WOFF2 an sfnt or a collection. `decoded` keeps them for the caller.
// The cache, if any, belongs to the file's own bytes: the decoded ones are read without it.
int ReadWebFont(ByteView file, FontInfo& info, uint32_t face, std::vector<uint8_t>& decoded,
                ReadOptions options) {
  if (!DecodeWebFont(file, decoded, info.container)) return 0;
  options.cache = nullptr;
  const ByteView sfnt{decoded.data(), static_cast<uint32_t>(decoded.size())};
  if (face != 0) return ReadCollection(sfnt, info, face, options);
  if (ReadSfnt(sfnt, 0, info, options)) return 1;
  return ReadCollection(sfnt, info, 0, options);
}

// The file's bytes through the readers; a web font through its decoder first.
int ReadFileView(ByteView file, FontInfo& info, uint32_t face, std::vector<uint8_t>& decoded,
                 const ReadOptions& options = {}) {
  if (RecognizeWebFont(file) != WebFontKind::kNone)
    return ReadWebFont(file, info, face, decoded, options);
  return ReadFontView(file, info, face, options);
}

// The viewer registers pairs of at most this many characters per half.
constexpr size_t kMaxPairHalf = 259;

}  // namespace

void ClearFontInfo(FontInfo& info) { info = FontInfo{}; }

int ReadFontBytes(const uint8_t* data, uint32_t size, FontInfo& info, uint32_t face,
                  const ReadOptions& options) {
  ClearFontInfo(info);
  if (!data) size = 0;
  std::vector<uint8_t> decoded;
  return ReadFileView(ByteView{data, size}, info, face, decoded, options);
}

int ReadFontFile(const char* path, FontInfo& info, uint32_t face) {
  ClearFontInfo(info);
  MappedFile file;
  if (!MapFileReadOnly(path, file)) return 0;
  std::vector<uint8_t> decoded;
  return ReadFileView(ByteView{file.data, file.size}, info, face, decoded);
}

int ReadFontFileUtf8(const char* utf8_path, FontInfo& info, uint32_t face) {
  ClearFontInfo(info);
  MappedFile file;
  if (!MapFileReadOnlyUtf8(utf8_path, file)) return 0;
  std::vector<uint8_t> decoded;
  return ReadFileView(ByteView{file.data, file.size}, info, face, decoded);
}

namespace {

// A decoded web font is checked like a file: the system is handed its bytes.
FontFileCheck CheckView(ByteView view, FontInfo& info, uint32_t face, FaceFallback fallback) {
  FontFileCheck check;
  check.mapped = true;
  check.recognized = ReadFileView(view, info, face, check.decoded);
  if (!check.recognized && fallback == FaceFallback::kFirstReadable) {
    // A single font has face 0 alone; a collection, its first face that reads.
    const ByteView fonts = check.decoded.empty()
                               ? view
                               : ByteView{check.decoded.data(),
                                          static_cast<uint32_t>(check.decoded.size())};
    const std::optional<uint32_t> readable =
        CollectionFaceCount(fonts) ? FirstReadableFace(fonts) : std::optional<uint32_t>(0);
    if (readable && *readable != face) {
      ClearFontInfo(info);
      check.decoded.clear();
      check.recognized = ReadFileView(view, info, *readable, check.decoded);
    }
  }
  const ByteView font = check.decoded.empty()
                            ? view
                            : ByteView{check.decoded.data(),
                                       static_cast<uint32_t>(check.decoded.size())};
  check.sound = check.recognized != 0 && SfntTablesInsideFile(font);
  return check;
}

FontFileCheck CheckMappedFile(bool mapped, const MappedFile& file, FontInfo& info,
                              uint32_t face, FaceFallback fallback) {
  if (!mapped) {
    FontFileCheck check;
    check.sound = true;  // the system is asked and reports why it cannot use the file
    return check;
  }
  return CheckView(ByteView{file.data, file.size}, info, face, fallback);
}

}  // namespace

FontFileCheck CheckFontBytes(ByteView bytes, FontInfo& info, uint32_t face,
                             FaceFallback fallback) {
  ClearFontInfo(info);
  return CheckView(bytes, info, face, fallback);
}

FontFileCheck ReadAndCheckFontFile(const char* path, FontInfo& info, uint32_t face,
                                   FaceFallback fallback) {
  ClearFontInfo(info);
  MappedFile file;
  const bool mapped = MapFileReadOnly(path, file);
  FontFileCheck check = CheckMappedFile(mapped, file, info, face, fallback);
  check.file = std::move(file);
  return check;
}

FontFileCheck ReadAndCheckFontFileUtf8(const char* utf8_path, FontInfo& info, uint32_t face,
                                       FaceFallback fallback) {
  ClearFontInfo(info);
  MappedFile file;
  const bool mapped = MapFileReadOnlyUtf8(utf8_path, file);
  FontFileCheck check = CheckMappedFile(mapped, file, info, face, fallback);
  check.file = std::move(file);
  return check;
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
