// The one place the content plug-in opens a font file: an opened font (the file
// mapped once, a web font decoded once, each face's directory walked once) for
// every field read from it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fontfile/byte_reader.h"
#include "fontfile/opened_font.h"
#include "fontfile/web_font.h"
#include "platform/platform.h"

struct FontSource {
  OpenedFont opened;
  const WebFontFacts& container() const { return opened.container; }
  // What the readers read: a web font's decoded bytes, else the file's own.
  ByteView font_bytes() const { return opened.bytes; }
};

// Maps the file at a UTF-8 path and decodes a web font. False when the file
// cannot be opened, sized or mapped; a web font that is refused opens, with its
// decoded bytes empty and container.problem saying why.
bool OpenFontSource(const char* utf8_path, FontSource& out);

// The size and last-write time of a file, which tell whether values read from it
// before still hold; nothing when the file cannot be looked at.
struct FileStamp {
  uint64_t size = 0;
  int64_t written = 0;  // the system's own clock ticks
  bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> StampOfFile(const char* utf8_path);
