// The shipped data files: every label the program looks up exists in every
// language, every information code the regulator can report has a text, and
// the terms documents read back as the text they were written from.
#include <gtest/gtest.h>

#include "../test_files.h"
#include "core/base/language_table.h"
#include "core/base/profile_file.h"
#include "core/base/rtf_reader.h"
#include "core/base/text_encoding.h"

namespace vrx4 {
namespace {

const std::string kData = VRX4_SOURCE_DATA_DIR;
using testing::readFile;

// Every label key has a text in every language; every information code
// has one, and code 0 is blank (no message).
TEST(DataFiles, EveryLabelKeyAndInformationCodeHasATextInEveryLanguage) {
  EXPECT_TRUE(isValidUtf8(readFile(kData + "/Language.ini"))) << "Language.ini must be saved as UTF-8";
  EXPECT_TRUE(isValidUtf8(readFile(kData + "/Error.ini")));
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
    ASSERT_FALSE(text.empty()) << name;
    std::string error, all;
    const auto paragraphs = parseRtf(text, &error);
    EXPECT_EQ(error, "") << name;
    ASSERT_GE(paragraphs.size(), 10u) << name;
    for (const auto& p : paragraphs)
      for (const auto& r : p.runs) all += r.text;
    EXPECT_NE(all.find(expected), std::string::npos) << name;
    EXPECT_EQ(all.find("Arial"), std::string::npos) << name << ": the font table is not text";
  }
}

}  // namespace
}  // namespace vrx4
