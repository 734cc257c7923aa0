// ListSendCommand: the host's copy, select-all and new-parameters commands.
#include <windows.h>

#include <cstring>

#include "plugin/shared_resources.h"
#include "viewer/clipboard.h"
#include "viewer/viewer_state.h"

namespace {

constexpr int kCopy = 1, kNewParams = 2, kSelectAll = 3;
constexpr int kOk = 0, kError = 1;

// The record of one of this DLL's viewer windows, or nullptr for anything else:
// a null or destroyed handle, another class, another module's or process's window.
ViewerState* ViewerOf(HWND window) {
  if (!window || !IsWindow(window)) return nullptr;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return nullptr;
  char class_name[64] = {};
  if (!GetClassNameA(window, class_name, sizeof class_name)) return nullptr;
  if (std::strcmp(class_name, kViewerClassName) != 0) return nullptr;
  if (reinterpret_cast<HINSTANCE>(GetClassLongPtrA(window, GCLP_HMODULE)) != ModuleInstance)
    return nullptr;
  return GetViewerState(window);
}

}  // namespace

extern "C" int __stdcall ListSendCommand(HWND window, int command, int parameter) {
  try {
    ViewerState* state = ViewerOf(window);
    if (!state) return kError;
    if (command == kNewParams) {
      // The window's own thread applies the flags, whichever thread calls.
      SendMessageA(window, kNewParamsMessage, static_cast<WPARAM>(parameter), 0);
      return kOk;
    }
    // The record belongs to the window's thread; only that thread reads it.
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return kError;
    switch (command) {
      case kCopy:
        return CopyFromPage(*state) ? kOk : kError;
      case kSelectAll:
        return SelectAllOnPage(*state) ? kOk : kError;
    }
    return kError;
  } catch (...) {
    return kError;
  }
}
