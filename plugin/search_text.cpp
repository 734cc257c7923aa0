// ListSearchText and ListSearchTextW: the host's find dialog and its keys for the
// next and previous match. The host reports "not found" itself on an error.
#include <windows.h>

#include <string>
#include <string_view>

#include "viewer/process_resources.h"
#include "viewer/search.h"
#include "viewer/viewer_state.h"

namespace {

constexpr int kFound = 0, kNotFound = 1;

int Search(HWND window, std::u16string_view text, int flags) {
  ViewerState* state = ViewerOf(window);
  // The record belongs to the window's thread; only that thread reads it.
  if (!state || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
    return kNotFound;
  return SearchPage(*state, text, flags) ? kFound : kNotFound;
}

}  // namespace

extern "C" int __stdcall ListSearchText(HWND window, char* text, int flags) {
  try {
    if (!text || !*text) return kNotFound;
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) return kNotFound;
    std::u16string wide(static_cast<size_t>(length), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<wchar_t*>(wide.data()), length);
    wide.resize(static_cast<size_t>(length) - 1);
    return Search(window, wide, flags);
  } catch (...) {
    return kNotFound;
  }
}

extern "C" int __stdcall ListSearchTextW(HWND window, WCHAR* text, int flags) {
  try {
    if (!text) return kNotFound;
    return Search(window, reinterpret_cast<const char16_t*>(text), flags);
  } catch (...) {
    return kNotFound;
  }
}
