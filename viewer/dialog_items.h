// Numbers and switches in the child controls of a window or dialog.
#pragma once

#include <windows.h>

// A number from child `id` of `window`; an empty, non-numeric or out-of-range
// entry is replaced in the control by `fallback`, which is returned.
int ReadDialogInt(HWND window, int id, int fallback, int minimum, int maximum);
bool IsDialogItemChecked(HWND dialog, int id);
void SetDialogItemChecked(HWND dialog, int id, int flag);
