// The Glyphs page's answer to a search: the block that holds a character, shown
// with the character's cell marked.
#pragma once

#include <string_view>

#include "viewer/viewer_state.h"

// Shows the first listed block, in the list's order, that holds the character
// `text` names (see ParseCharacterQuery), scrolls its row into view and marks
// its cell. False, with nothing changed, when no listed block holds it.
bool ShowCharacter(ViewerState& state, std::u16string_view text);

// Scrolls the grid so that `row` is in view, moving it as little as it must.
void ScrollRowIntoView(HWND list, int row);
