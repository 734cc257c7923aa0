# GoogleTest comes from the machine's sources and is built for every target,
# so the same suites run natively and as Windows programs.
set(ORVANE_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${ORVANE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# Built once per preset and never debugged here: a light optimisation (unoptimised,
# it compiled faster but made every test program's link slower by more), no debug
# information, and no sanitizer or coverage instrumentation (the sanitizers are
# there for our code; instrumented, GoogleTest took twice as long to compile).
foreach(target gtest gtest_main)
  target_compile_options(${target} PRIVATE -O1 -g0)
  if(ORVANE_SANITIZE OR ORVANE_FUZZ)
    target_compile_options(${target} PRIVATE -fno-sanitize=all)
  endif()
endforeach()
