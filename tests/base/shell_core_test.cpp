// The shell's rules that need no window: text decoding, number formats,
// units, access codes, the label pass and the command line.
#include <gtest/gtest.h>

#include <vector>

#include <clocale>
#include <cstdio>
#include <fstream>
#include <string>

#include "../test_files.h"
#include "core/base/access_modes.h"
#include "core/base/app_options.h"
#include "core/base/app_paths.h"
#include "core/base/control_ids.h"
#include "core/base/hex_text.h"
#include "core/base/language_table.h"
#include "core/base/number_format.h"
#include "core/base/pressure_units.h"
#include "core/base/text_encoding.h"

namespace vrx4 {
namespace {

TEST(TextEncoding, Utf8KeptWindows1252Converted) {
  EXPECT_EQ(decodeTextFile("\xEF\xBB\xBF" "Fran\xC3\xA7" "ais"), "Fran\xC3\xA7" "ais");
  EXPECT_EQ(decodeTextFile("Fran\xE7" "ais \x80"), "Fran\xC3\xA7" "ais \xE2\x82\xAC");
  EXPECT_EQ(decodeTextFile("\x81"), "\xEF\xBF\xBD");  // unassigned byte
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));              // overlong
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));          // surrogate
  EXPECT_FALSE(isValidUtf8("ab\xE2\x82"));            // cut short at the end
  EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80"));
}

TEST(NumberFormat, PointDecimalWhateverTheLocale) {
  const char* german = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"})
    if (std::setlocale(LC_ALL, name) != nullptr) {
      german = name;
      break;
    }
  if (german != nullptr) {
    char probe[32];
    std::snprintf(probe, sizeof probe, "%.3f", 6.0);
    EXPECT_STREQ(probe, "6,000") << "the locale " << german << " should use a comma";
  }
  EXPECT_EQ(formatFixed(6.0, 3), "6.000");
  EXPECT_EQ(formatFixed(-0.04, 1), "-0.0");  // as printf shows it
  EXPECT_EQ(formatFixed(5.0, 2, 1), "5.0");
  EXPECT_EQ(formatFixed(5.0, 6, 1), "   5.0");
  EXPECT_EQ(formatFixed(1.0 / 0.0, 1), "---");
  EXPECT_EQ(hex_text::byte(0x0A), "0A");
  std::setlocale(LC_ALL, "C");
  if (german == nullptr) GTEST_SKIP() << "no German or French locale installed to prove it against";
}

TEST(PressureUnits, UnknownUnitIsBarAndTheAutomaticRange) {
  // The formats by unit and mode are checked through the LIVE page's
  // values; a stored unit above 3 counts as bar.
  EXPECT_EQ(pressureFactor(7), 1.0f);
  EXPECT_STREQ(unitSuffix(7), " [bar]");
  EXPECT_EQ(automaticRange(255), 0);
  EXPECT_EQ(automaticRange(11), 1);
  EXPECT_EQ(automaticRange(254), 1);
  EXPECT_EQ(automaticRange(10), 0);
}

TEST(AccessModes, CodesAndNavigation) {
  EXPECT_EQ(modeForCode("vesko"), 2u);
  EXPECT_EQ(modeForCode("mindrola"), 3u);
  EXPECT_EQ(modeForCode("kafter"), 4u);
  EXPECT_EQ(modeForCode("Kafter"), std::nullopt);
  EXPECT_EQ(modeForCode("kafter "), std::nullopt);
  EXPECT_EQ(modeForCode(""), std::nullopt);
  const int all[] = {1055, 1056, 1057, 1058, 1059, 1060, 1061, 1062, 1063, 1064, 1065, 1066};
  const int visible[] = {0, 4, 10, 10, 12};
  for (std::uint32_t mode = 0; mode <= 4; ++mode) {
    int n = 0;
    for (int id : all) n += navigationVisible(id, mode) ? 1 : 0;
    EXPECT_EQ(n, visible[mode]) << mode;
  }
  EXPECT_FALSE(navigationVisible(view_id::kCalibration, 3));
  EXPECT_TRUE(navigationVisible(view_id::kAfterSales, 4));
}

const char* kLanguage =
    "[ENGLISH]\nP2=P2\nCTRL=CONTROL\ncommunicate=Link OK\nNO communicate=No link\n"
    "VISUALISATION=VISUALISATION\nSETTING=SETTING\nSETTING PRO=SETTING PRO\nOK=OK\n"
    "Reset VRX=Done\nHOME=HOME\n"
    "[FRANCAIS]\nP2=P2\nHOME=ACCUEIL\nSETTING PRO=REGLAGE PRO\n";

std::string textOf(const LabelPass& pass, LabelTarget t) {
  std::string found = "<none>";
  for (const auto& a : pass.texts)
    if (a.target == t) found = a.text;  // the last assignment wins
  return found;
}

TEST(LanguageTable, PassRules) {
  ProfileFile f;
  f.setText(kLanguage);
  const LabelTarget p2{dialog::kLive, 1043}, caption{dialog::kView, view_id::kModeCaption},
      status{dialog::kView, view_id::kStatusText}, home{dialog::kView, view_id::kHome};

  LabelPass en = computeLabels(f, 0, unit::kPsi, 1, /*lampRed=*/true);
  EXPECT_EQ(en.keysLookedUp.size(), labelTable().size() - 2);  // two of the three caption rows are skipped
  EXPECT_EQ(textOf(en, p2), "P2 [PSI]");
  EXPECT_EQ(textOf(en, {dialog::kAlarm, 1213}), " [PSI]");
  EXPECT_EQ(textOf(en, caption), "VISUALISATION");
  EXPECT_EQ(textOf(en, status), "No link");
  EXPECT_EQ(en.keptText(Kept::TransferDone), "Done");
  EXPECT_EQ(textOf(en, {dialog::kCtrl, 1146}), "CONTROL [PSI]");

  EXPECT_EQ(textOf(computeLabels(f, 0, 0, 4, false), caption), "SETTING PRO");
  EXPECT_EQ(textOf(computeLabels(f, 0, 0, 4, false), status), "Link OK");
  EXPECT_EQ(textOf(computeLabels(f, 0, 0, 0, false), caption), "");  // before the terms

  // A language without a section blanks everything; an unknown number too.
  LabelPass de = computeLabels(f, 2, 0, 1, false);
  EXPECT_EQ(textOf(de, home), "");
  EXPECT_EQ(textOf(de, p2), " [bar]");
  EXPECT_EQ(textOf(computeLabels(f, 9, 0, 1, false), home), "");
  EXPECT_EQ(textOf(computeLabels(f, 1, 0, 3, false), caption), "REGLAGE PRO");
  EXPECT_EQ(modeCaption(f, 1, 4), "REGLAGE PRO");
  EXPECT_EQ(modeCaption(f, 1, 0), "");
}

TEST(LanguageTable, InformationLines) {
  ProfileFile errors;
  errors.setText("[ENGLISH]\n0=\n3=Sensor fault\n[DEUTSCH]\n3=Sensorfehler\n");
  const std::array<std::uint8_t, 8> info{3, 0, 0, 0, 0, 0, 0, 200};
  EXPECT_EQ(informationText(errors, 0, info), "Sensor fault\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
  EXPECT_EQ(informationText(errors, 2, info).substr(0, 14), "Sensorfehler\r\n");
  EXPECT_EQ(informationText(errors, 1, info), "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");  // no FRANCAIS section
}

TEST(AppOptions, CommandLineAndPaths) {
  AppOptions o = parseAppOptions({"--simulate", "--config", "/tmp/x.ini"});
  EXPECT_TRUE(o.simulate);
  EXPECT_EQ(o.config, "/tmp/x.ini");
  EXPECT_TRUE(o.error.empty());
  EXPECT_EQ(parseAppOptions({"--port=/dev/ttyUSB0"}).port, "/dev/ttyUSB0");
  EXPECT_FALSE(parseAppOptions({"--port"}).error.empty());
  EXPECT_FALSE(parseAppOptions({"--bogus"}).error.empty());
  EXPECT_FALSE(parseAppOptions({"--simulate", "--port", "COM2"}).error.empty());

  EXPECT_EQ(defaultConfigDirectory("/x/cfg", "/home/t"), "/x/cfg/vrx4/");
  EXPECT_EQ(defaultConfigDirectory("", "/home/t"), "/home/t/.config/vrx4/");
  EXPECT_EQ(defaultConfigDirectory("relative", "/home/t"), "/home/t/.config/vrx4/");
  EXPECT_EQ(settingsFilePath("", "/c/vrx4/"), "/c/vrx4/VRX4.ini");
  EXPECT_EQ(settingsFilePath("/tmp/", "/c"), "/tmp/VRX4.ini");
  EXPECT_EQ(settingsFilePath("/some dir/my.ini", "/c"), "/some dir/my.ini");
  EXPECT_EQ(directoryOf("/a b/c/vrx4"), "/a b/c/");
}

TEST(AppPaths, MissingDataFilesAreNamedWithEveryPlaceLookedIn) {
  const testing::TempDir temp;
  const std::string dir = temp.path;
  const auto candidates = dataDirectoryCandidates(dir + "/bin", "/usr/share/vrx4");
  EXPECT_EQ(candidates, (std::vector<std::string>{dir + "/bin/", dir + "/share/vrx4/", "/usr/share/vrx4/"}));
  EXPECT_EQ(findDataDirectory(dir + "/bin", "/usr/share/vrx4"), "/usr/share/vrx4/");
  EXPECT_EQ(missingDataFiles(dir), (std::vector<std::string>{"Language.ini", "Error.ini"}));
  std::ofstream(dir + "/Error.ini") << "[ENGLISH]\n";
  EXPECT_EQ(missingDataFiles(dir + "/"), (std::vector<std::string>{"Language.ini"}));

  const std::string text = missingDataFileMessage("Language.ini", candidates);
  for (const std::string& where : candidates) EXPECT_NE(text.find(where + "Language.ini"), std::string::npos) << text;
  EXPECT_EQ(text.rfind("The data file Language.ini was not found.", 0), 0u) << text;
}

}  // namespace
}  // namespace vrx4
