#include "stall_watch.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr DWORD kSlowMs = 20000;
constexpr DWORD kHangMs = 180000;

CRITICAL_SECTION lock;
std::string step_name;
bool in_step = false;
bool step_reported = false;  // the current step was reported slow
DWORD step_started = 0;
DWORD longest = 0;

// Under Wine, winedbg prints every thread's stack. Only the 64-bit debugger
// attaches to a 32-bit process, hence sysnative first. Elsewhere neither
// program exists and this does nothing.
void PrintAllStacks() {
  for (const char* debugger : {"C:\\windows\\sysnative\\winedbg.exe", "winedbg.exe"}) {
    char command[128];
    std::snprintf(command, sizeof command, "%s --command \"bt all\" %lu", debugger,
                  static_cast<unsigned long>(GetCurrentProcessId()));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
      continue;
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return;
  }
}

DWORD WINAPI Watch(void*) {
  for (;;) {
    Sleep(1000);
    EnterCriticalSection(&lock);
    // Read under the lock, after the start was: the difference is never negative.
    const DWORD elapsed = GetTickCount() - step_started;
    const bool hang = in_step && elapsed > kHangMs;
    const bool slow = in_step && !step_reported && elapsed > kSlowMs;
    if (slow) step_reported = true;
    const std::string name = step_name;
    LeaveCriticalSection(&lock);
    if (hang) {
      std::fprintf(stderr, "hang in %s\n", name.c_str());
      std::fflush(stderr);
      ExitProcess(3);
    }
    if (slow) {
      std::fprintf(stderr, "slow: %s for 20 s; the stacks follow\n", name.c_str());
      std::fflush(stderr);
      PrintAllStacks();
      std::fflush(stdout);
    }
  }
}

}  // namespace

void StartStallWatch() {
  InitializeCriticalSection(&lock);
  CloseHandle(CreateThread(nullptr, 0, Watch, nullptr, 0, nullptr));
}

void BeginStep(const std::string& name) {
  EnterCriticalSection(&lock);
  step_name = name;
  step_started = GetTickCount();
  in_step = true;
  step_reported = false;
  LeaveCriticalSection(&lock);
}

void EndStep() {
  EnterCriticalSection(&lock);
  if (in_step) longest = std::max(longest, GetTickCount() - step_started);
  in_step = false;
  LeaveCriticalSection(&lock);
}

unsigned long LongestStep() {
  EnterCriticalSection(&lock);
  const DWORD result = longest;
  LeaveCriticalSection(&lock);
  return result;
}
