// ListGetPreviewBitmap(W): the thumbnail of a font file (viewer/thumbnail.h). The
// host may call these from a background thread.
#include <windows.h>

#include <string>

#include "viewer/thumbnail.h"

extern "C" HBITMAP __stdcall ListGetPreviewBitmap(char* file, int width, int height, char*,
                                                  int) {
  try {
    if (!file) return nullptr;
    return ThumbnailOf(std::string(file), width, height);
  } catch (...) {
    return nullptr;
  }
}

extern "C" HBITMAP __stdcall ListGetPreviewBitmapW(WCHAR* file, int width, int height, char*,
                                                   int) {
  try {
    if (!file) return nullptr;
    return ThumbnailOf(std::wstring(file), width, height);
  } catch (...) {
    return nullptr;
  }
}
