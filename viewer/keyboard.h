// Keys of the viewer window and its eight main controls.
#pragma once

#include <windows.h>

// 0 when the key was handled and must go no further, 1 when it is to be passed on.
LRESULT HandleNavigationKey(HWND window, WPARAM key, LPARAM key_data);

// The window procedure put in front of the controls with ids 200-207.
LRESULT CALLBACK ControlSubclassProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam);
