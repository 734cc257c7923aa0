#include "content/font_source.h"

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
  FileStamp stamp;
  if (!FileSizeAndTimeUtf8(utf8_path, stamp.size, stamp.written)) return std::nullopt;
  return stamp;
}
