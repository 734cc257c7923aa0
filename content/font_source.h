// The one place the content plug-in opens a font file: the file mapped once, and
// a web font decoded once, for every field read from it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fontfile/byte_reader.h"
#include "fontfile/web_font.h"
#include "platform/platform.h"

struct FontSource {
  MappedFile file;
  std::vector<uint8_t> decoded;  // a web font's sfnt bytes; empty for every other file
  WebFontFacts container;        // kind kNone for a file in no container

  ByteView file_bytes() const { return ByteView{file.data, file.size}; }
  // What the readers read: a web font's decoded bytes, else the file's own.
  ByteView font_bytes() const {
    if (container.kind == WebFontKind::kNone) return file_bytes();
    return ByteView{decoded.data(), static_cast<uint32_t>(decoded.size())};
  }
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
