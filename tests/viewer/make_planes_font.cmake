# Writes OUT, the test font with characters beyond U+FFFF, with FontForge.
if(EXISTS "${OUT}")
  return()
endif()
get_filename_component(dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
find_program(FONTFORGE fontforge REQUIRED)
execute_process(COMMAND ${FONTFORGE} -lang=py -script "${SCRIPT}" "${OUT}"
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 0 OR NOT EXISTS "${OUT}")
  message(FATAL_ERROR "fontforge could not write ${OUT}")
endif()
