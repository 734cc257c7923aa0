// A pre-flight check of the sfnt table directory, made before a font is handed to
// the system's font engine: some engines read a table wherever its directory
// record points and fault (or hang the process's font calls) on a record that
// points outside the file.
#pragma once

#include <cstdint>

#include "fontfile/byte_reader.h"

// Whether every table record of every font in an sfnt file or "ttcf" collection
// lies inside the file (and the directories themselves do). Files that are not
// sfnt containers pass: other formats are not checked here.
bool SfntTablesInsideFile(ByteView view);
