// The shipped data files: every label the program looks up exists in every
// language, every information code the regulator can report has a text, and
// the terms documents read back as the text they were written from. The
// rich-text reader of the terms page: the styles and characters the terms
// documents use, the header groups it must not show, and documents that
// are broken or hostile.
#include <gtest/gtest.h>

#include <random>

#include "../test_files.h"
#include "core/base/language_table.h"
#include "core/base/profile_file.h"
#include "core/base/rtf_reader.h"
#include "core/base/text_encoding.h"

namespace vrx4 {
namespace {

// The text of every run, each paragraph ended by "|".
std::string plain(const std::vector<RtfParagraph>& paragraphs) {
  std::string all;
  for (const auto& p : paragraphs) {
    for (const auto& r : p.runs) all += r.text;
    all += '|';
  }
  return all;
}

const std::string kData = VRX4_SOURCE_DATA_DIR;
using testing::readFile;

// Every label key has a text in every language; every information code
// has one, and code 0 is blank (no message).
TEST(DataFiles, EveryLabelKeyAndInformationCodeHasATextInEveryLanguage) {
  for (const char* name : {"/Language.ini", "/Error.ini"}) EXPECT_TRUE(isValidUtf8(readFile(kData + name))) << name << " must be UTF-8";
  const ProfileFile labels(kData + "/Language.ini"), errors(kData + "/Error.ini");
  for (std::uint8_t language = 0; language < 4; ++language) {
    const std::string_view section = languageSection(language);
    for (const LabelRow& row : labelTable()) {
      const auto value = labels.find(section, row.key);
      ASSERT_TRUE(value.has_value()) << section << ": missing key \"" << row.key << "\"";
      EXPECT_FALSE(value->empty()) << section << ": empty value for \"" << row.key << "\"";
    }
    const auto zero = errors.find(section, "0");
    ASSERT_TRUE(zero.has_value()) << section;
    EXPECT_TRUE(zero->empty()) << section << ": code 0 means no message";
    for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 255})
      EXPECT_FALSE(errors.getString(section, std::to_string(code), "").empty()) << section << " code " << code;
  }
  // The button the English terms name.
  EXPECT_EQ(labels.getString("ENGLISH", "I agree", ""), "I Agree");
}

TEST(DataFiles, TermsDocumentsReadCleanlyWithTheirAccents) {
  // Each with a phrase that has characters outside ASCII.
  for (auto [name, expected] : {std::pair{"terms-185-en.rtf", "By pressing \"I Agree\""}, {"terms-186-fr.rtf", "« J'accepte »"},
                                {"terms-184-de.rtf", "„Ich stimme zu“"}, {"terms-183-it.rtf", "È destinato"}}) {
    const std::string text = readFile(kData + "/terms/" + name);
    std::string error;
    const auto paragraphs = parseRtf(text, &error);
    EXPECT_EQ(error, "") << name;
    ASSERT_GE(paragraphs.size(), 10u) << name;
    const std::string all = plain(paragraphs);
    EXPECT_NE(all.find(expected), std::string::npos) << name;
    EXPECT_EQ(all.find("Arial"), std::string::npos) << name << ": the font table is not text";
  }
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
  // The reason, and the text read before it.
  std::string error;
  for (auto [text, why, read] : {std::tuple<std::string, std::string, std::string>{"plain text", "not a rich-text document", ""},
                                 {"{\\rtf1 cut {\\b short", "document cut short", "cut short|"},
                                 {"{\\rtf1 a}}b", "unbalanced braces", "a|"},
                                 {"{\\rtf1 \\'zz}", "bad \\' character", ""},
                                 {"{\\rtf1 \\'", "bad \\' character", ""},
                                 {"{\\rtf1 \\", "document cut short", ""},
                                 {"{\\rtf1 " + std::string(100000, '{'), "groups nested too deeply", ""}}) {
    EXPECT_EQ(plain(parseRtf(text, &error)), read) << text.substr(0, 20);
    EXPECT_EQ(error, why) << text.substr(0, 20);
  }

  // A document that ends inside a number is not read past its end.
  const std::string longer = "{\\rtf1 \\u65";
  EXPECT_EQ(plain(parseRtf(std::string_view(longer).substr(0, longer.size() - 1))).find('A'), std::string::npos);

  // A huge number or word is read without overflow.
  EXPECT_NE(plain(parseRtf("{\\rtf1 \\fs99999999999999999999 \\" + std::string(200, 'a') + " x}")).find('x'), std::string::npos);
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
    for (const auto& p : parseRtf(text))
      for (const auto& r : p.runs) EXPECT_GT(r.halfPoints, 0);
  }
}

}  // namespace
}  // namespace vrx4
