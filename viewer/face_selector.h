// The face selector of a collection: a drop-down of its faces by number and full
// name on the size row of the Glyphs and Sample pages. A file of one face has none.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "viewer/viewer_state.h"

// Reads the full name of every face of the loaded collection into face_names
// (a face that cannot be read by the text that says so); clears it for a file
// of one face. The names are cut and their count bounded (kMaxListedFaces).
void ReadFaceNames(LoadedFont& font);

// The loaded file has faces to choose among.
bool FaceSelectorWanted(const LoadedFont& font);

// After a file was loaded: creates, fills or removes the selector to match its
// faces, and places the controls again.
void UpdateFaceSelector(ViewerState& state);

// Shows another face of the loaded file in the same window: fonts, grid, zoom,
// sample and Info follow; block, character set, page and sizes stay. False, with
// nothing changed, when that face cannot be read.
bool SwitchFace(ViewerState& state, uint32_t face);

// Lets a selector's list open as wide as its longest item (within the screen):
// called as it opens (CBN_DROPDOWN).
void WidenDroppedList(HWND combo);

// WM_COMMAND of the selector; always 0.
LRESULT OnFaceSelectorCommand(HWND viewer, WPARAM wparam);
