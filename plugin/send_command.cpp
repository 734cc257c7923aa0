// ListSendCommand: the host's copy, select-all and new-parameters commands.
#include <windows.h>

#include "viewer/process_resources.h"
#include "viewer/clipboard.h"
#include "viewer/viewer_state.h"

namespace {

constexpr int kCopy = 1, kNewParams = 2, kSelectAll = 3;
constexpr int kOk = 0, kError = 1;

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
