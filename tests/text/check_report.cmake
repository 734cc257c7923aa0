# Runs `orvane-info --report` on a real font and checks that the whole report is
# there; then on a missing file, which must fail with the load-error text.
execute_process(COMMAND ${EMULATOR} ${TOOL} --report ${FONT}
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "orvane-info --report failed (${status}): ${errors}")
endif()
string(REPLACE "\r\n" "\n" report "${report}")
message(STATUS "Report:\n${report}")

set(expected
  "^## Names\n\n\tName\t: DejaVu Sans\n\tFamily\t: DejaVu Sans\n\tStyle\t: Book\n"
  "\n\tType\t: [^\n]+\n\tFile Name\t: Z:\\\\usr\\\\share\\\\fonts\\\\truetype\\\\dejavu\\\\DejaVuSans.ttf\n\n## Version\n\nVersion "
  "\n\n## Copyright\n\n"
  "\n\n## Supported Unicode Blocks\n\n\t0x0000 - 0x00FF   ANSI\n\t0x0000 - 0x007E   Latin\n"
  "\t0x0400 - 0x04FF   Cyrillic\n"
  "\n\n## Supported Code Pages\n\n\t1250 ANSI Latin 2 \\(Central Europe\\)\n\t1251 ANSI Cyrillic\n\t1252 ANSI Latin 1\n"
  "\n\n## Font Metrics \\(in pixels\\)\n\n\tWidth\t: Normal\n\tWeight\t: Regular\n\tHeight\t: [1-9][0-9]*\n\tItalic\t: No\n"
  "\tUnderline\t: No\n\tStrike-Out\t: No\n\tAscent\t: [1-9][0-9]*\n\tDescent\t: [1-9][0-9]*\n"
  "\tVertical Aspect\t: [1-9][0-9]*\n"
  # The byte cells count in the set the system gave the font, as the viewer's block list does.
  "\n\n## Characters in the Font\n\n\tCharacters\t: 5918\n\tCharacter Set\t: ANSI\n\tANSI  218 / 256\n\tLatin  95 / 127\n"
  "\tGreek and Coptic  [0-9]+ / 144\n"
  "\tSpecials  5 / 16\n(\t[^\n]+  [0-9]+ / [0-9]+\n)+\tPlane 1\t: 548\n"
  # What the font is made of follows, from its own tables.
  "\tPlane 1\t: 548\n\n## OpenType Scripts and Languages\n\n\tDefault \\(DFLT\\)\t: Default\n"
  "\tLatin \\(latn\\)\t: Default, Catalan \\(CAT\\), [^\n]+, Romanian \\(ROM\\), [^\n]+\n"
  "\n\n## OpenType Features\n\n(\t[^\n]+\n)*\tliga\t: Standard Ligatures \\(GSUB\\)\n"
  "\tkern\t: Kerning \\(GPOS\\)\n"
  "\n\n## Further Facts\n\n\tEmbedding\t: Installable\n"
  "\tKerning\t: 'kern' table \\(subtables: 1\\), 'kern' feature \\(GPOS\\)\n"
  "\tHinting\t: fpgm [1-9][0-9]* bytes, prep [1-9][0-9]* bytes, cvt [1-9][0-9]* bytes\n"
  "\tGrid Fitting\t: up to 8 ppem: smoothing; up to 65535 ppem: grid-fitting, smoothing\n$"
  "\n\tMathematical Alphanumeric Symbols  [0-9]+ / 1024\n"
)
foreach(piece IN LISTS expected)
  if(NOT report MATCHES "${piece}")
    message(FATAL_ERROR "The report lacks the part matching:\n${piece}")
  endif()
endforeach()
# The pieces above appear in this order.
string(FIND "${report}" "## Supported Unicode Blocks" blocks)
string(FIND "${report}" "## Supported Code Pages" pages)
string(FIND "${report}" "## Font Metrics" metrics)
string(FIND "${report}" "## Characters in the Font" characters)
string(FIND "${report}" "## OpenType Scripts" scripts)
if(NOT (blocks LESS pages AND pages LESS metrics AND metrics LESS characters AND
        characters LESS scripts))
  message(FATAL_ERROR "The report's sections are out of order")
endif()

execute_process(COMMAND ${EMULATOR} ${TOOL} --report Z:\\nonexistent\\missing.ttf
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE errors)
if(status EQUAL 0 OR NOT errors MATCHES "Unable to load \"Z:\\\\nonexistent\\\\missing.ttf\".\r?\nError [0-9-]+: ")
  message(FATAL_ERROR "A missing font must fail with the load-error text (${status}): ${errors}")
endif()

# A face of a collection: its own names, and which face it is.
execute_process(COMMAND ${EMULATOR} ${TOOL} --report ${COLLECTION} 3
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE errors)
string(REPLACE "\r\n" "\n" report "${report}")
if(NOT status EQUAL 0 OR NOT report MATCHES
   "^## Names\n\n\tName\t: Noto Sans CJK TC\n.*\n\tFace\t: 4 of 10\n\n## Version")
  message(FATAL_ERROR "The report of face 3 (${status}): ${errors}\n${report}")
endif()
execute_process(COMMAND ${EMULATOR} ${TOOL} --report ${COLLECTION} 10
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE errors)
if(NOT status EQUAL 1 OR NOT errors MATCHES "has no face 10 \\(faces 0 to 9\\)")
  message(FATAL_ERROR "A face past the last must fail (${status}): ${errors}")
endif()

# A variable font: its axes and named instances from fvar, STAT and the name table.
execute_process(COMMAND ${EMULATOR} ${TOOL} --report ${VARIABLE}
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE errors)
string(REPLACE "\r\n" "\n" report "${report}")
if(NOT status EQUAL 0 OR NOT report MATCHES
   "\n## Variation Axes\n\n\tWeight \\(wght\\)\t: minimum 100, default 400, maximum 900\n\tSlant \\(slnt\\)\t: minimum -10, default 0, maximum 0\n\tStyle Attributes\t: wght, slnt; [0-9]+ axis values\n[^#]*\n## Named Instances\n\n\tThin\t: wght 100, slnt 0\n(\t[^\n]+\n)+\tBlack Italic\t: wght 900, slnt -10\n\n## OpenType Scripts and Languages\n.*\tss01\t: Stylistic Set 1 \"Open digits\" \\(GSUB\\)\n")
  message(FATAL_ERROR "The report of a variable font (${status}): ${errors}\n${report}")
endif()

# A colour font: its bitmap strikes.
execute_process(COMMAND ${EMULATOR} ${TOOL} --report ${COLOR}
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE errors)
string(REPLACE "\r\n" "\n" report "${report}")
if(NOT status EQUAL 0 OR NOT report MATCHES
   "\n## Colour Glyphs\n\n\tCBDT/CBLC\t: sizes in pixels per em: 109\n\n## Further Facts\n")
  message(FATAL_ERROR "The report of a colour font (${status}): ${errors}\n${report}")
endif()

# A web font: the system is handed its decoded bytes; the report names the
# container after the file and reads what the font is made of from the decoded
# font. A cut one fails with its reason.
execute_process(COMMAND ${EMULATOR} ${TOOL} --report Z:\\usr\\share\\fonts\\woff2\\dejavu\\DejaVuSans.woff2
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE errors)
string(REPLACE "\r\n" "\n" report "${report}")
if(NOT status EQUAL 0 OR NOT report MATCHES
   "\tFile Name\t: Z:[^\n]+DejaVuSans.woff2\n\n## Web Font\n\n\tContainer\t: WOFF 2.0\n\tCompressed Size\t: 258928 bytes\n\tDecoded Size\t: 759644 bytes\n\tFont Version\t: 1.0\n\tPrivate Data\t: 0 bytes\n\n## Version\n.*\n\tCharacters\t: 5918\n.*\tkern\t: Kerning \\(GPOS\\)\n")
  message(FATAL_ERROR "The report of a WOFF2 font (${status}): ${errors}\n${report}")
endif()
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(COMMAND head -c 600 /usr/share/fonts/woff2/dejavu/DejaVuSans.woff2
                OUTPUT_FILE ${SCRATCH}/cut.woff2)
execute_process(COMMAND ${EMULATOR} ${TOOL} --report Z:${SCRATCH}/cut.woff2
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE errors)
if(status EQUAL 0 OR NOT errors MATCHES "\r?\nError 13: The file ends inside its header, its table directory or its compressed data.")
  message(FATAL_ERROR "A cut WOFF2 must fail with its reason (${status}): ${errors}")
endif()
