#include "content/font_source.h"

#include <filesystem>
#include <string_view>
#include <system_error>

bool OpenFontSource(const char* utf8_path, FontSource& out) {
  out = FontSource{};
  if (!MapFileReadOnlyUtf8(utf8_path, out.file)) return false;
  if (RecognizeWebFont(out.file_bytes()) != WebFontKind::kNone) {
    // A refused web font keeps its facts (kind, problem) and no decoded bytes.
    if (!DecodeWebFont(out.file_bytes(), out.decoded, out.container)) out.decoded.clear();
  }
  return true;
}

std::optional<FileStamp> StampOfFile(const char* utf8_path) {
  // std::filesystem takes UTF-8 as char8_t: on Windows it widens it, elsewhere
  // the bytes are the path.
  const std::string_view bytes(utf8_path);
  const std::filesystem::path path(
      std::u8string(reinterpret_cast<const char8_t*>(bytes.data()), bytes.size()));
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return std::nullopt;
  const std::filesystem::file_time_type written = std::filesystem::last_write_time(path, error);
  if (error) return std::nullopt;
  return FileStamp{size, static_cast<int64_t>(written.time_since_epoch().count())};
}
