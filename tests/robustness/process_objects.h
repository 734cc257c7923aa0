// How many GDI objects and windows this process holds, for leak checks. On
// Windows GetGuiResources answers; Wine's returns 0, so there the GDI count is
// taken from Wine's own handle table and the USER count from the windows.
#pragma once

#include <windows.h>

// -1 when neither way is available.
long CountGdiObjects();
long CountUserObjects();

// Counts the plug-in's private font registrations by replacing its imports of
// AddFontResourceExA/W and RemoveFontResourceExA/W. False when the module
// imports neither pair.
bool WatchFontRegistrations(HMODULE plugin);

// Registrations that succeeded and were not asked to be removed since, by name;
// and how many succeeded in all.
long LiveFontRegistrations();
long FontRegistrationsMade();
