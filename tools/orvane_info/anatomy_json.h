// orvane-info's JSON of what a face is made of: its axes, named instances,
// layout scripts and features, and colour formats.
#pragma once

#include <string>

#include "fontfile/font_anatomy.h"

// `,"axes":[...],"instances":[...],"scripts":[...],"features":[...],"color":{...}`
// and the tables found damaged, to be appended to a face's JSON object.
std::string AnatomyJson(const FontAnatomy& anatomy);

// The colour formats a face carries, in a fixed order: "COLRv0" or "COLRv1",
// "CPAL", "CBDT", "sbix", "SVG".
std::string ColorFormatsJson(const ColorFacts& color);
