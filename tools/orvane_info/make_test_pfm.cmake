# Writes OUT (a .pfm) from the Type 1 font PFB with FontForge; the .pfb copy that
# FontForge writes beside it is kept as the PFM's outline partner.
get_filename_component(dir "${OUT}" DIRECTORY)
get_filename_component(stem "${OUT}" NAME_WE)
file(MAKE_DIRECTORY "${dir}")
if(EXISTS "${OUT}")
  return()
endif()
find_program(FONTFORGE fontforge REQUIRED)
execute_process(
  COMMAND ${FONTFORGE} -lang=ff -c "Open($1); Generate($2, \"\", 0x2)" "${PFB}" "${dir}/${stem}.pfb"
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 0 OR NOT EXISTS "${OUT}")
  message(FATAL_ERROR "fontforge could not write ${OUT} from ${PFB}")
endif()
