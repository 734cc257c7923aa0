// The viewer opens malformed fonts without crashing or hanging: each shows the
// font or the load-error text on every page and closes. One process, many files.
// ORVANE_CORPUS_STRIDE=1 opens every variant; by default every hundredth, and
// every tenth collection variant.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "malformed_corpus.h"
#include "stall_watch.h"
#include "text/language.h"
#include "text/web_font_text.h"
#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"

namespace {

std::string current_variant;

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
  std::fprintf(stderr, "crash 0x%08lx while viewing %s\n",
               static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
               current_variant.c_str());
  std::fflush(stderr);
  return EXCEPTION_CONTINUE_SEARCH;
}

// Whether `name` contains one of the '|'-separated parts of `pattern`.
bool MatchesAny(const std::string& name, const std::string& pattern) {
  size_t begin = 0;
  for (;;) {
    const size_t end = pattern.find('|', begin);
    const std::string part = pattern.substr(begin, end - begin);
    if (!part.empty() && name.find(part) != std::string::npos) return true;
    if (end == std::string::npos) return false;
    begin = end + 1;
  }
}

int Stride() {
  const char* env = std::getenv("ORVANE_CORPUS_STRIDE");
  int stride = env ? std::atoi(env) : 100;
  return stride < 1 ? 1 : stride;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

TEST(ViewerCorpus, EveryVariantShowsTheFontOrTheLoadErrorOnEveryPage) {
  SetUnhandledExceptionFilter(ReportCrash);
  StartStallWatch();
  const auto sources = LoadSourceFonts(HostPath(ORVANE_TEST_PFM));
  ASSERT_FALSE(sources.empty());
  const auto corpus = MakeMalformedCorpus(sources);
  ASSERT_GT(corpus.size(), 1000u);
  const std::string dir = ScratchDir("viewer_corpus");
  const std::string ini = dir + "\\host.ini";
  WriteTextFile(ini, "[Quenvale.Orvane]\r\nSavePage=0\r\n");
  SetSettingsFile(ini);
  HWND parent = MakeParent(true, 640, 480);
  const int stride = Stride();
  // ORVANE_CORPUS_FIRST and ORVANE_CORPUS_COUNT pick a range of the corpus, so
  // that a full run can spread it over several processes.
  const char* first_env = std::getenv("ORVANE_CORPUS_FIRST");
  const char* count_env = std::getenv("ORVANE_CORPUS_COUNT");
  const size_t first = first_env ? std::strtoul(first_env, nullptr, 10) : 0;
  const size_t end = count_env ? first + std::strtoul(count_env, nullptr, 10) : corpus.size();
  int opened = 0, fonts = 0, errors = 0;
  for (size_t i = first; i < corpus.size() && i < end; ++i) {
    const MalformedFont& v = corpus[i];
    // The collection variants are few, so the sample takes ten times as many of
    // them; the web fonts' and the colour font's are fewer still, and all of them
    // are opened.
    const bool collection = v.format == FontFormat::kCollection;
    const bool web = v.format == FontFormat::kWoff || v.format == FontFormat::kWoff2;
    const bool colour = v.name.rfind("notoemoji-", 0) == 0;
    const size_t every = web || colour ? 1 : collection ? std::max(1, stride / 10) : stride;
    // The hand-built shapes are the readers' tests: Wine's rasterizer cannot take
    // some of them (a composite graph 26 deep never returns), and the colour
    // bitmap one has a viewer test of its own.
    if (IsHostileShape(v)) continue;
    const char* match = std::getenv("ORVANE_CORPUS_MATCH");
    if (match && !MatchesAny(v.name, match)) continue;
    if (!match && i % every != 0) continue;
    current_variant = v.name;
    if (std::getenv("ORVANE_CORPUS_VERBOSE"))
      std::fprintf(stderr, "%lu %s\n", static_cast<unsigned long>(GetTickCount()), v.name.c_str());
    const std::string path = dir + "\\" + v.name;
    WriteBytes(path, v.bytes);
    BeginStep("viewing " + v.name);
    HWND viewer = LoadViewer(parent, path);
    ASSERT_NE(viewer, nullptr) << v.name;
    ViewerState* s = StateOf(viewer);
    ASSERT_NE(s, nullptr) << v.name;
    EXPECT_TRUE(s->glyph_font != nullptr || s->load_error[0] != '\0') << v.name;
    // A refused web font names its reason, the text of its problem.
    if (v.problem != WebFontProblem::kNone) {
      EXPECT_EQ(s->glyph_font, nullptr) << v.name;
      EXPECT_EQ(s->font_memory, nullptr) << v.name;
      EXPECT_NE(std::strstr(s->load_error, LanguageString(WebFontProblemTextId(v.problem))), nullptr)
          << v.name << ": " << s->load_error;
    }
    if (s->glyph_font) ++fonts; else ++errors;
    for (int page : {1, 2, 3, 0}) {
      if (std::getenv("ORVANE_CORPUS_VERBOSE")) std::fprintf(stderr, " page %d\n", page);
      ClickTab(viewer, page);
      UpdateWindow(viewer);
      RedrawWindow(viewer, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      EXPECT_EQ(s->page, page) << v.name;
      EXPECT_TRUE(s->page_built[page]) << v.name;
    }
    EXPECT_FALSE(GetWindowTextLengthA(s->info_view) == 0) << v.name;  // the report built
    Pump();
    Plugin().list_close(viewer);
    EXPECT_FALSE(IsWindow(viewer)) << v.name;
    DeleteFileA(path.c_str());
    EndStep();
    ++opened;
  }
  DestroyWindow(parent);
  Pump();
  std::printf("opened %d variants: %d as fonts, %d with the load-error text; "
              "the longest took %lu ms\n",
              opened, fonts, errors, LongestStep());
  // Both outcomes occur in the sample: truncations fail, harmless edits load.
  if (!first_env && !count_env && !std::getenv("ORVANE_CORPUS_MATCH")) {
    EXPECT_GT(fonts, 0);
    EXPECT_GT(errors, 0);
  }
}

}  // namespace
