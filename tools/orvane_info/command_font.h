// The font file a command of orvane-info reads, opened as the viewer opens it
// (mapped; a web font decoded), and the words for why it could not be.
#pragma once

#include <string>

#include "fontfile/opened_font.h"

// Why a file that could not be opened could not, as far as the file system tells.
std::string OpenProblem(const char* path);
// Why a web font was refused; empty when it was not.
std::string WebFontProblemText(WebFontProblem problem);

// 0 when the file is opened and what it holds can be read; else the command's
// exit status, the reason said on stderr: 2 when it cannot be opened, 1 for a web
// font that is refused.
int OpenCommandFont(const char* path, OpenedFont& font);
