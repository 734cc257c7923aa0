# Writes the installable archive Orvane-<version>.zip: pluginst.inf, both DLLs, the
# language files, readme.txt and the licence, all at the top of the archive.
# Text members get CRLF line ends. Usage:
#   cmake -DVERSION=0.8.0 -DWLX=.../Orvane.wlx -DWLX64=.../Orvane.wlx64 -DOUT_DIR=DIR
#         -P dist/package.cmake
# The content plug-in has an archive of its own, Orvane-content-<version>.zip (the
# host installs one plug-in per archive):
#   cmake -DKIND=content -DVERSION=0.8.0 -DWLX=.../Orvane.wdx -DWLX64=.../Orvane.wdx64
#         -DOUT_DIR=DIR -P dist/package.cmake
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

# What differs between the two archives: name, DLL names and the two templates.
if(KIND STREQUAL "content")
  set(name "Orvane-content-${VERSION}")
  set(dll32 Orvane.wdx)
  set(dll64 Orvane.wdx64)
  set(templates pluginst-content.inf.in readme-content.txt.in)
else()
  set(name "Orvane-${VERSION}")
  set(dll32 Orvane.wlx)
  set(dll64 Orvane.wlx64)
  set(templates pluginst.inf.in readme.txt.in)
endif()
list(GET templates 0 inf_template)
list(GET templates 1 readme_template)
set(stage "${OUT_DIR}/${name}")
set(archive "${OUT_DIR}/${name}.zip")
file(REMOVE_RECURSE "${stage}")
file(REMOVE "${archive}")
file(MAKE_DIRECTORY "${stage}")

set(ORVANE_VERSION "${VERSION}")
configure_file("${source_dir}/dist/${inf_template}" "${stage}/pluginst.inf" @ONLY NEWLINE_STYLE CRLF)
configure_file("${source_dir}/dist/${readme_template}" "${stage}/readme.txt" @ONLY NEWLINE_STYLE CRLF)
configure_file("${source_dir}/LICENSE" "${stage}/LICENSE.txt" COPYONLY)
file(READ "${stage}/LICENSE.txt" licence)
string(REPLACE "\n" "\r\n" licence "${licence}")
file(WRITE "${stage}/LICENSE.txt" "${licence}")
file(COPY_FILE "${WLX}" "${stage}/${dll32}")
file(COPY_FILE "${WLX64}" "${stage}/${dll64}")
# The language files are already CP1252 with CRLF line ends: copied byte for byte.
foreach(language German French)
  file(COPY_FILE "${source_dir}/languages/Orvane.${language}.lng" "${stage}/Orvane.${language}.lng")
endforeach()

set(members pluginst.inf ${dll32} ${dll64} Orvane.German.lng Orvane.French.lng
            readme.txt LICENSE.txt)
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${archive}" --format=zip -- ${members}
                WORKING_DIRECTORY "${stage}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "package.cmake: could not write ${archive}")
endif()
message(STATUS "Wrote ${archive}")
