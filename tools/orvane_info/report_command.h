// `orvane-info --report FILE`: the Info page's text for a font, as plain text.
#pragma once

// Prints the report for the font at path; returns the process exit code.
int RunReportCommand(const char* path);
