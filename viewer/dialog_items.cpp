#include "viewer/dialog_items.h"

int ReadDialogInt(HWND window, int id, int fallback, int minimum, int maximum) {
  BOOL ok = FALSE;
  UINT value = GetDlgItemInt(window, id, &ok, FALSE);
  if (ok && value >= static_cast<UINT>(minimum) && value <= static_cast<UINT>(maximum))
    return static_cast<int>(value);
  SetDlgItemInt(window, id, static_cast<UINT>(fallback), FALSE);
  return fallback;
}

bool IsDialogItemChecked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void SetDialogItemChecked(HWND dialog, int id, int flag) {
  CheckDlgButton(dialog, id, flag ? BST_CHECKED : BST_UNCHECKED);
}
