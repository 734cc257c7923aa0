// How many GDI objects and windows this process holds, for leak checks. On
// Windows GetGuiResources answers; Wine's returns 0, so there the GDI count is
// taken from Wine's own handle table and the USER count from the windows.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdint>

// -1 when neither way is available.
long CountGdiObjects();
long CountUserObjects();

// Counts the plug-in's private font registrations by replacing its imports of
// AddFontResourceExA/W and RemoveFontResourceExA/W, and of AddFontMemResourceEx
// and RemoveFontMemResourceEx for the fonts it hands over from memory. False
// when the module imports neither file pair.
bool WatchFontRegistrations(HMODULE plugin);

// Registrations that succeeded and were not asked to be removed since, by name;
// and how many succeeded in all.
long LiveFontRegistrations();
long FontRegistrationsMade();
// The bytes of every font handed over from memory so far. Wine keeps each copy
// even when asked to remove it (its RemoveFontMemResourceEx does nothing), so a
// process's memory under Wine grows by this much for reasons of its own.
uint64_t MemoryFontBytesHandedOver();

// The memory this process has committed. Wine leaves PrivateUsage at 0 but fills
// the commit charge. (Link psapi.)
inline uint64_t CommittedBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof counters);
  return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}
