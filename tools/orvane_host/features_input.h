// The Features page driven as a user drives it, from outside the plug-in: the
// text typed into its field, a feature's switch pressed with the space bar.
// Shared by orvane-host (for screenshots) and the viewer tests.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "viewer/features_controls.h"

inline HWND FeaturesControl(HWND viewer, int id) {
  HWND page = GetDlgItem(viewer, kFeaturesViewId);
  return page ? GetDlgItem(page, id) : nullptr;
}

// Replaces the text of the page's field; the page reshapes it at once.
inline bool TypeFeaturesText(HWND viewer, const std::wstring& text) {
  HWND edit = FeaturesControl(viewer, kFeaturesTextId);
  return edit && SetWindowTextW(edit, text.c_str());
}

// Presses the space bar on the row of `tag` `presses` times: 1 switches a
// feature in its default state on, 2 off, 3 back to its default.
inline bool PressFeature(HWND viewer, const std::string& tag, int presses) {
  HWND list = FeaturesControl(viewer, kFeaturesListId);
  if (!list) return false;
  const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) {
    char text[8] = {};
    LVITEMA item = {};
    item.iSubItem = kFeatureTagColumn;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    if (tag != text) continue;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = item.stateMask;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    for (int i = 0; i < presses; ++i) SendMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
    return true;
  }
  return false;
}
