// The path of the font a viewer shows, as the host hands it over: 8-bit, or
// UTF-16 when the ANSI code page cannot name the file.
#pragma once

#include <string>

struct FontPath {
  // The path in the ANSI code page: the file's name when `wide` is empty, else its
  // readable form for the 8-bit controls ('?' for what the code page lacks).
  std::string ansi;
  // Set only when the ANSI form does not name the file.
  std::wstring wide;
};

// An ANSI path that round-trips to the same UTF-16 text is used as it stands,
// so such a file behaves exactly as when the host passed the 8-bit path.
FontPath FontPathFromWide(const wchar_t* path);

// UTF-16 to UTF-8; empty when the text holds an unpaired surrogate, which no
// UTF-8 path could name.
std::string WideToUtf8(const std::wstring& text);
