// The texts that name why a web font was refused.
#pragma once

#include "fontfile/web_font.h"

// The language text id of the reason (kTextWebFontTooLarge, ...); -1 for a lack
// of memory, which the system's own message names, and for kNone.
int WebFontProblemTextId(WebFontProblem problem);
