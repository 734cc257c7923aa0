// Copy and select-all for the host's commands: the selection of the Info and
// Sample views, or on the Glyphs page the character of the cell a search marked,
// else of the last zoom box.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "viewer/viewer_state.h"

// Copies what the current page offers; false when nothing was copied (no
// selection, no marked cell and no zoom box opened yet, the Options page, a busy
// clipboard).
bool CopyFromPage(const ViewerState& state);

// Selects the whole text of the Info or Sample view; false on the other pages.
bool SelectAllOnPage(const ViewerState& state);

// The character a cell of the grid shows, as text: a code below 0x100 is a byte
// of the glyph font's character set and is converted as the grid's drawing
// converts it. std::nullopt for no cell (-1) and for a lone surrogate.
std::optional<std::wstring> CellCharacter(const ViewerState& state, int cell);

// Puts text on the clipboard as CF_UNICODETEXT, and as CF_TEXT when the ANSI
// code page can hold all of it (otherwise the system derives CF_TEXT itself).
bool PutTextOnClipboard(HWND owner, const std::wstring& text);
