# HarfBuzz, which shapes text for the Features page and orvane-info --shape. One
# target, orvane_harfbuzz, carries it.
#
# The Windows builds and the native build with a static runtime compile it from
# Debian's source package, which scripts/install-deps fetches into third-party/
# (outside git), as its one unit src/harfbuzz.cc: Debian builds it for no Windows
# target, and its library comes shared only. The sanitizer build links Debian's
# shared library and compiles none of it.
#
# Of HarfBuzz only what shaping needs is compiled: no drawing, colour, bitmap,
# math, name or style tables, no files or memory maps, no messages,
# serialisation or checks of the buffer (the run is printed by our own code). It
# keeps OpenType layout, the legacy kern table, the fallback shaper, variations,
# CFF (glyph names and extents of OpenType fonts with PostScript outlines),
# glyph names and fractions; Apple's own layout tables (morx, kerx, trak), which
# fonts for Windows do not carry, are left out. Optimised for size: about 30%
# smaller and no slower to compile than at -O2, and a line shapes in
# microseconds either way. No FreeType, glib, ICU, Uniscribe,
# DirectWrite or GDI: their code compiles only where configured.
add_library(orvane_harfbuzz INTERFACE)

if(WIN32 OR ORVANE_STATIC_RUNTIME)
  set(harfbuzz_dir "${ORVANE_THIRD_PARTY_DIR}/harfbuzz")
  if(NOT EXISTS "${harfbuzz_dir}/src/harfbuzz.cc")
    message(FATAL_ERROR "The sources of HarfBuzz are missing from "
                        "${ORVANE_THIRD_PARTY_DIR}: run scripts/install-deps")
  endif()
  add_library(orvane_harfbuzz_library STATIC "${harfbuzz_dir}/src/harfbuzz.cc")
  target_include_directories(orvane_harfbuzz_library SYSTEM PUBLIC "${harfbuzz_dir}/src")
  target_compile_definitions(orvane_harfbuzz_library PUBLIC
    HB_DISABLE_DEPRECATED HB_NO_BUFFER_MESSAGE HB_NO_BUFFER_SERIALIZE HB_NO_BUFFER_VERIFY
    HB_NO_BITMAP HB_NO_COLOR HB_NO_DRAW HB_NO_ERRNO HB_NO_FACE_COLLECT_UNICODES HB_NO_GETENV
    HB_NO_HINTING HB_NO_LAYOUT_FEATURE_PARAMS HB_NO_LAYOUT_COLLECT_GLYPHS HB_NO_LAYOUT_UNUSED
    HB_NO_AAT HB_NO_MATH HB_NO_META HB_NO_MMAP HB_NO_NAME HB_NO_OPEN HB_NO_SETLOCALE HB_NO_STYLE
    HB_NO_VERTICAL)
  # Its code is theirs: compiled as it comes, without our warnings, and without
  # debug information, exceptions or RTTI, which it does not use.
  target_compile_options(orvane_harfbuzz_library PRIVATE -w -Os -g0 -fno-exceptions -fno-rtti)
  set_target_properties(orvane_harfbuzz_library PROPERTIES UNITY_BUILD OFF)
  target_link_libraries(orvane_harfbuzz INTERFACE orvane_harfbuzz_library)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(ORVANE_HARFBUZZ REQUIRED IMPORTED_TARGET harfbuzz)
  target_link_libraries(orvane_harfbuzz INTERFACE PkgConfig::ORVANE_HARFBUZZ)
endif()
