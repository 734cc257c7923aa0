#include <gtest/gtest.h>

#include <string>

#include "fontfile/sfnt_reader.h"
#include "font_builder.h"

namespace {

int Read(const std::string& bytes, FontInfo& info, uint32_t start = 0) {
  return ReadSfnt(ViewOf(bytes), start, info);
}

std::string NameTableWith(const NameTable& table) {
  return BuildSfnt(SfntFont{}.Add("name", BuildNameTable(table)));
}

TEST(Sfnt, AcceptsTrueTypeAndCffVersionsOnly) {
  SfntFont font = PlainSfnt();
  for (uint32_t version : {0x00010000u, 0x4F54544Fu /* OTTO */}) {
    font.version = version;
    FontInfo info;
    EXPECT_EQ(Read(BuildSfnt(font), info), 1) << std::hex << version;
    EXPECT_EQ(info.names[kNameFamily], "Demo");
  }
  for (uint32_t version : {0x74727565u /* true */, 0x74797031u /* typ1 */, 0x74746366u /* ttcf */,
                           0x00010001u, 0x00020000u, 0u}) {
    font.version = version;
    FontInfo info;
    EXPECT_EQ(Read(BuildSfnt(font), info), 0) << std::hex << version;
    EXPECT_FALSE(info.names[kNameFamily]);
  }
}

TEST(Sfnt, StoresOs2FieldsAndNames) {
  SfntFont font;
  font.Add("OS/2", Os2Table({.version = 1, .weight = 700, .width = 3, .selection = 0x0011}))
      .Add("cmap", std::string(8, '\0'))
      .Add("name", BuildNameTable(NameTable{}
                                      .Add(0, u"(c) Demo")
                                      .Add(1, u"Demo Sans")
                                      .Add(2, u"Bold Italic")
                                      .Add(4, u"Demo Sans Bold Italic")
                                      .Add(20, u"Cid")));
  FontInfo info;
  ASSERT_EQ(Read(BuildSfnt(font), info), 1);
  EXPECT_EQ(info.type_name, "TrueType 1.66");
  EXPECT_EQ(info.width_name, "Condensed, 75% of normal");
  EXPECT_EQ(info.weight, 700u);
  EXPECT_EQ(info.italic, 1);
  EXPECT_EQ(info.underline, 0);
  EXPECT_EQ(info.strike_out, 1);
  EXPECT_EQ(info.names[kNameCopyright], "(c) Demo");
  EXPECT_EQ(info.names[kNameStyle], "Bold Italic");
  EXPECT_EQ(info.names[kNameFull], "Demo Sans Bold Italic");
  EXPECT_EQ(info.names[kNamePostScriptCid], "Cid");
  EXPECT_FALSE(info.names[kNameIdentifier]);
}

TEST(Sfnt, Os2VersionWidthAndSelectionEdges) {
  struct Case {
    Os2Fields fields;
    const char* type;
    const char* width;
    uint8_t italic, underline, strike_out;
  } cases[] = {
      {{.version = 5}, "Unknown", "Normal", 0, 0, 0},
      {{.width = 0}, "OpenType 1.4", "Unknown", 0, 0, 0},
      {{.width = 10}, "OpenType 1.4", "Unknown", 0, 0, 0},
      {{.selection = 0x0001}, "OpenType 1.4", "Normal", 1, 0, 0},
      {{.selection = 0x0012}, "OpenType 1.4", "Normal", 0, 1, 1},
      {{.selection = 0x0100}, "OpenType 1.4", "Normal", 0, 0, 0},
      {{.selection = 0x0200}, "OpenType 1.4", "Normal", 0, 0, 0},
  };
  for (const Case& c : cases) {
    FontInfo info;
    EXPECT_EQ(ReadOs2Table(ViewOf(Os2Table(c.fields)), 0, info), 1);
    EXPECT_EQ(info.type_name, c.type);
    EXPECT_EQ(info.width_name, c.width);
    EXPECT_EQ(info.italic, c.italic);
    EXPECT_EQ(info.underline, c.underline);
    EXPECT_EQ(info.strike_out, c.strike_out);
  }
}

TEST(Sfnt, TheLastTableReadDecides) {
  NameTable mac_only;
  mac_only.records.push_back({4, "Demo", 1, 0, 0});
  std::string os2 = Os2Table();
  std::string unmatched = BuildNameTable(mac_only);

  // Sorted directory: the name table without a Windows record decides (0), but
  // the OS/2 fields it read stay.
  FontInfo info;
  EXPECT_EQ(Read(BuildSfnt(SfntFont{}.Add("OS/2", os2).Add("name", unmatched)), info), 0);
  EXPECT_EQ(info.type_name, "OpenType 1.4");
  EXPECT_FALSE(info.names[kNameFull]);

  // "name" before "OS/2": the OS/2 read comes last and succeeds.
  EXPECT_EQ(Read(BuildSfnt(SfntFont{}.Add("name", unmatched).Add("OS/2", os2)), info), 1);

  // OS/2 alone: recognised without names; a name table alone: recognised without OS/2 fields.
  FontInfo os2_only;
  EXPECT_EQ(Read(BuildSfnt(SfntFont{}.Add("OS/2", os2)), os2_only), 1);
  EXPECT_FALSE(os2_only.names[kNameFamily]);
  FontInfo name_only;
  EXPECT_EQ(Read(NameTableWith(NameTable{}.Add(1, u"Demo")), name_only), 1);
  EXPECT_FALSE(name_only.type_name);
  EXPECT_FALSE(name_only.width_name);
  EXPECT_EQ(name_only.weight, 0u);

  // Neither table, or no tables at all.
  FontInfo none;
  EXPECT_EQ(Read(BuildSfnt(SfntFont{}.Add("cmap", std::string(16, '\0'))), none), 0);
  EXPECT_EQ(Read(BuildSfnt(SfntFont{}), none), 0);
}

TEST(Sfnt, ReadingStopsAfterTwoSuccessfulTables) {
  // A third table (a second OS/2 here) is never read.
  SfntFont font = PlainSfnt();
  font.Add("OS/2", Os2Table({.weight = 900}));
  FontInfo info;
  EXPECT_EQ(Read(BuildSfnt(font), info), 1);
  EXPECT_EQ(info.weight, 400u);
}

TEST(Sfnt, FirstUnicodeRecordWinsThenSymbolRecordsFill) {
  NameTable table;
  table.Add(1, u"Symbol Family", 0)
      .Add(1, u"First")
      .Add(1, u"Second")
      .Add(2, u"Symbol Style", 0);
  table.records.push_back({3, Utf16BE(u"Other language"), 3, 1, 0x0407});
  table.records.push_back({5, Utf16BE(u"Unicode platform"), 0, 3, 0});
  FontInfo info;
  ASSERT_EQ(Read(NameTableWith(table), info), 1);
  EXPECT_EQ(info.names[kNameFamily], "First");
  EXPECT_EQ(info.names[kNameStyle], "Symbol Style");
  EXPECT_EQ(info.names[kNameFull], "First");  // full name taken from the family
  EXPECT_FALSE(info.names[kNameIdentifier]);
  EXPECT_FALSE(info.names[kNameVersion]);

  FontInfo symbol;
  ASSERT_EQ(Read(NameTableWith(NameTable{}.Add(1, u"Wings", 0).Add(4, u"Wings Full", 0)), symbol), 1);
  EXPECT_EQ(symbol.names[kNameFamily], "Wings");
  EXPECT_EQ(symbol.names[kNameFull], "Wings Full");
}

TEST(Sfnt, MatchesCountEvenWhenNothingIsStored) {
  FontInfo high_ids;
  EXPECT_EQ(Read(NameTableWith(NameTable{}.Add(21, u"Beyond").Add(256, u"Far")), high_ids), 1);
  for (const FontText& name : high_ids.names) EXPECT_FALSE(name);

  // A zero first code unit stores nothing and leaves the slot to a later record.
  std::u16string zero_first(u"\0Hidden", 7);
  FontInfo later;
  EXPECT_EQ(Read(NameTableWith(NameTable{}.Add(1, zero_first).Add(1, u"Shown")), later), 1);
  EXPECT_EQ(later.names[kNameFamily], "Shown");

  NameTable empty_texts;
  empty_texts.records.push_back({1, "", 3, 1, 0x0409});
  empty_texts.records.push_back({2, "x", 3, 1, 0x0409});
  FontInfo empty;
  EXPECT_EQ(Read(NameTableWith(empty_texts), empty), 1);
  EXPECT_FALSE(empty.names[kNameFamily]);
  EXPECT_FALSE(empty.names[kNameStyle]);
}

TEST(Sfnt, RecordTextEdges) {
  NameTable table;
  table.records.push_back({1, Utf16BE(u"Odd") + "\x00", 3, 1, 0x0409});  // last byte dropped
  table.Add(2, std::u16string(u"ab\0cd", 5));  // a stored text ends at its zero
  FontInfo info;
  ASSERT_EQ(Read(NameTableWith(table), info), 1);
  EXPECT_EQ(info.names[kNameFamily], "Odd");
  EXPECT_EQ(info.names[kNameStyle], "ab");
}

TEST(Sfnt, StringStorageIsWhereTheOffsetSays) {
  for (uint16_t format : {0, 1}) {
    NameTable table;
    table.format = format;
    table.gap = 10;
    table.Add(1, u"Gap");
    FontInfo info;
    EXPECT_EQ(Read(NameTableWith(table), info), 1);
    EXPECT_EQ(info.names[kNameFamily], "Gap");
  }
}

TEST(Sfnt, NamesConvertToTheAnsiCodePage) {
  // Western names survive; what the code page lacks becomes '?', one per code
  // unit, so a character beyond the BMP gives two.
  FontInfo info;
  ASSERT_EQ(Read(NameTableWith(NameTable{}.Add(1, u"Caf\u00E9 \u20AC").Add(2, u"\u4E2D\U0001F600")),
                 info),
            1);
  EXPECT_EQ(info.names[kNameFamily], "Caf\xE9 \x80");
  EXPECT_EQ(info.names[kNameStyle], "???");
}

TEST(Sfnt, TheLongestRecordConvertsWhole) {
  std::u16string longest(32767, u'a');
  NameTable table;
  table.records.push_back({1, Utf16BE(longest) + "b", 3, 1, 0x0409});
  FontInfo info;
  ASSERT_EQ(Read(NameTableWith(table), info), 1);
  EXPECT_EQ(info.names[kNameFamily]->size(), 32767u);
}

// Each face is read from its own offset; face 0 is what a collection always showed.
TEST(Collection, ReadsEachFaceAlone) {
  auto named = [](const char16_t* family) {
    return SfntFont{}.Add("OS/2", Os2Table()).Add("name", BuildNameTable(NameTable{}.Add(1, family)));
  };
  std::string ttc = BuildCollection({named(u"First"), named(u"Second"), named(u"Third")});
  FontInfo info;
  EXPECT_EQ(Read(ttc, info), 0);  // the sfnt reader turns "ttcf" down
  ASSERT_EQ(ReadCollection(ViewOf(ttc), info), 1);
  EXPECT_EQ(info.names[kNameFamily], "First");
  const char* families[] = {"First", "Second", "Third"};
  for (uint32_t face = 0; face < 3; ++face) {
    ASSERT_EQ(ReadFontBytes(ViewOf(ttc).data, ViewOf(ttc).size, info, face), 1) << face;
    EXPECT_EQ(info.names[kNameFamily], families[face]);
    EXPECT_EQ(info.face, face);
    EXPECT_EQ(info.face_count, 3u);
  }
  // Past the last face, and any face but the first of a single font: nothing read.
  FontInfo none;
  EXPECT_EQ(ReadCollection(ViewOf(ttc), none, 3), 0);
  EXPECT_FALSE(none.names[kNameFamily]);
  const std::string single = BuildSfnt(PlainSfnt());
  EXPECT_EQ(ReadFontBytes(ViewOf(single).data, ViewOf(single).size, none, 1), 0);
  EXPECT_FALSE(none.names[kNameFamily]);
  EXPECT_EQ(none.face_count, 1u);

  // A broken second face (its offset, or its name table's, past the end) fails
  // alone; the count stays, and the faces around it still read.
  uint32_t second = 0;
  ASSERT_TRUE(ReadU32BE(ViewOf(ttc), 12, 4, second));
  for (size_t field : {size_t{16}, second + DirectoryOffsetField(1)}) {
    std::string broken = ttc;
    SetU32BE(broken, field, 0xFFFFFFF0u);
    FontInfo face1, face0, face2;
    EXPECT_EQ(ReadCollection(ViewOf(broken), face1, 1), 0) << field;
    EXPECT_EQ(face1.face_count, 3u);
    EXPECT_EQ(ReadCollection(ViewOf(broken), face0, 0), 1) << field;
    EXPECT_EQ(ReadCollection(ViewOf(broken), face2, 2), 1) << field;
    EXPECT_EQ(face2.names[kNameFamily], "Third");
  }
  // A count beyond the offsets the file holds is refused, as the system refuses it.
  std::string counted = ttc;
  for (uint32_t count : {0xFFFFFFFFu, static_cast<uint32_t>(ttc.size() - 12) / 4 + 1}) {
    SetU32BE(counted, 8, count);
    EXPECT_EQ(CollectionFaceCount(ViewOf(counted)), 0u) << count;
    EXPECT_EQ(ReadCollection(ViewOf(counted), none, 0), 0) << count;
  }
  SetU32BE(counted, 8, static_cast<uint32_t>(ttc.size() - 12) / 4);
  EXPECT_EQ(CollectionFaceCount(ViewOf(counted)), (ttc.size() - 12) / 4);
  EXPECT_EQ(CollectionFaceCount(ViewOf(single)), 0u);

  FontInfo empty;
  EXPECT_EQ(ReadCollection(ViewOf(BuildCollection({})), empty), 0);
  std::string not_ttc = ttc;
  not_ttc[0] = 'T';
  EXPECT_EQ(ReadCollection(ViewOf(not_ttc), empty), 0);
}

// The face selector's list: every face's full name, cut for the list, and
// whether the face reads, without reading anything else of it.
TEST(Collection, FaceNamesForTheSelector) {
  auto face = [](const std::u16string& family, const std::u16string& full) {
    NameTable names;
    names.Add(1, family);
    if (!full.empty()) names.Add(4, full);
    return SfntFont{}.Add("OS/2", Os2Table()).Add("name", BuildNameTable(names));
  };
  NameTable mac_only;
  mac_only.records.push_back({4, "Mac", 1, 0, 0});
  const SfntFont broken = SfntFont{}.Add("OS/2", Os2Table()).Add("name", BuildNameTable(mac_only));
  // Cut after 61 units when longer than 64, never between the halves of a pair.
  const std::u16string longest(kMaxFaceNameLength, u'x');
  const std::u16string pair_at_cut = std::u16string(60, u'y') + u"\U0001F600" + u"zzzz";
  const std::string ttc = BuildCollection({broken, face(u"Family", u""), face(u"F", longest),
                                           face(u"F", longest + u"x"), face(u"F", pair_at_cut)});
  const std::vector<FaceName> faces = ReadCollectionFaceNames(ViewOf(ttc));
  ASSERT_EQ(faces.size(), 5u);
  const struct {
    bool readable;
    std::string name;
  } expected[] = {{false, ""},
                  {true, "Family"},
                  {true, std::string(kMaxFaceNameLength, 'x')},
                  {true, std::string(kMaxFaceNameLength - 3, 'x') + "..."},
                  {true, std::string(60, 'y') + "..."}};
  for (size_t i = 0; i < faces.size(); ++i) {
    EXPECT_EQ(faces[i].readable, expected[i].readable) << i;
    EXPECT_EQ(faces[i].name, expected[i].name) << i;
    // The same verdict as the whole reader's.
    FontInfo info;
    EXPECT_EQ(ReadCollection(ViewOf(ttc), info, static_cast<uint32_t>(i)), faces[i].readable ? 1 : 0);
  }
  EXPECT_EQ(FirstReadableFace(ViewOf(ttc)), 1u);

  // A hostile count: no more than kMaxListedFaces, and faces that are one font
  // (at one offset, or with directories alike) listed once, as the first of them.
  std::string many = "ttcf";
  PutU32BE(many, 0x00010000);
  PutU32BE(many, 3000);
  for (int i = 0; i < 3000; ++i) PutU32BE(many, 12 + 4 * 3000 + (i % 2 ? 12 + 2 * 16 : 0));
  SfntFont same = face(u"Same", u"");
  const uint32_t tables = 12 + 4 * 3000 + 2 * (12 + 2 * 16);
  many += BuildSfnt(same, tables).substr(0, 12 + 2 * 16) + BuildSfnt(same, tables);
  ASSERT_EQ(ReadCollectionFaceNames(ViewOf(many)).size(), 1u);
  // Three thousand directories told apart by one record's offset.
  std::string distinct = "ttcf";
  PutU32BE(distinct, 0x00010000);
  PutU32BE(distinct, 3000);
  for (uint32_t i = 0; i < 3000; ++i) PutU32BE(distinct, 12 + 4 * 3000 + 28 * i);
  for (uint32_t i = 0; i < 3000; ++i) {
    PutU32BE(distinct, 0x00010000);
    PutU32BE(distinct, 1 << 16);
    PutU32BE(distinct, 0);
    distinct += "OS/2";
    PutU32BE(distinct, 0);
    PutU32BE(distinct, i);
    PutU32BE(distinct, 0);
  }
  const std::vector<FaceName> listed = ReadCollectionFaceNames(ViewOf(distinct));
  ASSERT_EQ(listed.size(), kMaxListedFaces);
  EXPECT_EQ(listed.back().face, kMaxListedFaces - 1);

  // None readable, and no collection at all.
  EXPECT_EQ(FirstReadableFace(ViewOf(BuildCollection({broken, broken}))), std::nullopt);
  EXPECT_TRUE(ReadCollectionFaceNames(ViewOf(BuildSfnt(PlainSfnt()))).empty());
  EXPECT_EQ(FirstReadableFace(ViewOf(BuildSfnt(PlainSfnt()))), std::nullopt);
}

TEST(SfntHostile, OffsetsPointingOutsideTheFile) {
  const std::string plain = BuildSfnt(PlainSfnt());
  const uint32_t size = static_cast<uint32_t>(plain.size());
  struct Patch {
    const char* where;
    size_t at;
    bool wide;
  };
  // Field positions in PlainSfnt: OS/2 record 0, name record 1, name table after OS/2.
  const size_t name_table = 12 + 32 + 80;
  const Patch patches[] = {
      {"OS/2 table offset", DirectoryOffsetField(0), true},
      {"name table offset", DirectoryOffsetField(1), true},
      {"string storage offset", name_table + 4, false},
      {"record text offset", name_table + 6 + 10, false},
      {"record text length", name_table + 6 + 8, false},
  };
  for (const Patch& patch : patches) {
    for (uint32_t value : {size, size - 1, 0xFFFFu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
      std::string bytes = plain;
      if (patch.wide) SetU32BE(bytes, patch.at, value);
      else SetU16BE(bytes, patch.at, static_cast<uint16_t>(value));
      FontInfo info;
      EXPECT_EQ(Read(bytes, info), 0) << patch.where << " = " << value;
    }
  }
  // A directory longer than the file, a directory that starts beyond it, and a
  // collection pointing past it.
  FontInfo info;
  std::string long_directory = BuildSfnt(SfntFont{}.Add("cmap", std::string(16, '\0')));
  SetU16BE(long_directory, 4, 0xFFFF);
  EXPECT_EQ(Read(long_directory, info), 0);
  EXPECT_EQ(Read(plain, info, size), 0);
  EXPECT_EQ(Read(plain, info, 0xFFFFFFF8u), 0);
  std::string ttc = BuildCollection({PlainSfnt()});
  for (uint32_t value : {static_cast<uint32_t>(ttc.size()), 0xFFFFFFFFu}) {
    SetU32BE(ttc, 12, value);
    EXPECT_EQ(ReadCollection(ViewOf(ttc), info), 0);
  }
}

TEST(SfntHostile, EveryTruncationIsRejectedKeepingWhatWasStored) {
  const std::string plain = BuildSfnt(PlainSfnt());
  for (size_t length = 0; length < plain.size(); ++length) {
    FontInfo info;
    std::string prefix = plain.substr(0, length);
    ASSERT_EQ(Read(prefix, info), 0) << length;
    ASSERT_EQ(ReadCollection(ViewOf(prefix), info), 0) << length;
    // Once the OS/2 table is whole its fields are kept.
    if (length >= 12 + 32 + 64) {
      EXPECT_EQ(info.type_name, "OpenType 1.4") << length;
    }
  }
}

}  // namespace
