#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "support/test_paths.h"

namespace {

std::string WriteFile(const std::string& dir, const char* name, const std::string& bytes) {
  std::string path = dir + "/" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

TEST(FileMapping, MapsWholeFileReadOnly) {
  std::string dir = ScratchDir("file_mapping");
  std::string path = WriteFile(dir, "abc.bin", std::string("ab\0c", 4));
  MappedFile file;
  ASSERT_TRUE(MapFileReadOnly(path.c_str(), file));
  ASSERT_EQ(file.size, 4u);
  EXPECT_EQ(file.data[0], 'a');
  EXPECT_EQ(file.data[2], 0);
  EXPECT_EQ(file.data[3], 'c');

  // Moving hands the view over; the source no longer owns it.
  MappedFile moved = std::move(file);
  EXPECT_EQ(file.data, nullptr);
  EXPECT_EQ(moved.size, 4u);
  UnmapFile(moved);
  EXPECT_EQ(moved.data, nullptr);
}

TEST(FileMapping, MissingAndEmptyFilesFail) {
  std::string dir = ScratchDir("file_mapping_fail");
  MappedFile file;
  EXPECT_FALSE(MapFileReadOnly((dir + "/missing.ttf").c_str(), file));
  std::string empty = WriteFile(dir, "empty.ttf", "");
  EXPECT_FALSE(MapFileReadOnly(empty.c_str(), file));
  EXPECT_EQ(file.data, nullptr);
  EXPECT_FALSE(MapFileReadOnly(dir.c_str(), file));  // a folder is no file
}

// A folder name no 8-bit code page holds whole: Greek, CJK and an emoji.
TEST(FileMapping, Utf8PathReachesAnyName) {
  const std::u8string folder = u8"\u03a9\u6f22\U0001F600";
  std::string dir = ScratchDir("file_mapping_utf8");
  std::filesystem::path native = std::filesystem::path(dir) / std::filesystem::path(folder);
  std::filesystem::create_directories(native);
  std::ofstream(native / "x.bin", std::ios::binary) << "xyz";

  std::u8string u8 = native.u8string() + u8"/x.bin";
  std::string utf8(u8.begin(), u8.end());
  MappedFile file;
  ASSERT_TRUE(MapFileReadOnlyUtf8(utf8.c_str(), file));
  ASSERT_EQ(file.size, 3u);
  EXPECT_EQ(file.data[2], 'z');
  EXPECT_FALSE(MapFileReadOnlyUtf8((dir + "/missing").c_str(), file));
  EXPECT_EQ(file.data, nullptr);
  // Bytes that are not UTF-8 name no file.
  EXPECT_FALSE(MapFileReadOnlyUtf8((dir + "/\xff\xfe").c_str(), file));
}

}  // namespace
