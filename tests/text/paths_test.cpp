// The path operations the language files rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/test_paths.h"
#include "text_test_files.h"

namespace {

TEST(Paths, FindPathExtension) {
  auto extension = [](const char* path) { return std::string(FindPathExtension(path)); };
  EXPECT_EQ(extension("C:\\Fonts\\Demo.PFM"), ".PFM");
  EXPECT_EQ(extension("C:\\dir.d\\file"), "");
  EXPECT_EQ(extension("x.pfm y"), "");
  EXPECT_EQ(extension("a.b.c"), ".c");
  EXPECT_EQ(extension("name"), "");
  EXPECT_EQ(*FindPathExtension("name"), '\0');
}

TEST(Paths, FindFilesMatchesNamesInTheFolder) {
  std::string dir = ScratchDir("find_files");
  for (const char* name : {"Orvane.German.lng", "orvane.x.LNG", "Orvane.wlx", "Other.German.lng"})
    WriteBytes(JoinPath(dir, name), "x");
  std::string pattern = JoinPath(dir, "Orvane.*.lng");
  std::vector<std::string> found;
  EXPECT_TRUE(FindFiles(pattern.c_str(), [&](const char* name) { found.push_back(name); }));
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::string>{"Orvane.German.lng", "orvane.x.LNG"}));
  std::string none = JoinPath(dir, "Nothing.*.lng");
  EXPECT_FALSE(FindFiles(none.c_str(), [&](const char*) { ADD_FAILURE(); }));
}

}  // namespace
