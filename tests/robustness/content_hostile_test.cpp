// The malformed fonts through the content plug-in's value call on two threads at
// once, every field of every file, the character text in pieces: natively through
// ContentService (under the sanitizers a stray read, a race or a leak fails the
// run), and under Wine through the DLL's ContentGetValueW and ContentGetValue
// (ORVANE_CONTENT_DLL). Afterwards, and once unloaded, the memory is back where it
// was after the first round.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "content/content_fields.h"
#include "malformed_corpus.h"
#include "support/test_paths.h"

#ifdef ORVANE_CONTENT_DLL
#include <windows.h>

#include "process_objects.h"
#else
#include "content/content_service.h"
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__has_feature)
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
#include <sanitizer/allocator_interface.h>
#define ORVANE_ALLOCATED_BYTES 1
#endif
#endif

#ifndef ORVANE_TEST_PFM
#define ORVANE_TEST_PFM ""
#endif

namespace {

#ifdef ORVANE_CONTENT_DLL
// The DLL as the host loads it.
struct Dll {
  HMODULE module = LoadLibraryA(HostPath(ORVANE_CONTENT_DLL).c_str());
  template <typename F>
  F Export(const char* name) const {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
  int(__stdcall* value_w)(WCHAR*, int, int, void*, int, int) =
      Export<decltype(value_w)>("ContentGetValueW");
  int(__stdcall* value)(char*, int, int, void*, int, int) = Export<decltype(value)>("ContentGetValue");
  void(__stdcall* unloading)() = Export<decltype(unloading)>("ContentPluginUnloading");
  void(__stdcall* stop_w)(WCHAR*) = Export<decltype(stop_w)>("ContentStopGetValueW");
};
const Dll& Plugin() {
  static Dll dll;
  return dll;
}
std::wstring Wide(const std::string& path) {
  return std::wstring(path.begin(), path.end());  // the scratch paths are ASCII
}
int Ask(const std::string& path, int field, int unit, void* out, int size, int flags, bool wide) {
  if (wide) return Plugin().value_w(Wide(path).data(), field, unit, out, size, flags);
  return Plugin().value(const_cast<char*>(path.c_str()), field, unit, out, size, flags);
}
void Stop(const std::string& path) { Plugin().stop_w(Wide(path).data()); }
void Unload() { Plugin().unloading(); }
uint64_t MemoryInUse() { return CommittedBytes(); }
#else
ContentService& Service() {
  static ContentService service;
  return service;
}
int Ask(const std::string& path, int field, int unit, void* out, int size, int flags, bool wide) {
  return Service().Value(path, field, unit, out, size, flags, wide);
}
void Stop(const std::string& path) { Service().Stop(path); }
void Unload() { Service().Unload(); }
uint64_t MemoryInUse() {
#ifdef ORVANE_ALLOCATED_BYTES
  return __sanitizer_get_current_allocated_bytes();
#else
  return 0;  // nothing to compare without the sanitizer's count
#endif
}
#endif

// Every field of each file, as one thread of the host asks: the drawing thread
// with the delay flag and wide texts, the background thread without, in ANSI,
// reading the character text in pieces to its end. Answers are only the host's.
void AskEverything(const std::vector<std::string>& files, bool drawing_thread) {
  std::vector<char> buffer(1024);
  for (size_t n = 0; n < files.size(); ++n) {
    const std::string& path = files[drawing_thread ? n : files.size() - 1 - n];
    for (int field = 0; field < kFieldCount; ++field) {
      int unit = 0;
      for (int piece = 0; piece < 4096; ++piece) {
        const int type = Ask(path, field, unit, buffer.data(), static_cast<int>(buffer.size()),
                             drawing_thread ? kContentDelayIfSlow : 0, drawing_thread);
        ASSERT_TRUE(type >= kFtFieldEmpty && type <= kFtFullTextW) << path << " " << field;
        if (type != kFtFullText && type != kFtFullTextW) break;
        unit += static_cast<int>(type == kFtFullTextW
                                     ? std::char_traits<char16_t>::length(
                                           reinterpret_cast<const char16_t*>(buffer.data()))
                                     : std::strlen(buffer.data()));
      }
      if (DefinitionOf(static_cast<Field>(field)).type == kFtFullText)
        Ask(path, field, -1, buffer.data(), static_cast<int>(buffer.size()), 0, drawing_thread);
    }
    if (n % 7 == 0) Stop(path);  // the host gives up on a file now and then
  }
}

TEST(ContentHostileFiles, TwoThreadsOverTheMalformedCorpus) {
  std::vector<SourceFont> sources = LoadSourceFonts(ORVANE_TEST_PFM);
  ASSERT_FALSE(sources.empty());
  // Each variant is a copy of its source: those of Noto Color Emoji (11 MB) and
  // DejaVu Sans (750 KB) took seconds to make. Wine's Tahoma (145 KB) stands in
  // for DejaVu; the readers of both are the viewer's, tested on them elsewhere.
  std::erase_if(sources, [](const SourceFont& font) { return font.name == "notoemoji"; });
  for (SourceFont& font : sources) {
    if (font.name != "dejavu") continue;
    std::ifstream tahoma(HostPath("/usr/share/wine/fonts/tahoma.ttf"), std::ios::binary);
    font.name = "tahoma";
    font.bytes.assign(std::istreambuf_iterator<char>(tahoma), {});
  }
  std::vector<MalformedFont> corpus = MakeMalformedCorpus(sources);
  // A sample: every 25th variant (ORVANE_CONTENT_STRIDE=1 for all), every fifth
  // of a web font or a collection, which take other paths.
  const char* stride_text = std::getenv("ORVANE_CONTENT_STRIDE");
  const size_t stride = stride_text ? std::max(1, std::atoi(stride_text)) : 25;
  std::vector<MalformedFont> sample;
  for (size_t i = 0; i < corpus.size(); ++i) {
    const MalformedFont& font = corpus[i];
    const bool other = font.format == FontFormat::kWoff || font.format == FontFormat::kWoff2 ||
                       font.format == FontFormat::kCollection;
    if (i % (other ? std::max<size_t>(1, stride / 5) : stride) == 0) sample.push_back(font);
  }
#ifdef ORVANE_CONTENT_DLL
  // A folder of its own: the portable service's test may run beside this one, and
  // Wine refuses to rewrite a file another program holds open.
  const std::string dir = ScratchDir("content_dll_hostile");
#else
  const std::string dir = ScratchDir("content_hostile");
#endif
  ASSERT_TRUE(WriteCorpus(sample, dir));
  std::vector<std::string> files;
  for (const MalformedFont& font : sample) files.push_back(dir + "/" + font.name);
  corpus.clear();
  sample.clear();

  auto both_threads = [&files] {
    std::thread drawing(AskEverything, std::cref(files), true);
    std::thread background(AskEverything, std::cref(files), false);
    drawing.join();
    background.join();
    Unload();
  };
  // A first round makes what is made once (texts, the runtime's own); the second
  // must give back all it takes.
  both_threads();
  const uint64_t before = MemoryInUse();
  both_threads();
  const uint64_t after = MemoryInUse();
#ifdef ORVANE_CONTENT_DLL
  // The process heap keeps pages it was given: a few, not a file's worth each.
  EXPECT_LT(after, before + (512u << 10)) << before << " bytes before, " << after << " after";
#else
  EXPECT_EQ(after, before);
#endif
  std::cout << files.size() << " files, memory in use " << before << " bytes before the round, " << after << " after\n";
  std::filesystem::remove_all(dir);
}

}  // namespace
