// The content plug-in's fields as the host meets them, through ContentService:
// the list, the values of real and built fonts, the character text read in
// pieces, the delayed answer for a large file, and a read that is stopped.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <variant>

#include "content/content_service.h"
#include "font_builder.h"
#include "support/test_paths.h"

namespace {

std::string Utf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size())
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    if (c < 0x80) out += static_cast<char>(c);
    else if (c < 0x800) out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    else if (c < 0x10000)
      out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
              static_cast<char>(0x80 | (c & 0x3F))};
    else
      out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
              static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
  }
  return out;
}

// A value as the host reads it: the type, and the number or the text (UTF-8).
struct Answer {
  int type = 0;
  std::variant<int32_t, std::string> value;
};

Answer Ask(ContentService& service, const std::string& path, Field field, int flags = 0,
           int unit = 0, int size = 4096) {
  std::vector<char16_t> buffer(static_cast<size_t>(size) / 2 + 1);
  Answer answer;
  answer.type = service.Value(path, static_cast<int>(field), unit, buffer.data(), size, flags, true);
  if (answer.type == kFtNumeric32 || answer.type == kFtBoolean) {
    int32_t number = 0;
    std::memcpy(&number, buffer.data(), sizeof number);
    answer.value = number;
  } else if (answer.type == kFtMultipleChoice) {
    answer.value = std::string(reinterpret_cast<const char*>(buffer.data()));
  } else if (answer.type == kFtStringW || answer.type == kFtFullTextW) {
    answer.value = Utf8(buffer.data());
  }
  return answer;
}

std::string WriteFile(const std::string& name, const std::string& bytes) {
  const std::string path = ScratchDir("content") + "/" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

TEST(ContentFields, ListsEachFieldOnceInTheHostsTerms) {
  ContentService service;
  std::set<std::string> names;
  char name[64], units[256];
  int index = 0;
  for (int type; (type = service.SupportedField(index, name, units, sizeof units)) != kFtNoMoreFields;
       ++index) {
    EXPECT_TRUE(names.insert(name).second) << name;
    // The host keeps columns as [=plugin.field]: none of its separators in a name.
    EXPECT_EQ(std::string(name).find_first_of(".|[]:"), std::string::npos) << name;
    EXPECT_EQ(type == kFtMultipleChoice, units[0] != '\0') << name;
  }
  EXPECT_EQ(index, kFieldCount);
  service.SupportedField(static_cast<int>(Field::kFormat), name, units, sizeof units);
  EXPECT_STREQ(units, "TrueType|OpenType (CFF)|CFF2|Collection|WOFF|WOFF2|FON|PFM");
  // Cut to the host's buffer, never past it.
  service.SupportedField(static_cast<int>(Field::kPostScriptName), name, units, 5);
  EXPECT_STREQ(name, "Post");
}

// Facts of Debian's fonts, each checked against the file by hand.
TEST(ContentFields, RealFonts) {
  const std::string dejavu = "/usr/share/fonts/truetype/dejavu/";
  const struct Row {
    std::string path;
    Field field;
    std::variant<int32_t, std::string> value;
  } rows[] = {
      {dejavu + "DejaVuSans.ttf", Field::kFamily, "DejaVu Sans"},
      {dejavu + "DejaVuSans.ttf", Field::kFormat, "TrueType"},
      {dejavu + "DejaVuSans.ttf", Field::kGlyphs, 6253},
      {dejavu + "DejaVuSans.ttf", Field::kMonospaced, 0},
      {dejavu + "DejaVuSans.ttf", Field::kWidthClass, 5},
      {dejavu + "DejaVuSans.ttf", Field::kColour, "None"},
      {dejavu + "DejaVuSans.ttf", Field::kEmbedding, "Installable"},
      {dejavu + "DejaVuSans.ttf", Field::kVariable, 0},
      {dejavu + "DejaVuSansMono.ttf", Field::kMonospaced, 1},
      {dejavu + "DejaVuSans-Bold.ttf", Field::kWeightClass, 700},
      {dejavu + "DejaVuSans-Oblique.ttf", Field::kItalic, 1},
      {"/usr/share/fonts/truetype/inter-vf/Inter-roman.var.ttf", Field::kVariable, 1},
      {"/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf", Field::kColour, "CBDT"},
      {"/usr/share/fonts/opentype/cantarell/Cantarell-Regular.otf", Field::kFormat, "OpenType (CFF)"},
      {"/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc", Field::kFormat, "Collection"},
      {"/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc", Field::kFaces, 10},
      {"/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc", Field::kGlyphs, 65535},
      {"/usr/share/wine/fonts/sserife.fon", Field::kFormat, "FON"},
      {"/usr/share/wine/fonts/sserife.fon", Field::kFamily, "MS Sans Serif"},
      {"/usr/share/fonts/woff2/dejavu/DejaVuSans.woff2", Field::kFormat, "WOFF2"},
      {"/usr/share/fonts/woff2/dejavu/DejaVuSans.woff2", Field::kGlyphs, 6253},
  };
  ContentService service;
  for (const Row& row : rows) {
    if (!MissingFont(row.path).empty()) GTEST_SKIP() << MissingFont(row.path);
    const Answer answer = Ask(service, HostPath(row.path), row.field);
    EXPECT_EQ(answer.value, row.value) << row.path << " field " << static_cast<int>(row.field);
  }
  const std::string sans = HostPath(dejavu + "DejaVuSans.ttf");
  const auto text = [&](Field field) { return std::get<std::string>(Ask(service, sans, field).value); };
  EXPECT_NE(text(Field::kUnicodeBlocks).find("; Cyrillic; "), std::string::npos);
  EXPECT_NE(text(Field::kScripts).find("Latin (latn)"), std::string::npos);
  EXPECT_EQ(std::get<std::string>(
                Ask(service, HostPath("/usr/share/fonts/truetype/inter-vf/Inter-roman.var.ttf"),
                    Field::kAxes).value).substr(0, 14),
            "wght 100\xE2\x80\x93" "900");
}

TEST(ContentFields, FilesThatCannotBeReadHaveNoValue) {
  ContentService service;
  const std::string text = WriteFile("notes.ttf", "not a font at all");
  for (int field = 0; field < kFieldCount; ++field) {
    EXPECT_EQ(Ask(service, text, static_cast<Field>(field)).type, kFtFieldEmpty) << field;
    EXPECT_EQ(Ask(service, HostPath("/no/such/font.ttf"), static_cast<Field>(field)).type,
              kFtFileError);
  }
  EXPECT_EQ(Ask(service, text, Field::kCount).type, kFtNoSuchField);
}

// A built font mapping "A", "₹" and "😀": the characters as text, in pieces a
// surrogate pair is never split across, in ANSI too, and released by the host's -1.
TEST(ContentFields, CharacterTextInPieces) {
  SfntFont font = PlainSfnt();
  font.Add("cmap", BuildCmap({{3, 10, CmapGroups(12, {{0x41, 0x41, 1}, {0x20B9, 0x20B9, 2},
                                                      {0x1F600, 0x1F600, 3}})}}));
  const std::string path = WriteFile("three.ttf", BuildSfnt(font));
  ContentService service;
  EXPECT_EQ(Ask(service, path, Field::kCharacters).value, (std::variant<int32_t, std::string>{3}));
  EXPECT_EQ(Ask(service, path, Field::kUnicodeBlocks).value,
            (std::variant<int32_t, std::string>{"Latin; Currency Symbols; Emoticons"}));
  EXPECT_EQ(Ask(service, path, Field::kCharacterText).value,
            (std::variant<int32_t, std::string>{"A\xE2\x82\xB9\xF0\x9F\x98\x80"}));
  // Room for two units a call: "A₹", then the pair whole.
  std::string pieces;
  for (int offset = 0, calls = 0; calls < 5; ++calls) {
    const Answer piece = Ask(service, path, Field::kCharacterText, 0, offset, 6);
    if (piece.type == kFtFieldEmpty) break;
    ASSERT_EQ(piece.type, kFtFullTextW);
    pieces += std::get<std::string>(piece.value);
    offset = calls == 0 ? 2 : 4;
  }
  EXPECT_EQ(pieces, "A\xE2\x82\xB9\xF0\x9F\x98\x80");
  char ansi[8] = {};
  EXPECT_EQ(service.Value(path, static_cast<int>(Field::kCharacterText), 0, ansi, sizeof ansi, 0, false),
            kFtFullText);
  EXPECT_EQ(ansi[0], 'A');
  EXPECT_EQ(Ask(service, path, Field::kCharacterText, 0, -1).type, kFtFieldEmpty);
  EXPECT_EQ(Ask(service, path, Field::kCharacterText, 0, 99).type, kFtFieldEmpty);
  EXPECT_EQ(Ask(service, path, Field::kCharacterText).type, kFtFullTextW);  // read again
}

// From the drawing thread a large file's whole map is left for later, its names are not.
TEST(ContentFields, LargeFileDelaysItsCoverage) {
  const std::string cjk = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";
  if (!MissingFont(cjk).empty()) GTEST_SKIP() << MissingFont(cjk);
  ContentService service;
  const std::string path = HostPath(cjk);
  EXPECT_EQ(Ask(service, path, Field::kUnicodeBlocks, kContentDelayIfSlow).type, kFtDelayed);
  EXPECT_EQ(Ask(service, path, Field::kFamily, kContentDelayIfSlow).type, kFtStringW);
  EXPECT_EQ(Ask(service, path, Field::kUnicodeBlocks).type, kFtStringW);
  EXPECT_EQ(Ask(service, path, Field::kUnicodeBlocks, kContentDelayIfSlow).type, kFtStringW);
}

TEST(ContentFields, AStoppedReadKeepsWhatWasReadBefore) {
  const std::string path = HostPath("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  FontFields fields;
  ASSERT_TRUE(ReadFontFields(path.c_str(), kFacePart, fields));
  const std::atomic<bool> stop{true};
  EXPECT_FALSE(ReadFontFields(path.c_str(), kCoveragePart, fields, &stop));
  EXPECT_EQ(fields.parts, kFacePart);
  EXPECT_EQ(fields.family, "DejaVu Sans");
  EXPECT_TRUE(fields.character_text.empty());
}

}  // namespace
