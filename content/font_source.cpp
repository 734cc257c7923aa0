#include "content/font_source.h"

bool OpenFontSource(const char* utf8_path, FontSource& out) {
  // A refused web font keeps its facts (kind, problem) and no decoded bytes.
  return OpenFontFileUtf8(utf8_path, out.opened);
}

std::optional<FileStamp> StampOfFile(const char* utf8_path) {
  FileStamp stamp;
  if (!FileSizeAndTimeUtf8(utf8_path, stamp.size, stamp.written)) return std::nullopt;
  return stamp;
}
