// The content plug-in's calls, in portable form: the fields listed, each value
// written into the host's buffer, the files' fields kept so that a file is read
// once for all its fields, and work in progress stopped. Safe to call from
// several threads at once; the Win32 exports only convert paths and texts.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "content/content_fields.h"
#include "content/font_fields.h"

// A file larger than this has its coverage part (the whole character map) read
// only when the host allows a slow answer: from the list's drawing thread it is
// "delayed".
constexpr uint64_t kSlowFileSize = 4u << 20;
// Files whose fields are kept: the host asks for the fields of one file in a row,
// from two threads, and a listing's files one after another.
constexpr size_t kKeptFiles = 8;
// For this long after a file's size and time were last looked at, the fields kept
// for it are taken as they are: the host asks for a file's fields in a row, and
// looking at the file again for each of them took as long as reading it (under Wine).
constexpr std::chrono::milliseconds kTrustKeptFields{2000};

class ContentService {
 public:
  ContentService();

  // The interface language's file ("" for English); the choices are read at once.
  void SetLanguageFile(const std::string& language_file);

  // ContentGetSupportedField: the name and units (each cut to maxlen - 1 bytes)
  // and the type, or kFtNoMoreFields past the last field.
  int SupportedField(int index, char* name, char* units, int maxlen) const;

  // ContentGetValue (wide false: ANSI text) and ContentGetValueW (wide true:
  // UTF-16 text) for a UTF-8 path; `size` is the buffer's size in bytes.
  int Value(const std::string& utf8_path, int index, int unit, void* out, int size, int flags,
            bool wide);

  // ContentStopGetValue: the work on that file in progress returns soon.
  void Stop(const std::string& utf8_path);
  // ContentPluginUnloading: every work in progress returns soon, and nothing is kept.
  void Unload();

 private:
  struct Kept {
    std::string path;
    FileStamp stamp;
    std::shared_ptr<const FontFields> fields;
    std::shared_ptr<const std::string> ansi_text;  // the character text in ANSI, once asked for
    std::chrono::steady_clock::time_point checked;  // when the stamp was last compared
  };
  struct Work {
    std::string path;
    std::shared_ptr<std::atomic<bool>> stop;
  };

  // The fields of the file with at least `parts` read, or nothing: read now,
  // stopped, or (with kFtDelayed in `result`) left for a slower call.
  std::shared_ptr<const FontFields> Fields(const std::string& path, const FileStamp& stamp,
                                           FieldParts parts, bool delay_if_slow, int& result);
  int CharacterText(const std::string& path, const FileStamp& stamp, const FontFields& fields,
                    int unit, void* out, int size, bool wide);
  Kept* Find(const std::string& path, const FileStamp& stamp);  // under mutex_
  // The stamp of the file's kept fields when it was compared within kTrustKeptFields,
  // else the file's own; nothing when the file cannot be looked at.
  std::optional<FileStamp> Stamp(const std::string& path);

  mutable std::mutex mutex_;
  ChoiceTexts texts_;
  std::vector<Kept> kept_;  // the most recent last
  std::vector<Work> work_;
};

// UTF-8 to UTF-16 (our own texts: valid UTF-8), and back for paths.
std::u16string Utf8ToUtf16(const std::string& text);
