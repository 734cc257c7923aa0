// The plug-in's exports as orvane-host calls them, and the ids of the viewer's
// controls that the host and its benchmarks reach into.
#pragma once

#include <windows.h>

#include <cstdint>

using ListLoadFn = HWND(__stdcall*)(HWND, char*, int);
using ListLoadNextFn = int(__stdcall*)(HWND, HWND, char*, int);
using ListCloseWindowFn = void(__stdcall*)(HWND);
using ListGetDetectStringFn = void(__stdcall*)(char*, int);
struct DefaultParams {
  int32_t size;
  uint32_t version_low;
  uint32_t version_high;
  char settings_path[MAX_PATH];
};
using ListSetDefaultParamsFn = void(__stdcall*)(DefaultParams*);
using ListGetPreviewBitmapWFn = HBITMAP(__stdcall*)(WCHAR*, int, int, char*, int);
using ListSearchTextFn = int(__stdcall*)(HWND, char*, int);
constexpr int kSearchFindFirst = 1;

struct Plugin {
  HMODULE module = nullptr;
  ListLoadFn load = nullptr;
  ListCloseWindowFn close = nullptr;
  ListLoadNextFn load_next = nullptr;
  ListGetPreviewBitmapWFn preview = nullptr;
  ListSearchTextFn search = nullptr;
};

// Control ids of the viewer's Glyphs page.
constexpr int kGlyphListId = 200, kCharsetComboId = 204, kBlockComboId = 205;
constexpr int kSizeSliderId = 207, kFaceComboId = 208, kInstanceComboId = 209;
