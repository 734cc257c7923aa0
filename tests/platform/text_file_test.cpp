#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/ini_file.h"
#include "support/test_paths.h"

namespace {

// Whole files read back byte for byte, whatever their size against the read's
// blocks, with zeros and lone carriage returns inside.
TEST(TextFile, ReadsEveryByteOfFilesOfAnySize) {
  const std::string dir = ScratchDir("text_file");
  for (size_t size : {size_t{0}, size_t{1}, size_t{65535}, size_t{65536}, size_t{65537},
                      size_t{200001}}) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 % 251);
    const std::string path = dir + "/f" + std::to_string(size) + ".ini";
    std::ofstream(path, std::ios::binary) << bytes;
    std::string text = "left over";
    ASSERT_TRUE(ReadTextFile(path.c_str(), text)) << size;
    EXPECT_EQ(text, bytes) << size;
  }
  std::string text = "left over";
  EXPECT_FALSE(ReadTextFile((dir + "/missing.ini").c_str(), text));
  EXPECT_TRUE(text.empty());
}

}  // namespace
