# Writes the installable archive Orvane-<version>.zip: pluginst.inf, both DLLs, the
# language files, readme.txt and the licence, all at the top of the archive.
# Text members get CRLF line ends. Usage:
#   cmake -DVERSION=0.8.0 -DWLX=.../Orvane.wlx -DWLX64=.../Orvane.wlx64 -DOUT_DIR=DIR
#         -P dist/package.cmake
cmake_minimum_required(VERSION 3.25)
get_filename_component(source_dir "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

foreach(var VERSION WLX WLX64 OUT_DIR)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "package.cmake: ${var} is not set")
  endif()
endforeach()
# Relative paths are taken from the working folder.
foreach(var WLX WLX64 OUT_DIR)
  get_filename_component(${var} "${${var}}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
endforeach()
foreach(dll "${WLX}" "${WLX64}")
  if(NOT EXISTS "${dll}")
    message(FATAL_ERROR "package.cmake: ${dll} does not exist")
  endif()
endforeach()

set(name "Orvane-${VERSION}")
set(stage "${OUT_DIR}/${name}")
set(archive "${OUT_DIR}/${name}.zip")
file(REMOVE_RECURSE "${stage}")
file(REMOVE "${archive}")
file(MAKE_DIRECTORY "${stage}")

set(ORVANE_VERSION "${VERSION}")
configure_file("${source_dir}/dist/pluginst.inf.in" "${stage}/pluginst.inf" @ONLY NEWLINE_STYLE CRLF)
configure_file("${source_dir}/dist/readme.txt.in" "${stage}/readme.txt" @ONLY NEWLINE_STYLE CRLF)
configure_file("${source_dir}/LICENSE" "${stage}/LICENSE.txt" COPYONLY)
file(READ "${stage}/LICENSE.txt" licence)
string(REPLACE "\n" "\r\n" licence "${licence}")
file(WRITE "${stage}/LICENSE.txt" "${licence}")
file(COPY_FILE "${WLX}" "${stage}/Orvane.wlx")
file(COPY_FILE "${WLX64}" "${stage}/Orvane.wlx64")
# The language files are already CP1252 with CRLF line ends: copied byte for byte.
foreach(language German French)
  file(COPY_FILE "${source_dir}/languages/Orvane.${language}.lng" "${stage}/Orvane.${language}.lng")
endforeach()

set(members pluginst.inf Orvane.wlx Orvane.wlx64 Orvane.German.lng Orvane.French.lng
            readme.txt LICENSE.txt)
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${archive}" --format=zip -- ${members}
                WORKING_DIRECTORY "${stage}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "package.cmake: could not write ${archive}")
endif()
message(STATUS "Wrote ${archive}")
