// The viewer's settings in the host's settings file, section "Quenvale.Orvane".
#pragma once

#include <optional>
#include <string>

// Path of the host's settings file, set by ListSetDefaultParams; none before that.
extern std::optional<std::string> SettingsPath;

// The settings fields of a viewer window; the viewer's state contains them.
struct ViewerSettings {
  char language[64] = {};
  int save_page = 0;
  int save_block = 0;
  int save_charset = 0;
  int save_sample = 0;
  int page = 0;
  int block_index = 0;  // a position in the block list's order, stored as a BlockSetting
  int charset_index = 0;
  int glyph_size = 0;
  int sample_size = 0;
  int zoom_size = 0;
  int zoom_width = 0;
  int zoom_height = 0;
  char sample_text[1024] = {};
  int sort_order = 0;
  int only_covered_blocks = 0;  // the block list leaves out blocks without characters
  // The named instance of a variable font shown last, by its name; empty for the
  // default instance. Written only by a viewer of a font with named instances.
  char instance_name[256] = {};
  // The Features page follows the Options page (and "Page" may then be 4).
  int features_page = 0;
};

std::string ReadSettingString(const char* key, size_t capacity, const char* default_value);
void WriteSettingString(const char* key, const char* text);
int ReadSettingInt(const char* key, int default_value, int minimum, int maximum);
void WriteSettingInt(const char* key, int value);

std::string EscapeSampleText(const std::string& text);
std::string UnescapeSampleText(const std::string& text);  // at most 1023 characters

// Reads every key but the block's into `settings` (selecting the stored language first).
void LoadSettings(ViewerSettings& settings);

// Writes those keys back; "SortOrderUnicodeBlocks" comes from `process_sort_order`.
// Does nothing without a SettingsPath.
void SaveSettings(const ViewerSettings& settings, int process_sort_order);

// The remembered block, read and written only while SaveUnicodeBlock is 1:
// "UnicodeBlockName", the block's name, and "UnicodeBlock", its position among
// the 101 blocks of the first plane in the stored sort order, which is what
// versions before the blocks beyond U+FFFF wrote and read.
struct BlockSetting {
  std::string name;  // empty when none is stored
  int first_plane_position = 0;  // 0-100; written only when not negative
};
BlockSetting ReadBlockSetting();
void WriteBlockSetting(const BlockSetting& block);

// "InstanceName": the instance_name of a viewer that showed a variable font.
void WriteInstanceSetting(const char* name);
