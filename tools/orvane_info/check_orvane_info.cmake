# Runs orvane-info on real fonts and checks its JSON lines and exit codes.
# TOOL, EMULATOR (empty natively), HOST_ROOT ("Z:" under Wine), PFM, TTC, SCRATCH.
cmake_minimum_required(VERSION 3.25)

# The lines of `text` as numbered variables line_0 ... and line_count; JSON's
# brackets and semicolons would confuse CMake lists.
function(split_lines text)
  set(n 0)
  while(NOT text STREQUAL "")
    string(FIND "${text}" "\n" at)
    if(at EQUAL -1)
      set(line "${text}")
      set(text "")
    else()
      string(SUBSTRING "${text}" 0 ${at} line)
      math(EXPR next "${at} + 1")
      string(SUBSTRING "${text}" ${next} -1 text)
    endif()
    if(NOT line STREQUAL "")
      set(line_${n} "${line}" PARENT_SCOPE)
      math(EXPR n "${n} + 1")
    endif()
  endwhile()
  set(line_count ${n} PARENT_SCOPE)
endfunction()
function(host_path unix_path out)
  if(HOST_ROOT)
    string(REPLACE "/" "\\" unix_path "${unix_path}")
    set(unix_path "${HOST_ROOT}${unix_path}")
  endif()
  set(${out} "${unix_path}" PARENT_SCOPE)
endfunction()

function(run_tool out_text out_code)
  execute_process(COMMAND ${EMULATOR} ${TOOL} ${ARGN}
                  OUTPUT_VARIABLE text ERROR_VARIABLE errors RESULT_VARIABLE code)
  set(${out_text} "${text}" PARENT_SCOPE)
  set(${out_code} "${code}" PARENT_SCOPE)
endfunction()

function(expect_match what text regex)
  if(NOT text MATCHES "${regex}")
    message(SEND_ERROR "${what}: no match for\n  ${regex}\nin\n  ${text}")
  endif()
endfunction()

function(expect_code what code expected)
  if(NOT code EQUAL expected)
    message(SEND_ERROR "${what}: exit code ${code}, expected ${expected}")
  endif()
endfunction()

file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
file(WRITE "${SCRATCH}/not-a-font.ttf" "MZ this is plain text, not a font at all, just long enough ...........................................................................")

host_path(/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf dejavu)
host_path(/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc noto)
host_path(/usr/share/wine/fonts/sserife.fon fon)
host_path("${PFM}" pfm)
host_path("${TTC}" ttc)
host_path("${SCRATCH}/missing.ttf" missing)
host_path("${SCRATCH}/not-a-font.ttf" text_file)

run_tool(out code --json ${dejavu} ${noto} ${fon} ${pfm})
expect_code("exit 0 when every file is recognised" "${code}" 0)
split_lines("${out}")
# One line for each single font, one for each of the collection's five faces.
expect_code("eight JSON lines" "${line_count}" 8)
if(line_count EQUAL 8)
  set(line "${line_0}")
  expect_match("DejaVu Sans" "${line}"
  "^{\"path\":\".*DejaVuSans.ttf\",\"face\":0,\"faces\":1,\"recognized\":true,\"type_name\":\"TrueType 1.66\",\"width_name\":\"Normal\",\"weight\":400,\"italic\":0,\"underline\":0,\"strike_out\":0,\"container\":null,\"compressed_size\":null,\"decoded_size\":null,\"characters\":5918,\"bmp_characters\":5370,\"names\":\\[\"Copyright \\(c\\) 2003 by Bitstream, Inc. All Rights Reserved.\\\\u000aCopyright")
  expect_match("DejaVu names" "${line}"
  "\",\"DejaVu Sans\",\"Book\",\"DejaVu Sans\",\"DejaVu Sans\",\"Version 2.37\",\"DejaVuSans\",null,")
  set(line "${line_1}")
  expect_match("Noto CJK" "${line}"
  "\"face\":0,\"faces\":5,\"recognized\":true,\"type_name\":\"OpenType 1.4\",.*\"weight\":700,.*\"characters\":44746,\"bmp_characters\":42215,.*\"Noto Serif CJK JP\",\"Bold\",.*\"Noto Serif CJK JP Bold\"")
  # Latin-1 letters come out as UTF-8 (sharp s: C3 9F).
  string(REGEX MATCH "Frank Grie([^h]+)hammer" ignored "${line}")
  string(HEX "${CMAKE_MATCH_1}" sharp_s)
  expect_match("UTF-8" "${sharp_s}" "^c39f$")
  set(line "${line_5}")
  expect_match("Noto CJK, last face" "${line}"
  "NotoSerifCJK-Bold.ttc\",\"face\":4,\"faces\":5,\"recognized\":true,.*\"Noto Serif CJK HK Bold\"")
  set(line "${line_6}")
  expect_match("FON" "${line}"
  "\"face\":0,\"faces\":1,\"recognized\":true,\"type_name\":\"Raster\",\"width_name\":null,\"weight\":400,.*\"characters\":224,\"bmp_characters\":224,\"names\":\\[\"Copyright \\(C\\) 2004 Huw D M Davies, Dmitry Timoshkov\",\"MS Sans Serif\",\"Regular\",null,\"MS Sans Serif\",null,null,null,null,null,\"MS Sans Serif 8,10,12 \\(VGA res\\)\",null,")
  set(line "${line_7}")
  expect_match("PFM" "${line}"
  "\"type_name\":\"PostScript Type 1 \\(Vector\\)\",.*\"names\":\\[\"Copyright 2003--2009 by B. Jackowski and J.M. Nowacki \\(on be\",\"LMRoman10\",\"Regular\",null,\"LMRoman10\"")
endif()

# A collection whose second face is broken: that face alone is not recognised,
# the third is still read, and the listing names each face.
run_tool(out code --json ${ttc})
expect_code("exit 1 when a face is not recognised" "${code}" 1)
split_lines("${out}")
expect_code("a line per face" "${line_count}" 3)
expect_match("first face" "${line_0}" "\"face\":0,\"faces\":3,\"recognized\":true,.*,\"Face A\",")
expect_match("broken face" "${line_1}" "\"face\":1,\"faces\":3,\"recognized\":false,")
expect_match("face after it" "${line_2}" "\"face\":2,\"faces\":3,\"recognized\":true,.*,\"Face C\",")
run_tool(out code ${ttc})
expect_match("listing of faces" "${out}"
  "faces.ttc\n  face                  1\n  faces                 3\n  recognized            no\n")

# Files that cannot be read are reported one by one, and the run goes on.
run_tool(out code --json ${missing} ${text_file} ${fon})
expect_code("exit 1 when a file is not recognised" "${code}" 1)
expect_match("missing file reported" "${out}"
  "missing.ttf\",\"face\":0,\"faces\":1,\"recognized\":false,\"error\":\"no such file\"")
expect_match("plain text not recognised" "${out}"
  "not-a-font.ttf\",\"face\":0,\"faces\":1,\"recognized\":false,\"type_name\":null")
expect_match("later files still read" "${out}"
  "sserife.fon\",\"face\":0,\"faces\":1,\"recognized\":true")

# The listing lines its values up.
run_tool(out code ${fon})
expect_match("listing" "${out}"
  "sserife.fon\n  recognized            yes\n  type                  Raster\n")
expect_match("listing names" "${out}"
  "\n  1 family              MS Sans Serif\n")

# The summary: the long licence of DejaVu Sans on one line.
run_tool(out code --summary ${dejavu})
expect_match("summary" "${out}" "\n  13 licence            Fonts are \\(c\\) Bitstream [^\n]*…\n  14 licence url")

# Glyphs by index: the JSON counts them and those no character reaches (null
# for a font without glyph indices); --glyphs lists each with its name, its
# characters and the features that produce it.
run_tool(out code --json ${dejavu} ${fon})
expect_match("glyph counts" "${out}" "\"glyphs\":6253,\"unreached_glyphs\":335,")
expect_match("no glyph counts for a FON" "${out}" "sserife.fon\".*\"glyphs\":null,\"unreached_glyphs\":null,")
run_tool(out code --glyphs ${dejavu})
expect_code("--glyphs" "${code}" 0)
expect_match("--glyphs heading" "${out}" "^# [^\n]*DejaVuSans.ttf face 0 of 1: 6253 glyphs, 335 no character reaches\n0\t.notdef\t-\t-\n")
expect_match("a ligature" "${out}" "\n5044\tuniFB03\tU\\+FB03\tliga\n")
expect_match("a glyph only a feature reaches" "${out}" "\n5928\tuni0311.case\t-\tccmp\n")
run_tool(out code --glyphs ${fon})
expect_code("--glyphs of a font without glyph indices" "${code}" 1)
run_tool(out code --glyphs ${missing})
expect_code("--glyphs of a missing file" "${code}" 2)

# Web fonts: the container and its sizes, read like the TrueType font inside.
host_path(/usr/share/fonts/woff2/dejavu/DejaVuSans.woff2 woff2)
host_path(/usr/share/fonts/woff/dejavu/DejaVuSans.woff woff)
run_tool(out code --json ${woff2} ${woff})
expect_code("exit 0 for web fonts" "${code}" 0)
expect_match("WOFF2" "${out}"
  "DejaVuSans.woff2\",\"face\":0,\"faces\":1,\"recognized\":true,\"type_name\":\"TrueType 1.66\",.*\"container\":\"WOFF 2.0\",\"compressed_size\":258928,\"decoded_size\":759644,\"characters\":5918,.*\"DejaVu Sans\",\"Book\"")
expect_match("WOFF" "${out}"
  "DejaVuSans.woff\",.*\"container\":\"WOFF 1.0\",\"compressed_size\":[0-9]+,\"decoded_size\":[0-9]+,\"characters\":5918,")
# A refused one names its reason; --decode writes the font it holds.
host_path("${SCRATCH}/cut.woff2" cut)
execute_process(COMMAND head -c 1000 /usr/share/fonts/woff2/dejavu/DejaVuSans.woff2
                OUTPUT_FILE "${SCRATCH}/cut.woff2")
run_tool(out code --json ${cut})
expect_code("exit 1 for a refused web font" "${code}" 1)
expect_match("refused web font" "${out}"
  "cut.woff2\",\"face\":0,\"faces\":1,\"recognized\":false,\"error\":\"The file ends inside its header, its table directory or its compressed data.\",.*\"container\":\"WOFF 2.0\",\"compressed_size\":1000,\"decoded_size\":null")
host_path("${SCRATCH}/decoded.ttf" decoded)
run_tool(out code --decode ${woff2} ${decoded})
expect_code("--decode" "${code}" 0)
file(SIZE "${SCRATCH}/decoded.ttf" decoded_size)
expect_code("--decode writes the whole font" "${decoded_size}" 759644)
run_tool(out code --json ${decoded})
expect_match("the decoded font reads as a TrueType file" "${out}"
  "\"recognized\":true,.*\"container\":null,.*\"characters\":5918,")
run_tool(out code --decode ${cut} ${decoded})
expect_code("--decode of a refused file" "${code}" 1)
run_tool(out code --decode ${dejavu} ${decoded})
expect_code("--decode of a file in no container" "${code}" 1)
# Pairs in one run: a refused file fails the run without keeping the next from being written.
host_path("${SCRATCH}/second.ttf" second)
file(REMOVE "${SCRATCH}/second.ttf")
run_tool(out code --decode ${cut} ${decoded} ${woff2} ${second})
expect_code("--decode of a refused file and a sound one" "${code}" 1)
file(SIZE "${SCRATCH}/second.ttf" second_size)
expect_code("--decode writes the sound file after the refused one" "${second_size}" 759644)
run_tool(out code --decode ${woff2})
expect_code("exit 2 on --decode with a file and no output" "${code}" 2)

run_tool(out code)
expect_code("exit 2 without files" "${code}" 2)
run_tool(out code --bogus ${fon})
expect_code("exit 2 on an unknown option" "${code}" 2)
foreach(option --help -h)
  run_tool(out code ${option})
  expect_code("exit 0 on ${option}" "${code}" 0)
  expect_match("usage on ${option}" "${out}" "^usage: orvane-info \\[--json")
endforeach()
