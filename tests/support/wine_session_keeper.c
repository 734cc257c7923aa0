/* Holds a Wine session open through a whole test run. Run as the first program
   of a session (cmake/wine-run), it brings up the session's desktop and leaves a
   copy of itself waiting there, then returns. Without it Wine ends the desktop a
   second after each program and the server some seconds later, and every test
   that follows pays for starting both again (about half the CPU of a short test).
   Started with its standard handles on /dev/null, the desktop it starts holds
   no test's output open. Ending the server (cmake/wine-stop) ends the copy. */
#include <windows.h>

#include <string.h>

static const char kReady[] = "orvane-wine-session-keeper-ready";

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  (void)instance;
  (void)previous;
  (void)show;
  /* Connects this process to the desktop, starting Wine's explorer for it. */
  GetDesktopWindow();
  if (strstr(command_line, "--hold") != NULL) {
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, kReady);
    if (ready != NULL) {
      SetEvent(ready);
      CloseHandle(ready);
    }
    Sleep(INFINITE);
    return 0;
  }
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH - 16) return 1;
  char line[MAX_PATH + 16] = "\"";
  strcat(line, path);
  strcat(line, "\" --hold");
  HANDLE ready = CreateEventA(NULL, TRUE, FALSE, kReady);
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(path, line, NULL, NULL, FALSE, DETACHED_PROCESS, NULL, NULL, &startup,
                      &process))
    return 1;
  /* Returns once the copy uses the desktop, so that the desktop never stands
     without a program between this one and the next. */
  if (ready != NULL) WaitForSingleObject(ready, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
