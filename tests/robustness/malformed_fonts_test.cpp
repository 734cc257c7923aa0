// Every malformed variant of the real fonts goes through the whole reader order
// and through each reader alone; under the sanitizers a stray read fails the run.
// Where the layout decides the outcome, the outcome is checked too.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>

#include "fontfile/fon_reader.h"
#include "fontfile/font_info.h"
#include "fontfile/pfm_reader.h"
#include "fontfile/sfnt_reader.h"
#include "malformed_corpus.h"
#include "support/test_paths.h"
#include "text/info_report.h"
#include "text/language.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#ifndef ORVANE_TEST_PFM
#define ORVANE_TEST_PFM ""
#endif

namespace {

ByteView ViewOf(const std::string& bytes) {
  return ByteView{reinterpret_cast<const uint8_t*>(bytes.data()),
                  static_cast<uint32_t>(bytes.size())};
}

std::string Describe(const FontInfo& info) {
  auto text = [](const FontText& t) { return t ? "\"" + *t + "\"" : std::string("-"); };
  std::string out = "type " + text(info.type_name) + " width " + text(info.width_name);
  for (int i = 0; i < kFontNameCount; ++i)
    if (info.names[i]) out += " [" + std::to_string(i) + "] " + text(info.names[i]);
  out += " weight " + std::to_string(info.weight) + " style " + std::to_string(info.italic) +
         std::to_string(info.underline) + std::to_string(info.strike_out);
  return out;
}

bool SameRecord(const FontInfo& a, const FontInfo& b) {
  return a.type_name == b.type_name && a.width_name == b.width_name && a.names == b.names &&
         a.weight == b.weight && a.italic == b.italic && a.underline == b.underline &&
         a.strike_out == b.strike_out;
}

// Whatever a lying map gave: sorted ranges of code points that add up to the count.
void ExpectSoundCoverage(const CharCoverage& coverage, const std::string& name) {
  uint64_t count = 0;
  int64_t previous_last = -2;
  for (const CodeRange& r : coverage.ranges) {
    EXPECT_TRUE(r.first <= r.last && r.last <= kLastCodePoint) << name;
    EXPECT_GT(int64_t{r.first}, previous_last + 1) << name;
    previous_last = r.last;
    count += r.last - r.first + 1;
  }
  EXPECT_EQ(count, coverage.count) << name;
}

int ReadWhole(const std::string& bytes, FontInfo& info) {
  return ReadFontBytes(reinterpret_cast<const uint8_t*>(bytes.data()),
                       static_cast<uint32_t>(bytes.size()), info);
}

int ReadOwn(FontFormat format, ByteView view, FontInfo& info) {
  switch (format) {
    case FontFormat::kSfnt: return ReadSfnt(view, 0, info);
    case FontFormat::kCollection: return ReadCollection(view, info);
    case FontFormat::kFon: return ReadFon(view, info);
    case FontFormat::kPfm: return ReadPfm(view, info);
    // A web font's own reader is its decoder, then the sfnt and collection readers.
    case FontFormat::kWoff:
    case FontFormat::kWoff2: return ReadFontBytes(view.data, view.size, info);
  }
  return 0;
}

// Each reader alone, also at starts that lie at or past the end.
void RunEveryReader(const std::string& bytes, const std::string& name) {
  ByteView view = ViewOf(bytes);
  FontInfo info;
  ReadSfnt(view, 0, info);
  ReadCollection(view, info);
  ReadFon(view, info);
  ReadPfm(view, info);
  ReadFonResources(view, 0, info);
  ReadOs2Table(view, 0, info);
  ReadNameTable(view, 0, info);
  const uint32_t size = view.size;
  for (uint32_t start : {size - 1, size, size + 1, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    FontInfo other;
    EXPECT_EQ(ReadSfnt(view, start, other), 0) << name << " at " << start;
    EXPECT_EQ(ReadOs2Table(view, start, other), 0) << name << " at " << start;
    EXPECT_EQ(ReadNameTable(view, start, other), 0) << name << " at " << start;
    EXPECT_EQ(ReadFonResources(view, start, other), 0) << name << " at " << start;
  }
}

class MalformedFonts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    sources_ = new std::vector<SourceFont>(LoadSourceFonts(ORVANE_TEST_PFM));
    corpus_ = new std::vector<MalformedFont>(MakeMalformedCorpus(*sources_));
  }
  static void TearDownTestSuite() {
    delete corpus_;
    delete sources_;
  }
  static std::vector<SourceFont>* sources_;
  static std::vector<MalformedFont>* corpus_;
};
std::vector<SourceFont>* MalformedFonts::sources_ = nullptr;
std::vector<MalformedFont>* MalformedFonts::corpus_ = nullptr;

TEST_F(MalformedFonts, SourcesAreRealFontsThatRead) {
  std::map<FontFormat, int> per_format;
  for (const SourceFont& s : *sources_) {
    FontInfo own, whole;
    EXPECT_EQ(ReadOwn(s.format, ViewOf(s.bytes), own), 1) << s.name;
    EXPECT_EQ(ReadWhole(s.bytes, whole), 1) << s.name;
    EXPECT_TRUE(whole.names[kNameFamily] && !whole.names[kNameFamily]->empty()) << s.name;
    ++per_format[s.format];
  }
  EXPECT_EQ(per_format[FontFormat::kSfnt], 4);  // with Noto Color Emoji
  EXPECT_EQ(per_format[FontFormat::kCollection], 1);
  EXPECT_GE(per_format[FontFormat::kFon], 40);
  EXPECT_EQ(per_format[FontFormat::kPfm], 1) << "the PFM comes from the orvane_make_test_pfm fixture";
  EXPECT_EQ(per_format[FontFormat::kWoff], 1);
  EXPECT_EQ(per_format[FontFormat::kWoff2], 1);
}

TEST_F(MalformedFonts, EveryVariantReturnsWithTheOutcomeItsLayoutDecides) {
  std::vector<FontInfo> source_info(sources_->size());
  for (size_t i = 0; i < sources_->size(); ++i) ReadWhole((*sources_)[i].bytes, source_info[i]);

  std::map<Expect, int> counts;
  std::map<WebFontProblem, int> web_problems;
  for (const MalformedFont& font : *corpus_) {
    ++counts[font.expect];
    ++web_problems[font.problem];
    FontInfo whole, own;
    int whole_result = ReadWhole(font.bytes, whole);
    int own_result = ReadOwn(font.format, ViewOf(font.bytes), own);
    RunEveryReader(font.bytes, font.name);
    ExpectSoundCoverage(whole.coverage, font.name);
    switch (font.expect) {
      case Expect::kAnything:
        break;
      case Expect::kRejected:
        EXPECT_EQ(own_result, 0) << font.name << ": " << Describe(own);
        break;
      case Expect::kRejectedByAll:
        EXPECT_EQ(own_result, 0) << font.name << ": " << Describe(own);
        EXPECT_EQ(whole_result, 0) << font.name << ": " << Describe(whole);
        if (font.problem != WebFontProblem::kNone) {
          EXPECT_EQ(static_cast<int>(whole.container.problem), static_cast<int>(font.problem))
              << font.name;
        }
        break;
      case Expect::kAsSource:
        EXPECT_EQ(own_result, 1) << font.name;
        EXPECT_EQ(whole_result, 1) << font.name;
        EXPECT_TRUE(SameRecord(whole, source_info[font.source]))
            << font.name << "\n  got  " << Describe(whole) << "\n  want "
            << Describe(source_info[font.source]);
        break;
      case Expect::kFace:
        EXPECT_EQ(own_result, 1) << font.name;
        EXPECT_EQ(own.names[kNameFamily], font.face) << font.name;
        EXPECT_EQ(own.names[kNameFull], font.face) << font.name;
        break;
    }
  }
  std::cout << corpus_->size() << " variants of " << sources_->size() << " fonts: "
            << counts[Expect::kRejected] + counts[Expect::kRejectedByAll] << " rejected, "
            << counts[Expect::kAsSource] << " read as the source, " << counts[Expect::kFace]
            << " with a known face, " << counts[Expect::kAnything] << " only returning\n";
  EXPECT_GT(counts[Expect::kRejectedByAll], 0);
  EXPECT_GT(counts[Expect::kAsSource], 0);
  EXPECT_GT(counts[Expect::kFace], 0);
  // Every reason a web font is refused for, but memory, has variants of its own.
  using P = WebFontProblem;
  for (P problem : {P::kTooLarge, P::kTruncated, P::kLengthMismatch, P::kOverlap,
                    P::kBadTransform, P::kCorrupt, P::kBadHeader})
    EXPECT_GE(web_problems[problem], 2) << static_cast<int>(problem);
}

// The same bytes through the file mapping give the same result; with
// ORVANE_WRITE_CORPUS=DIR the whole corpus is kept there for other tests.
TEST_F(MalformedFonts, FilesOnDiskReadAsTheirBytes) {
  const char* keep = std::getenv("ORVANE_WRITE_CORPUS");
  std::string dir = keep && *keep ? std::string(keep) : ScratchDir("malformed_fonts");
  std::vector<MalformedFont> files;
  for (const MalformedFont& font : *corpus_)
    if ((keep && *keep) || font.bytes.size() <= 64 * 1024) files.push_back(font);
  ASSERT_TRUE(WriteCorpus(files, dir)) << dir;
  for (const MalformedFont& font : files) {
    std::string path = (std::filesystem::path(dir) / font.name).string();
    FontInfo from_file, from_bytes;
    int file_result = ReadFontFile(path.c_str(), from_file);
    EXPECT_EQ(file_result, ReadWhole(font.bytes, from_bytes)) << font.name;
    EXPECT_TRUE(SameRecord(from_file, from_bytes)) << font.name;
  }
  if (!(keep && *keep)) std::filesystem::remove_all(dir);
}

struct RecordingSink : ReportSink {
  std::string text;
  void Clear() override { text.clear(); }
  void Insert(const char* piece) override { text += piece; }
  void SetBold(bool) override {}
  void CaretToStart() override {}
};

// The Info report of every variant's record shows each text as it stands: a
// name full of conversion sequences is printed, not used as a format.
TEST_F(MalformedFonts, InfoReportShowsEveryTextAsItStands) {
  SelectLanguage("English");
  FontSignatureWords all;
  for (uint32_t& word : all.unicode_ranges) word = 0xFFFFFFFF;
  for (uint32_t& word : all.code_pages) word = 0xFFFFFFFF;
  int with_sequences = 0;
  for (const MalformedFont& font : *corpus_) {
    FontInfo info;
    ReadWhole(font.bytes, info);
    RecordingSink report;
    BuildInfoReport(report, info, font.name.c_str(), all, ReportMetrics{});
    EXPECT_NE(report.text.find(font.name), std::string::npos) << font.name;
    for (int id : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 19, 20}) {
      if (!info.names[id]) continue;
      std::string shown = info.names[id]->c_str();  // the report prints up to a zero byte
      if (shown.size() > 60000) continue;           // pieces are cut at 64 KiB
      EXPECT_NE(report.text.find(shown), std::string::npos) << font.name << " name " << id;
      with_sequences += shown.find("%n") != std::string::npos;
    }
  }
  EXPECT_GT(with_sequences, 0);
}

// Extends a file to `size` bytes without writing them (a sparse file here).
bool ExtendFile(const std::string& path, uint64_t size) {
#ifdef _WIN32
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return ok;
#else
  return truncate(path.c_str(), static_cast<off_t>(size)) == 0;
#endif
}

// Only the low 32 bits of a file's size count: a font followed by 4 GiB reads as
// the font, and a file of exactly 4 GiB as an empty one.
TEST_F(MalformedFonts, FilesOfFourGigabytesAndMore) {
  const SourceFont* marlett = nullptr;
  for (const SourceFont& s : *sources_)
    if (s.name == "marlett") marlett = &s;
  ASSERT_TRUE(marlett);
  std::string dir = ScratchDir("four_gigabytes");
  std::string path = (std::filesystem::path(dir) / "big.ttf").string();
  MalformedFont font;
  font.name = "big.ttf";
  font.bytes = marlett->bytes;
  ASSERT_TRUE(WriteCorpus({font}, dir));
  ASSERT_TRUE(ExtendFile(path, (uint64_t{1} << 32) + marlett->bytes.size()));
  FontInfo expected, big;
  ASSERT_EQ(ReadWhole(marlett->bytes, expected), 1);
  EXPECT_EQ(ReadFontFile(path.c_str(), big), 1);
  EXPECT_TRUE(SameRecord(big, expected)) << Describe(big);

  ASSERT_TRUE(ExtendFile(path, uint64_t{1} << 32));
  FontInfo empty;
  EXPECT_EQ(ReadFontFile(path.c_str(), empty), 0);
  std::filesystem::remove_all(dir);
}

}  // namespace
