// The rich-text reader of the terms page: the styles and characters the
// terms documents use, the header groups it must not show, and documents
// that are broken or hostile.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/base/rtf_reader.h"

namespace vrx4 {
namespace {

std::string plain(const std::vector<RtfParagraph>& paragraphs) {
  std::string all;
  for (const auto& p : paragraphs) {
    for (const auto& r : p.runs) all += r.text;
    all += '|';
  }
  return all;
}

TEST(RtfReader, StylesGroupsParagraphsAndCharactersOutsideAscii) {
  std::string error;
  const auto doc = parseRtf(
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue0;}"
      "{\\*\\generator Writer;}\\fs20 Plain {\\b bold {\\i both}} \\ul under\\ulnone  back\\par"
      "{\\fs32 big} \\b0 x\\par}",
      &error);
  EXPECT_EQ(error, "");
  ASSERT_EQ(doc.size(), 2u);
  EXPECT_EQ(plain(doc), "Plain bold both under back|big x|");
  // Bold, italic, underline of each run: a group's style ends with the group.
  std::string styles;
  for (const auto& r : doc[0].runs) styles += std::string(r.bold ? "b" : "") + (r.italic ? "i" : "") + (r.underline ? "u" : "") + "|";
  EXPECT_EQ(styles, "|b|bi||u||");
  EXPECT_EQ((std::array{doc[0].runs[0].halfPoints, doc[1].runs[0].halfPoints, doc[1].runs[1].halfPoints}),
            (std::array{20, 32, 20}));

  // \'hh is Windows-1252; \uN stands for a character with N fallback bytes
  // after it (\ucN); negative N is the 16-bit value read as signed.
  const auto chars = parseRtf("{\\rtf1 f\\'fcr \\'84x\\'93 \\u8364? \\uc2\\u-3?? \\uc0\\u233\\'e9 \\{\\}\\\\}");
  EXPECT_EQ(plain(chars), "für „x“ € \xEF\xBF\xBD éé {}\\|");
}

TEST(RtfReader, BrokenDocumentsGiveWhatCouldBeReadAndAReason) {
  std::string error;
  EXPECT_TRUE(parseRtf("plain text", &error).empty());
  EXPECT_EQ(error, "not a rich-text document");
  auto doc = parseRtf("{\\rtf1 cut {\\b short", &error);
  EXPECT_EQ(error, "document cut short");
  EXPECT_EQ(plain(doc), "cut short|");
  for (auto [text, why] : {std::pair<std::string, std::string>{"{\\rtf1 a}}b", "unbalanced braces"},
                           {"{\\rtf1 \\'zz}", "bad \\' character"},
                           {"{\\rtf1 \\", "document cut short"},
                           {"{\\rtf1 " + std::string(100000, '{'), "groups nested too deeply"}}) {
    parseRtf(text, &error);
    EXPECT_EQ(error, why) << text.substr(0, 20);
  }
  parseRtf("{\\rtf1 \\'", &error);
  EXPECT_FALSE(error.empty());

  // A document that ends inside a number is not read past its end.
  const std::string longer = "{\\rtf1 \\u65";
  EXPECT_EQ(plain(parseRtf(std::string_view(longer).substr(0, longer.size() - 1))).find('A'), std::string::npos);

  // A huge number or word is read without overflow.
  doc = parseRtf("{\\rtf1 \\fs99999999999999999999 \\" + std::string(200, 'a') + " x}", &error);
  EXPECT_NE(plain(doc).find('x'), std::string::npos);
}

TEST(RtfReader, RandomBytesAndCutsNeverReadOutOfBounds) {
  const std::string seed =
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\b\\fs24 Title}\\par f\\'fcr \\u8222? {\\i x}\\par}";
  std::mt19937 random(7);
  const std::string alphabet = "{}\\'*bfsiuclpar0123456789-? \r\nxyz\xE9";
  for (int round = 0; round < 1000; ++round) {
    std::string text = seed.substr(0, random() % (seed.size() + 1));
    const int edits = static_cast<int>(random() % 8);
    for (int e = 0; e < edits && !text.empty(); ++e)
      text[random() % text.size()] = alphabet[random() % alphabet.size()];
    std::string error;
    const auto doc = parseRtf(text, &error);
    for (const auto& p : doc)
      for (const auto& r : p.runs) EXPECT_GT(r.halfPoints, 0);
  }
}

}  // namespace
}  // namespace vrx4
