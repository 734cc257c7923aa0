# The same suites run natively and as Windows programs. Natively they link the
# GoogleTest Debian builds (libgtest-dev): compiling it again cost the sanitizer
# build a quarter of a minute of CPU in every run. For Windows it is built here
# from the machine's sources (googletest).
if(NOT WIN32)
  find_package(GTest CONFIG REQUIRED)
  return()
endif()
set(ORVANE_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${ORVANE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# Built once per preset and never debugged here: a light optimisation (unoptimised,
# it compiled faster but made every test program's link slower by more), no debug
# information.
foreach(target gtest gtest_main)
  target_compile_options(${target} PRIVATE -O1 -g0)
endforeach()
