// The instance selector of a variable font: a drop-down beside the face selector
// on the size row of the Glyphs and Sample pages, the default instance first,
// then each named instance by its name. The system draws only the default of a
// variable font; any other instance is made into a static font (fontfile/
// instancer.h), handed to the system from memory under a family name of its own,
// and the viewer's fonts are made from that family.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "viewer/viewer_state.h"

// The static fonts kept per viewer: switching among this many instances builds
// none of them again.
constexpr size_t kKeptInstances = 4;
// A hostile fvar may list 65,535 instances; the selector lists the first ones.
constexpr size_t kMaxListedInstances = 1024;

// Reads the axes and named instances of the face shown (none for a face that is
// not variable, or has no named instance), and picks the one named
// `instance_name`, else the default, building its static font. Before the
// viewer's fonts are made: they follow the pick.
void OpenNamedInstance(ViewerState& state);

// The instance's name as the selector shows it; the default's is a text of the
// interface language.
std::string InstanceName(const LoadedFont& font, size_t instance);

// "wght = 900, opsz = 32": the user-space coordinates of the instance, axis by axis.
std::string InstanceCoordinates(const LoadedFont& font, size_t instance);

// The static font the viewer's fonts are made from, or nullptr when the file's
// own face is drawn (the default, an instance at the default's coordinates, or a
// refused instance).
const BuiltInstance* DrawnInstance(const LoadedFont& font);

// Why the instance chosen is drawn as the default: a text id, or -1 when it is
// drawn itself.
int InstanceNote(const LoadedFont& font);

// The face shown has named instances to choose among.
bool InstanceSelectorWanted(const LoadedFont& font);

// After a file or a face was loaded: fills, shows or hides the selector to match
// its instances, and places the size row again.
void UpdateInstanceSelector(ViewerState& state);

// Shows another instance in the same window: fonts, grid, zoom, sample and Info
// follow. False, with nothing changed, for an item out of range or the one shown.
bool SwitchInstance(ViewerState& state, size_t instance);

// Frees every static font; the fonts made from them must be gone first.
void ReleaseInstances(LoadedFont& font);

// Writes the remembered instance when the viewer shows a variable font.
void StoreInstance(const ViewerState& state);

// WM_COMMAND of the selector; always 0.
LRESULT OnInstanceSelectorCommand(HWND viewer, WPARAM wparam);
