// The Info report's sections on what the font is made of: its variation axes and
// named instances, OpenType scripts, languages and features, colour glyphs and
// further facts. Each section is left out when the font has nothing for it.
#pragma once

#include "fontfile/font_anatomy.h"
#include "text/info_report.h"

void WriteAnatomy(ReportSink& view, const FontAnatomy& anatomy);
