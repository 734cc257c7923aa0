// The host's search (its find dialog and the keys for the next and previous
// match) on the viewer's current page.
#pragma once

#include <string_view>

#include "viewer/viewer_state.h"

// The host's search flags.
constexpr int kSearchFindFirst = 1, kSearchMatchCase = 2, kSearchWholeWords = 4,
              kSearchBackwards = 8;

// Info and Sample: selects the next match of `text` after the selection (before
// it, backwards; from the top or the end for a first search) and scrolls it into
// view. Glyphs: shows and marks the character `text` names. Options: nothing.
// True when something was found and shown; nothing changes otherwise.
bool SearchPage(ViewerState& state, std::u16string_view text, int flags);
