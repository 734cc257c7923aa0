#include "fontfile/font_info.h"

#include <cstring>
#include <optional>
#include <utility>

#include "fontfile/byte_reader.h"
#include "fontfile/opened_font.h"
#include "platform/platform.h"

namespace {

// The viewer registers pairs of at most this many characters per half.
constexpr size_t kMaxPairHalf = 259;

FontFileCheck CheckOpened(std::shared_ptr<OpenedFont> font, bool opened, FontInfo& info,
                          uint32_t face, FaceFallback fallback) {
  FontFileCheck check;
  check.mapped = opened;
  if (opened) check.recognized = ReadOpenedFont(*font, face, fallback, info);
  check.sound = OpenedFontSound(*font, check.recognized);
  if (opened) check.font = std::move(font);
  return check;
}

}  // namespace

ByteView FontFileCheck::decoded() const {
  if (!font || font->decoded.empty()) return {};
  return font->bytes;
}

void ClearFontInfo(FontInfo& info) { info = FontInfo{}; }

int ReadFontBytes(const uint8_t* data, uint32_t size, FontInfo& info, uint32_t face,
                  const ReadOptions& options) {
  OpenedFont font;
  OpenFontView(ByteView{data, size}, font);
  return ReadOpenedFace(font, face, info, options);
}

int ReadFontFile(const char* path, FontInfo& info, uint32_t face) {
  ClearFontInfo(info);
  OpenedFont font;
  if (!OpenFontFile(path, font)) return 0;
  return ReadOpenedFace(font, face, info);
}

int ReadFontFileUtf8(const char* utf8_path, FontInfo& info, uint32_t face) {
  ClearFontInfo(info);
  OpenedFont font;
  if (!OpenFontFileUtf8(utf8_path, font)) return 0;
  return ReadOpenedFace(font, face, info);
}

FontFileCheck CheckFontBytes(ByteView bytes, FontInfo& info, uint32_t face,
                             FaceFallback fallback) {
  ClearFontInfo(info);
  auto font = std::make_shared<OpenedFont>();
  OpenFontBytes(std::vector<uint8_t>(bytes.data, bytes.data + (bytes.data ? bytes.size : 0)),
                *font);
  return CheckOpened(std::move(font), true, info, face, fallback);
}

FontFileCheck ReadAndCheckFontFile(const char* path, FontInfo& info, uint32_t face,
                                   FaceFallback fallback) {
  ClearFontInfo(info);
  auto font = std::make_shared<OpenedFont>();
  const bool opened = OpenFontFile(path, *font);
  return CheckOpened(std::move(font), opened, info, face, fallback);
}

FontFileCheck ReadAndCheckFontFileUtf8(const char* utf8_path, FontInfo& info, uint32_t face,
                                       FaceFallback fallback) {
  ClearFontInfo(info);
  auto font = std::make_shared<OpenedFont>();
  const bool opened = OpenFontFileUtf8(utf8_path, *font);
  return CheckOpened(std::move(font), opened, info, face, fallback);
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
