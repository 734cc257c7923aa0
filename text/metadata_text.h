// A web font's extended metadata (an XML block: vendor, credits, description,
// licence, ...) as lines of readable text for the Info report.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One element: its name, its attributes as "name=value", then its text
// ("text [lang=en]: A font for ..."), with the elements it lies in below the
// outermost one ("description"). Known or not, every element is shown the same
// way, as text; the markup the format allows inside a text (span, div) adds its
// words to the text's line.
struct MetadataLine {
  int depth = 0;
  std::string text;  // UTF-8, as the metadata is
  std::string path;  // "credits", "extension / item"; empty at the top two levels
};

// Nothing in the XML is fetched or executed: the declaration, a DOCTYPE,
// processing instructions and comments are skipped; of the entities only XML's
// five and character references are replaced, any other is shown as written.
// Malformed XML gives what could be read up to the fault. Bounded: at most
// kMaxMetadataLines lines of at most kMaxMetadataLineLength bytes, nested at most
// kMaxMetadataDepth deep (deeper elements are shown at that depth).
constexpr size_t kMaxMetadataLines = 1000;
constexpr size_t kMaxMetadataLineLength = 4096;
constexpr int kMaxMetadataDepth = 16;
std::vector<MetadataLine> MetadataLines(std::string_view xml);

// UTF-8 to the system's ANSI code page; a byte that begins no valid sequence
// stands for U+FFFD, which the code page shows as its default character.
std::string Utf8ToAnsi(std::string_view text);
