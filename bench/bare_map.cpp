// bare-map FILE: maps the file the way ReadFontFile does and exits without
// reading it; the floor for the reader's timings.
#include <cstdio>

#include "platform/platform.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: bare-map FILE\n", stderr);
    return 2;
  }
  MappedFile file;
  return MapFileReadOnly(argv[1], file) ? 0 : 1;
}
