// The thin operating-system layer. Portable code (fontfile/, text/) reaches the
// system only through these calls; platform_win32 and platform_posix implement them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// ---- Read-only whole-file mapping ------------------------------------------

// A mapped file; move-only, unmaps and closes what it holds when it goes away.
struct MappedFile {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  // Platform handles (Win32: file, mapping; POSIX: descriptor in file_handle).
  intptr_t file_handle = -1;
  intptr_t mapping_handle = 0;

  MappedFile() = default;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;
  ~MappedFile();
};

// Opens an existing file read-only and maps all of it. False when the file cannot
// be opened, sized or mapped (an empty file cannot be mapped); the system's error
// code is then left as the failing step set it.
bool MapFileReadOnly(const char* path, MappedFile& out);
// The same for a UTF-8 path, which can name any file: on Windows it is widened
// and opened with the wide-character calls; elsewhere paths are UTF-8 already.
bool MapFileReadOnlyUtf8(const char* utf8_path, MappedFile& out);
void UnmapFile(MappedFile& file);

// A file's size and last-write time (in the system's own ticks) at a UTF-8 path,
// in one call: what tells whether something read from it before still holds.
// False when the file cannot be looked at (or is a folder).
bool FileSizeAndTimeUtf8(const char* utf8_path, uint64_t& size, int64_t& written);

// How often this module mapped a file (each successful MapFileReadOnly call) and
// began a walk of a font's table directory (fontfile counts those): the tests
// hold a load, a face switch and an instance switch to their counts. Relaxed
// counters, cheap enough to keep in every build.
struct ReadCounts {
  std::atomic<uint64_t> mappings{0};
  std::atomic<uint64_t> directory_walks{0};
};
ReadCounts& ModuleReadCounts();

// ---- Text conversion -------------------------------------------------------

// Converts `count` UTF-16 code units (host order) to the system's 8-bit ANSI code
// page, writing at most `capacity` bytes. Returns the number of bytes produced,
// or 0 when the conversion fails (for example when the output would not fit).
// A character without an 8-bit form becomes the default character ('?').
size_t ConvertUtf16ToAnsi(const uint16_t* units, size_t count, char* out, size_t capacity);

// Converts 8-bit text in the system's ANSI code page to UTF-8 (tools only);
// invalid sequences become U+FFFD.
std::string AnsiToUtf8(const std::string& text);

// The character of each byte in a font character set (ANSI_CHARSET 0,
// SYMBOL_CHARSET 2, ...): `out[byte]` is its code point, 0 where the set has
// none (a lead byte of a double-byte set). The symbol set gives U+F000 + byte.
// Off Windows only the ANSI and symbol sets are known; other sets give ASCII.
void CharsetCharacters(uint8_t charset, uint32_t (&out)[256]);

// ---- Paths ------------------------------------------------------------------

// The position of the extension's dot in `path` (the last dot followed by no
// backslash and no blank), or the position of the terminator when there is none.
const char* FindPathExtension(const char* path);
#ifdef _WIN32
// The same for a wide path (Win32 code only).
const wchar_t* FindPathExtension(const wchar_t* path);
#endif

// Full path of the plug-in module: the path given to SetModulePath when one was
// set (tests point it into a scratch folder, on every system); otherwise on
// Windows the file name of the module that holds this code (the DLL, not the
// host's program), elsewhere empty. SetModulePath("") drops the override.
std::string ModulePath();
void SetModulePath(const std::string& path);

// Calls `visit` with the file name (without folder) of each file matching the
// pattern (a folder, then a name with '*' wildcards). Returns false when the
// search found nothing or could not run.
bool FindFiles(const char* pattern, const std::function<void(const char* name)>& visit);

// ---- Profile (INI) files -----------------------------------------------------

// <windows.h> maps WriteProfileString to its WIN.INI writer; the name here is
// this layer's own, so include this header after <windows.h>.
#ifdef WriteProfileString
#undef WriteProfileString
#endif

// Reads key of section from the INI file at `file` (nullptr: the system's default
// profile; off Windows that reads nothing) into `out`, at most capacity - 1
// characters; the default when the file, section or key is missing. Returns the
// number of characters copied. Both systems follow GetPrivateProfileStringA:
// names match without regard to case, blanks around names and values are
// trimmed, a pair of matching quotes around a value is dropped, the first of
// duplicate sections and keys wins, and the default loses its trailing spaces.
size_t ReadProfileString(const char* section, const char* key, const char* default_value,
                         char* out, size_t capacity, const char* file);

// An INI text holding `section` of the INI file at `file` (nullptr: the system's
// default profile) as ReadProfileString sees it: IniReadString on this text gives
// what ReadProfileString gives for each of its keys. One read of the file for
// many keys, where each ReadProfileString opens and checks the file again.
std::string ReadProfileSection(const char* section, const char* file);

// Sets key of section to value in the INI file, creating file, section and key
// as needed. Returns false when the write failed (always without a file off
// Windows).
bool WriteProfileString(const char* section, const char* key, const char* value,
                        const char* file);
