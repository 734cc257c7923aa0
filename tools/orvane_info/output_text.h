// Text shaping for orvane-info's output: JSON strings and the aligned listing.
#pragma once

#include <string>

// A JSON string literal of UTF-8 text, quotes included; control characters as \u00XX.
std::string JsonString(const std::string& utf8);

// A path as given on the command line, in UTF-8: Windows paths are in the ANSI
// code page; POSIX paths are taken as UTF-8, with U+FFFD for bytes that are not.
std::string PathToUtf8(const std::string& path);

// "  label<padding>value\n", the values of one listing lining up.
std::string ListingRow(const std::string& label, const std::string& value);

// The first line of a UTF-8 text in at most `columns` characters (at least 1):
// "…" stands in for whatever is cut, the rest of the line or further lines.
std::string OneLine(const std::string& utf8, size_t columns);
