# windows.h, commctrl.h and the standard headers were about half of each Windows
# source's compile time: they are parsed once per preset into a precompiled header
# that the viewer, the DLL and the benchmark host share. The portable libraries go
# without: their compile time is the optimiser's, and loading the header cost them
# what it saved.
if(WIN32)
  add_library(orvane_windows_headers STATIC ${CMAKE_SOURCE_DIR}/cmake/precompiled_headers.cpp)
  target_precompile_headers(orvane_windows_headers PRIVATE
    <algorithm> <cstdint> <cstdio> <cstring> <memory> <optional> <string> <vector>
    <windows.h> <commctrl.h>)
endif()

# TARGET... share the header. One that cannot be used (built with other options) is
# a warning, which fails the run.
function(orvane_precompiled_headers)
  foreach(target ${ARGN})
    target_precompile_headers(${target} REUSE_FROM orvane_windows_headers)
    target_compile_options(${target} PRIVATE -Winvalid-pch)
  endforeach()
endfunction()
