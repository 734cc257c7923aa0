/* A library named like the system's rich-edit library that registers no class:
   placed beside the test program, it must never be the one the plug-in loads. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return TRUE;
}
