// A long-running host: many open/close cycles over good, odd and broken files
// must leave the process's GDI and USER objects and its private memory where
// they were, and ask for every private font registration to be removed. (Wine
// itself keeps private registrations even when asked to remove them, so the
// requests are counted at the plug-in's imports; and it keeps the copy of every
// font handed over from memory, whose bytes the memory check allows for.)
// ORVANE_SOAK_CYCLES sets the cycle count (100 by default).
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "malformed_corpus.h"
#include "process_objects.h"
#include "stall_watch.h"
#include "support/test_paths.h"
#include "tests/viewer/plugin_harness.h"

namespace {

struct Figures {
  long gdi = 0, user = 0;
  SIZE_T private_bytes = 0;
};

Figures Measure() {
  Pump();
  Figures f;
  f.gdi = CountGdiObjects();
  f.user = CountUserObjects();
  f.private_bytes = static_cast<SIZE_T>(CommittedBytes());
  return f;
}

std::string ReadFile(const std::string& path) {
  std::string out;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
    std::fclose(f);
  }
  return out;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

// Releases the button once the zoom box is open; the box's own loop runs this.
HWND zoom_list = nullptr;
bool zoom_seen = false;
void CALLBACK ZoomTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (zoom_seen || !zoom_list || !IsWindow(zoom_list)) return;
  if (FindWindowExA(zoom_list, nullptr, kZoomClass, nullptr)) {
    zoom_seen = true;
    MouseButton(false);
  }
}

// A real press on a glyph cell; true when the box opened.
bool PressOnCell(const GridViewer& v, int row, int column) {
  zoom_list = v.state().glyph_list;
  zoom_seen = false;
  PressWhileWatching(v.ListToScreen(v.CellCentre(row, column)), ZoomTimer, zoom_seen);
  return zoom_seen;
}

int Cycles() {
  const char* env = std::getenv("ORVANE_SOAK_CYCLES");
  int cycles = env ? std::atoi(env) : 100;
  return cycles < 25 ? 25 : cycles;
}

TEST(Soak, OpenAndCloseCyclesLeaveNoObjectsOrMemoryBehind) {
  const std::string dir = ScratchDir("soak_files");
  const std::string dejavu = DejaVuPath();
  ASSERT_TRUE(WatchFontRegistrations(Plugin().dll));
  StartStallWatch();

  struct File {
    std::string path;
    bool zoom;  // a font whose cells can be pressed
    bool instances = false;  // a variable font: some of its instances are shown
  };
  std::vector<File> files;
  files.push_back({dejavu, true});
  const std::string noto = HostPath("/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc");
  if (FileExists(noto)) files.push_back({noto, false});
  for (const char* fon : {"/usr/share/wine/fonts/sserife.fon", "/usr/share/wine/fonts/coure.fon"})
    if (FileExists(HostPath(fon))) files.push_back({HostPath(fon), false});
  // An "OTTO" header over TrueType outlines, which the system may refuse.
  std::string otf = ReadFile(dejavu);
  ASSERT_GT(otf.size(), 12u);
  otf.replace(0, 4, "OTTO");
  files.push_back({dir + "\\otto.otf", false});
  WriteBytes(files.back().path, otf);
  const std::string pfm = HostPath(ORVANE_TEST_PFM);
  if (FileExists(pfm)) files.push_back({pfm, false});
  // Web fonts, drawn from their decoded bytes, which the system takes from memory.
  for (const char* web : {"/usr/share/fonts/woff2/dejavu/DejaVuSans.woff2",
                          "/usr/share/fonts/woff/dejavu/DejaVuSansMono.woff"})
    files.push_back({HostPath(web), std::string(web).ends_with(".woff2")});
  // A variable font: the static fonts of its instances go to the system from memory.
  const std::string inter = HostPath("/usr/share/fonts/truetype/inter-vf/Inter-roman.var.ttf");
  if (FileExists(inter)) files.push_back({inter, false, true});
  files.push_back({dir + "\\missing.ttf", false});
  files.push_back({dir + "\\empty.ttf", false});
  WriteBytes(files.back().path, "");
  const auto corpus = MakeMalformedCorpus(LoadSourceFonts(pfm));
  for (size_t i = 0; i < corpus.size(); i += corpus.size() / 8) {
    if (IsHostileShape(corpus[i])) continue;  // the readers' tests, not the system's
    files.push_back({dir + "\\" + corpus[i].name, false});
    WriteBytes(files.back().path, corpus[i].bytes);
  }

  const int cycles = Cycles();
  const int warm_up = 20;
  Figures start, end;
  uint64_t kept_by_system = 0;  // memory fonts handed over after the warm-up
  int zooms = 0, zooms_opened = 0;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    if (cycle == warm_up) {
      start = Measure();
      kept_by_system = MemoryFontBytesHandedOver();
    }
    const File& file = files[cycle % files.size()];
    BeginStep("cycle " + std::to_string(cycle) + " on " + file.path);
    GridViewer v("soak", "", file.path, 640, 480);
    ASSERT_NE(v.window, nullptr) << file.path;
    ViewerState& s = v.state();
    ASSERT_TRUE(s.glyph_font != nullptr || s.load_error[0] != '\0') << file.path;
    for (int page : {1, 2, 3, 0}) {
      ClickTab(v.window, page);
      UpdateWindow(v.window);
    }
    Pump();
    // Thin, Black and Thin again; and the default, in every other cycle.
    if (file.instances && s.instance_combo) {
      for (int item : {1, 9, 1, (cycle / static_cast<int>(files.size())) % 2 ? 0 : 1}) {
        SendMessageA(s.instance_combo, CB_SETCURSEL, item, 0);
        SendMessageA(v.window, WM_COMMAND, MAKEWPARAM(kInstanceComboId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(s.instance_combo));
        UpdateWindow(v.window);
      }
      EXPECT_EQ(s.built.size(), 2u);
    }
    // A zoom box in every few cycles of a font with cells, a different cell each
    // time so that no two presses make a double click.
    if (file.zoom && s.glyph_font && (cycle / files.size()) % 3 == 0) {
      ++zooms;
      zooms_opened += PressOnCell(v, 2 + zooms % 6, 1 + zooms % 14);
    }
    v.Close();
    EndStep();
  }
  end = Measure();
  kept_by_system = MemoryFontBytesHandedOver() - kept_by_system;
  std::printf("cycles %d over %zu files, zoom boxes %d/%d, the longest cycle %lu ms\n", cycles,
              files.size(), zooms_opened, zooms, LongestStep());
  std::printf("after warm-up: GDI %ld USER %ld private %lu KB\n", start.gdi, start.user,
              static_cast<unsigned long>(start.private_bytes / 1024));
  std::printf("at the end:    GDI %ld USER %ld private %lu KB\n", end.gdi, end.user,
              static_cast<unsigned long>(end.private_bytes / 1024));
  std::printf("font registrations: %ld made, %ld not asked to be removed; "
              "%lu KB handed over from memory after the warm-up\n",
              FontRegistrationsMade(), LiveFontRegistrations(),
              static_cast<unsigned long>(kept_by_system / 1024));
  EXPECT_GT(zooms, 0);
  EXPECT_EQ(zooms_opened, zooms);
  ASSERT_GE(start.gdi, 0) << "no way to count GDI objects here";
  ASSERT_GE(start.user, 0);
  EXPECT_LE(end.gdi, start.gdi + 10);
  EXPECT_LE(end.user, start.user + 2);
  EXPECT_GT(FontRegistrationsMade(), 0);
  EXPECT_EQ(LiveFontRegistrations(), 0);
  ASSERT_GT(start.private_bytes, 0u);
  EXPECT_LE(end.private_bytes, start.private_bytes + 4 * 1024 * 1024 + kept_by_system);
}

}  // namespace
