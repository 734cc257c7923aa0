// A web font's extended metadata as the Info report's lines: elements known or
// not, attributes, text, entities; and XML that tries to fetch, nest or grow.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/metadata_text.h"

namespace {

// The lines as one text, each indented by two spaces per level, after the
// elements it lies in.
std::string Shown(const std::string& xml) {
  std::string out;
  for (const MetadataLine& line : MetadataLines(xml))
    out += std::string(2 * static_cast<size_t>(line.depth), ' ') +
           (line.path.empty() ? "" : line.path + " / ") + line.text + "\n";
  return out;
}

TEST(MetadataText, ElementsAttributesAndText) {
  struct Case {
    const char* xml;
    const char* shown;
  } cases[] = {
      {"<metadata version=\"1.0\"><uniqueid id=\"a.b\"/></metadata>",
       "metadata [version=1.0]\n  uniqueid [id=a.b]\n"},
      {"<vendor name='Single' url=\"http://v\" />", "vendor [name=Single, url=http://v]\n"},
      {"<credits>\n  <credit name=\"Ann\" role=\"design\"/>\n  <credit name=\"Bob\"/>\n</credits>",
       "credits\n  credit [name=Ann, role=design]\n  credit [name=Bob]\n"},
      // Text around a child stays with its element; blanks collapse.
      {"<text lang=\"en\">A   face\n for <b>code</b> and more</text>",
       "text [lang=en]: A face for and more\n  b: code\n"},
      // The format's markup inside a text flows into it; other elements are lines.
      {"<text>A <span dir=\"rtl\">right</span> <div>word</div></text>", "text: A right word\n"},
      {"<m><extension><item><name>N</name></item></extension></m>",
       "m\n  extension\n    extension / item\n      extension / item / name: N\n"},
      {"<unknownthing color=\"green\">Shown as text</unknownthing>",
       "unknownthing [color=green]: Shown as text\n"},
      {"<t>&amp;&lt;&gt;&quot;&apos; &#65;&#x42; &#x2013;</t>", "t: &<>\"' AB \xE2\x80\x93\n"},
      // Entities no one declared, and references to no character, stay as written.
      {"<t>&ext; &nbsp; &#0; &#xD800; &#99999999; &; &amp</t>",
       "t: &ext; &nbsp; &#0; &#xD800; &#99999999; &; &amp\n"},
      {"<t><![CDATA[<not> &amp; a tag]]></t>", "t: <not> &amp; a tag\n"},
      // The declaration, a DOCTYPE with an internal subset, comments, instructions.
      {"<?xml version=\"1.0\"?><!DOCTYPE m [ <!ENTITY e SYSTEM \"http://x/y\"> ]>"
       "<!-- <hidden/> --><m><?pi data?>x</m>",
       "m: x\n"},
      {"", ""},
      {"text outside any element", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Shown(c.xml), c.shown) << c.xml;
}

TEST(MetadataText, MalformedXmlGivesWhatCouldBeRead) {
  struct Case {
    const char* xml;
    const char* shown;
  } cases[] = {
      {"<a><b>unclosed", "a\n  b: unclosed\n"},
      {"<a name=\"no end", "a [name=no end]\n"},
      {"</a></b><c/>", "c\n"},
      {"<a =\"v\" b>x</a>", "a [b=]: x\n"},
      {"<!-- never closed <a/>", ""},
      {"<![CDATA[outside", ""},
      {"<", "\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Shown(c.xml), c.shown) << c.xml;
}

TEST(MetadataText, DepthLinesAndLengthAreBounded) {
  std::string deep;
  for (int i = 0; i < 100; ++i) deep += "<e>";
  const auto nested = MetadataLines(deep);
  ASSERT_EQ(nested.size(), 100u);
  EXPECT_EQ(nested[15].depth, 15);
  EXPECT_EQ(nested.back().depth, kMaxMetadataDepth);

  std::string many;
  for (int i = 0; i < 5000; ++i) many += "<e/>";
  EXPECT_EQ(MetadataLines(many).size(), kMaxMetadataLines);

  const std::string long_text = "<t>" + std::string(10000, 'x') + "</t>";
  const auto lines = MetadataLines(long_text);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text.size(), kMaxMetadataLineLength);
}

TEST(MetadataText, Utf8BecomesTheCodePage) {
  EXPECT_EQ(Utf8ToAnsi("plain"), "plain");
  // Off Windows the code page is Windows-1252; under Wine the test's code page is that too.
  EXPECT_EQ(Utf8ToAnsi("caf\xC3\xA9 \xE2\x80\x93"), "caf\xE9 \x96");
  // A stray continuation byte, each byte of a cut sequence, of an overlong form:
  // one character each.
  EXPECT_EQ(Utf8ToAnsi("a\x80" "b\xE2\x80").size(), 5u);
  EXPECT_EQ(Utf8ToAnsi("\xC0\xAF").size(), 2u);
  EXPECT_EQ(Utf8ToAnsi(""), "");
}

}  // namespace
