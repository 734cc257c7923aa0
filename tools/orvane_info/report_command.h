// `orvane-info --report FILE`: the Info page's text for a font, as plain text.
#pragma once

#include <cstdint>

// Prints the report for face `face` of the font at path; returns the process exit code.
int RunReportCommand(const char* path, uint32_t face);
