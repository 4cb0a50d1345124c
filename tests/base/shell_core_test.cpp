// The shell's rules that need no window: text decoding, number formats,
// units, access codes, the label pass and the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>

#include "../test_files.h"
#include "core/base/access_modes.h"
#include "core/base/app_options.h"
#include "core/base/app_paths.h"
#include "core/base/control_ids.h"
#include "core/base/hex_text.h"
#include "core/base/language_table.h"
#include "core/base/network_port_name.h"
#include "core/base/number_format.h"
#include "core/base/pressure_units.h"
#include "core/base/text_encoding.h"

namespace vrx4 {
namespace {

// Text files: UTF-8 kept, Windows-1252 converted.
TEST(TextAndNumbers, Utf8KeptWindows1252ConvertedPointDecimalsAndUnits) {
  EXPECT_EQ(decodeTextFile("\xEF\xBB\xBF" "Fran\xC3\xA7" "ais"), "Fran\xC3\xA7" "ais");
  EXPECT_EQ(decodeTextFile("Fran\xE7" "ais \x80"), "Fran\xC3\xA7" "ais \xE2\x82\xAC");
  EXPECT_EQ(decodeTextFile("\x81"), "\xEF\xBF\xBD");  // unassigned byte
  // Overlong, a surrogate, cut short at the end; a 4-byte character.
  EXPECT_EQ((std::array{isValidUtf8("\xC0\xAF"), isValidUtf8("\xED\xA0\x80"), isValidUtf8("ab\xE2\x82"),
                        isValidUtf8("\xF0\x9F\x98\x80")}),
            (std::array{false, false, false, true}));

  // Numbers with a point decimal whatever the locale.
  const bool comma = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr || std::setlocale(LC_ALL, "fr_FR.UTF-8") != nullptr;
  // -0.04 as printf shows it.
  EXPECT_EQ((std::array{formatFixed(6.0, 3), formatFixed(-0.04, 1), formatFixed(5.0, 2, 1), formatFixed(5.0, 6, 1),
                        formatFixed(1.0 / 0.0, 1), hex_text::byte(0x0A)}),
            (std::array<std::string, 6>{"6.000", "-0.0", "5.0", "   5.0", "---", "0A"}));
  std::setlocale(LC_ALL, "C");

  // The formats by unit and mode are checked through the LIVE page's
  // values; a stored unit above 3 counts as bar.
  EXPECT_EQ(pressureFactor(7), 1.0f);
  EXPECT_STREQ(unitSuffix(7), " [bar]");
  EXPECT_EQ((std::array{automaticRange(255), automaticRange(11), automaticRange(254), automaticRange(10)}),
            (std::array<std::uint8_t, 4>{0, 1, 1, 0}));
  if (!comma) GTEST_SKIP() << "no German or French locale installed to prove the point decimal against";
}

TEST(AccessModes, CodesAndNavigation) {
  EXPECT_EQ(modeForCode("kafter"), 4u);
  for (const char* wrong : {"Kafter", "kafter ", ""}) EXPECT_EQ(modeForCode(wrong), std::nullopt) << wrong;
  const int all[] = {1055, 1056, 1057, 1058, 1059, 1060, 1061, 1062, 1063, 1064, 1065, 1066};
  const int visible[] = {0, 4, 10, 10, 12};
  for (std::uint32_t mode = 0; mode <= 4; ++mode)
    EXPECT_EQ(std::ranges::count_if(all, [mode](int id) { return navigationVisible(id, mode); }), visible[mode]) << mode;
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

TEST(LanguageTable, PassRulesAndInformationLines) {
  ProfileFile f;
  f.setText(kLanguage);
  const LabelTarget p2{dialog::kLive, 1043}, caption{dialog::kView, view_id::kModeCaption},
      status{dialog::kView, view_id::kStatusText}, home{dialog::kView, view_id::kHome};

  LabelPass en = computeLabels(f, 0, unit::kPsi, 1, /*lampRed=*/true);
  EXPECT_EQ(en.keysLookedUp.size(), labelTable().size() - 2);  // two of the three caption rows are skipped
  EXPECT_EQ((std::array{textOf(en, p2), textOf(en, {dialog::kAlarm, 1213}), textOf(en, caption), textOf(en, status),
                        en.keptText(Kept::TransferDone), textOf(en, {dialog::kCtrl, 1146})}),
            (std::array<std::string, 6>{"P2 [PSI]", " [PSI]", "VISUALISATION", "No link", "Done", "CONTROL [PSI]"}));

  const LabelPass pro = computeLabels(f, 0, 0, 4, false);
  EXPECT_EQ((std::array{textOf(pro, caption), textOf(pro, status)}), (std::array<std::string, 2>{"SETTING PRO", "Link OK"}));
  EXPECT_EQ(textOf(computeLabels(f, 0, 0, 0, false), caption), "");  // before the terms

  // A language without a section blanks everything; an unknown number too.
  LabelPass de = computeLabels(f, 2, 0, 1, false);
  EXPECT_EQ((std::array{textOf(de, home), textOf(de, p2)}), (std::array<std::string, 2>{"", " [bar]"}));
  EXPECT_EQ(textOf(computeLabels(f, 9, 0, 1, false), home), "");
  EXPECT_EQ(textOf(computeLabels(f, 1, 0, 3, false), caption), "REGLAGE PRO");
  EXPECT_EQ((std::array{modeCaption(f, 1, 4), modeCaption(f, 1, 0)}), (std::array<std::string, 2>{"REGLAGE PRO", ""}));

  // The information lines, one per code.
  ProfileFile errors;
  errors.setText("[ENGLISH]\n0=\n3=Sensor fault\n[DEUTSCH]\n3=Sensorfehler\n");
  const std::array<std::uint8_t, 8> info{3, 0, 0, 0, 0, 0, 0, 200};
  EXPECT_EQ(informationText(errors, 0, info), "Sensor fault\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
  EXPECT_EQ(informationText(errors, 2, info).substr(0, 14), "Sensorfehler\r\n");
  EXPECT_EQ(informationText(errors, 1, info), "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");  // no FRANCAIS section
}

TEST(AppOptions, CommandLineAndPaths) {
  AppOptions o = parseAppOptions({"--simulate", "--config", "/tmp/x.ini"});
  EXPECT_EQ(std::tuple(o.simulate, o.config, o.error), std::tuple(true, "/tmp/x.ini", ""));
  EXPECT_EQ(parseAppOptions({"--port=/dev/ttyUSB0"}).port, "/dev/ttyUSB0");
  for (const auto& args : {std::vector<std::string>{"--port"}, {"--bogus"}, {"--simulate", "--port", "COM2"}})
    EXPECT_FALSE(parseAppOptions(args).error.empty()) << args[0];

  EXPECT_EQ((std::array{defaultConfigDirectory("/x/cfg", "/home/t"), defaultConfigDirectory("", "/home/t"),
                        defaultConfigDirectory("relative", "/home/t"), settingsFilePath("", "/c/vrx4/"),
                        settingsFilePath("/tmp/", "/c"), settingsFilePath("/some dir/my.ini", "/c"),
                        directoryOf("/a b/c/vrx4")}),
            (std::array<std::string, 7>{"/x/cfg/vrx4/", "/home/t/.config/vrx4/", "/home/t/.config/vrx4/",
                                        "/c/vrx4/VRX4.ini", "/tmp/VRX4.ini", "/some dir/my.ini", "/a b/c/"}));

  // Missing data files are named with every place looked in.
  const testing::TempDir temp;
  const std::string& dir = temp.path;
  const auto candidates = dataDirectoryCandidates(dir + "/bin", "/usr/share/vrx4");
  EXPECT_EQ(candidates, (std::vector<std::string>{dir + "/bin/", dir + "/share/vrx4/", "/usr/share/vrx4/"}));
  EXPECT_EQ(findDataDirectory(dir + "/bin", "/usr/share/vrx4"), "/usr/share/vrx4/");
  // Which files are missing: the startup test; here every place is named.
  const std::string text = missingDataFileMessage("Language.ini", candidates);
  for (const std::string& where : candidates) EXPECT_NE(text.find(where + "Language.ini"), std::string::npos) << text;
  EXPECT_EQ(text.rfind("The data file Language.ini was not found.", 0), 0u) << text;
}

// Network port names: what a technician may type after --port, in the
// settings file or in the port dialog.
TEST(NetworkPortName, HostAndPortOfEachSchemeAndAClearReasonForAMalformedName) {
  using enum NetworkPortName::Protocol;
  const auto parsed = [](const char* name) {
    const auto n = parseNetworkPortName(name);
    return n ? std::tuple(n->protocol, n->host, n->port) : std::tuple(Raw, std::string("(refused)"), 0u);
  };
  EXPECT_EQ(parsed("tcp://line3-server.plant:4001"), std::tuple(Raw, "line3-server.plant", 4001u));
  EXPECT_EQ(parsed("rfc2217://[fe80::1%eth0]:65535"), std::tuple(Rfc2217, "fe80::1%eth0", 65535u));

  for (const char* local : {"COM1", "/dev/ttyUSB0", "tcp:/x:1", "TCP://x:1"}) {
    EXPECT_FALSE(isNetworkPortName(local)) << local;
    EXPECT_EQ(portNameProblem(local), "") << local;
  }
  const std::pair<const char*, const char*> bad[] = {
      {"tcp://10.0.0.5", "no port number: write tcp://HOST:PORT"},
      {"rfc2217://host:", "no port number: write rfc2217://HOST:PORT"},
      {"tcp://:4001", "no host name or address: write tcp://HOST:PORT"},
      {"tcp://host:0", "'0' is not a port number (1 to 65535)"},
      {"tcp://host:65536", "'65536' is not a port number (1 to 65535)"},
      {"tcp://host:40x1", "'40x1' is not a port number (1 to 65535)"},
      {"tcp://host:-1", "'-1' is not a port number (1 to 65535)"},
      {"tcp://::1:4001", "an IPv6 address goes in brackets: tcp://[ADDRESS]:PORT"},
      {"tcp://[::1:4001", "no closing bracket after the IPv6 address: write tcp://HOST:PORT"},
      {"tcp://[::1]4001", "no port number: write tcp://HOST:PORT"},
  };
  for (const auto& [name, why] : bad) {
    std::string error;
    EXPECT_FALSE(parseNetworkPortName(name, &error)) << name;
    EXPECT_EQ(error, why) << name;
    EXPECT_EQ(portNameProblem(name), why) << name;
  }
  // The desktop program refuses such a --port before it opens a window.
  EXPECT_EQ(parseAppOptions({"--port", "tcp://10.0.0.5"}).error,
            "--port tcp://10.0.0.5: no port number: write tcp://HOST:PORT");
  EXPECT_EQ(parseAppOptions({"--port=rfc2217://10.0.0.5:4001"}).error, "");
}

}  // namespace
}  // namespace vrx4
