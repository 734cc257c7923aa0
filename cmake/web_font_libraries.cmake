# The decoders of web fonts: zlib for WOFF 1.0, the reference WOFF2 decoder and
# its brotli decoder for WOFF 2.0. One target, orvane_web_font_libraries, carries
# them all.
#
# The Windows builds and the native build with a static runtime compile brotli and
# woff2 from Debian's source packages, which scripts/install-deps fetches into
# third-party/ (outside git): Debian builds them for no Windows target; and the
# native programs carry them as they carry the C++ runtime, since loading the
# shared decoders and the shared C++ runtime they need cost orvane-info more than
# reading a font. zlib is taken as its static archive there (for Windows, Debian's
# libz-mingw-w64-dev): the DLLs import only system DLLs. Any other build, the
# sanitizer build with the fuzz targets among them, takes Debian's shared libraries
# (zlib1g-dev, libbrotli-dev, libwoff-dev): compiled with the sanitizers, the
# decoders cost that build a sixth of its time, for faults in code not ours.
set(ORVANE_THIRD_PARTY_DIR "${CMAKE_SOURCE_DIR}/third-party" CACHE PATH
    "Where scripts/install-deps unpacks the sources of brotli and woff2")

add_library(orvane_web_font_libraries INTERFACE)

if(WIN32 OR ORVANE_STATIC_RUNTIME)
  set(brotli_dir "${ORVANE_THIRD_PARTY_DIR}/brotli")
  set(woff2_dir "${ORVANE_THIRD_PARTY_DIR}/woff2")
  if(NOT EXISTS "${brotli_dir}/c/dec/decode.c" OR NOT EXISTS "${woff2_dir}/src/woff2_dec.cc")
    message(FATAL_ERROR "The sources of brotli and woff2 are missing from "
                        "${ORVANE_THIRD_PARTY_DIR}: run scripts/install-deps")
  endif()
  # Their code is theirs: compiled as it comes, without our warnings.
  file(GLOB brotli_sources "${brotli_dir}/c/common/*.c" "${brotli_dir}/c/dec/*.c")
  add_library(orvane_brotli_decoder STATIC ${brotli_sources})
  target_include_directories(orvane_brotli_decoder SYSTEM PUBLIC "${brotli_dir}/c/include")
  target_compile_options(orvane_brotli_decoder PRIVATE -w)

  add_library(orvane_woff2_decoder STATIC
    "${woff2_dir}/src/woff2_dec.cc"
    "${woff2_dir}/src/woff2_common.cc"
    "${woff2_dir}/src/table_tags.cc"
    "${woff2_dir}/src/variable_length.cc"
    "${woff2_dir}/src/woff2_out.cc")
  target_include_directories(orvane_woff2_decoder SYSTEM PUBLIC "${woff2_dir}/include")
  target_compile_options(orvane_woff2_decoder PRIVATE -w)
  target_link_libraries(orvane_woff2_decoder PUBLIC orvane_brotli_decoder)
  target_link_libraries(orvane_web_font_libraries INTERFACE orvane_woff2_decoder)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(ORVANE_WOFF2 REQUIRED IMPORTED_TARGET libwoff2dec libbrotlidec)
  target_link_libraries(orvane_web_font_libraries INTERFACE PkgConfig::ORVANE_WOFF2)
endif()

if(WIN32 OR ORVANE_STATIC_RUNTIME)
  # The static archive, never the import library of zlib1.dll (or libz.so).
  find_library(ORVANE_ZLIB_ARCHIVE NAMES libz.a REQUIRED)
  find_path(ORVANE_ZLIB_INCLUDE zlib.h REQUIRED)
  target_include_directories(orvane_web_font_libraries SYSTEM INTERFACE "${ORVANE_ZLIB_INCLUDE}")
  target_link_libraries(orvane_web_font_libraries INTERFACE "${ORVANE_ZLIB_ARCHIVE}")
else()
  find_package(ZLIB REQUIRED)
  target_link_libraries(orvane_web_font_libraries INTERFACE ZLIB::ZLIB)
endif()
