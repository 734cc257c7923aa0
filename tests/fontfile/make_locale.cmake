# Compiles the Japanese UTF-8 locale into OUT with localedef, once.
if(EXISTS "${OUT}/LC_CTYPE")
  return()
endif()
get_filename_component(dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
find_program(LOCALEDEF localedef REQUIRED)
# localedef exits non-zero on mere warnings; the written files tell.
execute_process(COMMAND ${LOCALEDEF} -i ja_JP -f UTF-8 "${OUT}" OUTPUT_QUIET ERROR_QUIET)
if(NOT EXISTS "${OUT}/LC_CTYPE")
  message(FATAL_ERROR "localedef could not write ${OUT} (is the locales package installed?)")
endif()
