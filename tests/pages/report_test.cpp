// The commissioning report's contents: what each section says, the lines
// in the diagram's pixels, the differences from a golden file, the words
// in every language, and the text file that carries them to the PDF
// helper (never a crash on a damaged one).
#include <gtest/gtest.h>

#include <random>

#include "core/base/language_table.h"
#include "core/base/profile_file.h"
#include "core/memory/config_diff.h"
#include "core/pages/report_contents.h"
#include "core/pages/report_file.h"
#include "core/sim/factory_images.h"

namespace vrx4 {
namespace {

Images factory() {
  const auto f = sim::factoryImages();
  Images im;
  im.g_optionDevice = f.option;
  im.g_baseDevice = f.base;
  return im;
}

const report::Section& section(const report::Contents& c, const std::string& title) {
  for (const auto& s : c.sections)
    if (s.title == title) return s;
  ADD_FAILURE() << "no section " << title;
  static const report::Section none;
  return none;
}

std::string value(const report::Section& s, const std::string& label) {
  for (const auto& r : s.rows)
    if (r.label == label) return r.value;
  return "(no row " + label + ")";
}

report::Inputs inputs(const Images& images) {
  report::Inputs in;
  in.images = images;
  in.units = PageUnits::of(unit::kBar, 0, access::kSetting);
  in.source = {false, "/dev/ttyUSB0", false};
  in.version = "01.04";
  in.note = "J. Smith, press 7";
  return in;
}

TEST(Report, SectionsShowThePagesWithTheInputsInUseAndTheLinesToScale) {
  Images im = factory();
  im.g_baseDevice[0] |= 0x01;    // CONTROL reads a current
  im.g_optionDevice[0] |= 0x04;  // AUXin is read as P2
  const report::Contents c = report::build(inputs(im));

  // CONTROL on its I pair, in SETTING precision; its line from 4 mA at
  // 0 bar to 20 mA at 10 bar on the 0..20 mA axis.
  const report::Section& ctrl = section(c, "CONTROL");
  EXPECT_EQ(value(ctrl, "SELECTION U/I"), "I");
  EXPECT_EQ(value(ctrl, "lower x corner"), "4.00 mA");
  ASSERT_TRUE(ctrl.diagram.has_value());
  EXPECT_EQ((std::array{ctrl.diagram->xCaption, ctrl.diagram->yCaption}), (std::array<std::string, 2>{"CTRL [mA]", "CTRL [bar]"}));
  EXPECT_EQ((std::array{ctrl.diagram->x1, ctrl.diagram->y1, ctrl.diagram->x2, ctrl.diagram->y2}),
            (std::array{70, 240, 230, 40}));
  EXPECT_EQ(ctrl.diagram->xNumbers, (std::array<std::string, 4>{"4", "8", "12", "16"}));
  // AUXin read as P2: its row and Iout's pressure axis say so.
  EXPECT_EQ(value(section(c, "AUXin"), "TO BE READ AS"), "P2 pressure");
  const report::Section& iout = section(c, "Iout");
  EXPECT_EQ(iout.diagram->yNumbers, (std::array<std::string, 5>{"4", "8", "12", "16", "20"}));
  EXPECT_EQ(iout.diagram->xCaption, "P2 [bar]");
}

TEST(Report, EveryWordIsInEveryLanguageAndTheBuiltInEnglishIsTheFilesEnglish) {
  const ProfileFile file(std::string(VRX4_SOURCE_DATA_DIR) + "/Language.ini");
  for (std::uint8_t language = 0; language < 4; ++language) {
    const std::string_view section = languageSection(language);
    for (std::string_view key : report::labelKeys()) {
      const auto text = file.find(section, key);
      EXPECT_TRUE(text && !text->empty()) << section << ": no text for \"" << key << "\"";
    }
  }
  EXPECT_TRUE(report::labels(file, 0) == report::Labels::english());
}

// The differences are those of vrx4ctl diff, one row each; the text file
// for the PDF helper carries the contents whole and refuses damage.
TEST(Report, TheFileForTheHelperCarriesEverythingAndRefusesDamage) {
  const Images im = factory();
  report::Inputs in = inputs(im);
  in.note = "tab\there, line\nfeed, back\\slash\r";
  in.golden = report::Golden{"g.txt", im};
  in.golden->images.g_baseDevice[0x2B] = 0x63;    // KPHG
  in.golden->images.g_optionDevice[0x70] ^= 0xFF; // a byte outside any field
  const report::Contents c = report::build(in);
  const auto expected = config_diff::compare(im, in.golden->images);
  ASSERT_EQ(c.differences->rows.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    std::string line;
    for (const std::string& cell : c.differences->rows[i])
      if (!cell.empty()) line += (line.empty() ? "" : " ") + cell;
    EXPECT_EQ(line, config_diff::text(expected[i]));
  }
  const std::string text = report::encode(c);
  std::string why;
  const auto back = report::decode(text, &why);
  ASSERT_TRUE(back.has_value()) << why;
  EXPECT_TRUE(*back == c);

  auto refused = [](const std::string& t) {
    std::string reason;
    EXPECT_FALSE(report::decode(t, &reason).has_value()) << t.substr(0, 80);
    return reason;
  };
  EXPECT_EQ(refused(text.substr(0, text.rfind("end\n"))), "cut short: no end line");
  EXPECT_NE(refused(text + "row\tx\ty\n").find("after the end"), std::string::npos);
  EXPECT_NE(refused("VRX4 report 1\ntitle\tT\nrow\tbefore\ta section\nend\n").find("line 3"), std::string::npos);
  refused("VRX4 report 2\ntitle\tT\nend\n");
  refused("VRX4 report 1\ntitle\tT\nnotice\tbad \\q escape\nend\n");
  refused("VRX4 report 1\ntitle\tT\nsection\tS\ndiagram\tt\tnot-hex\ta\tb\t1\t2\t3\t4\t5\t1\t2\t3\t4\t0\t0\t9\t9\nend\n");
  refused("");

  // Damaged at random: refused or read, never more.
  std::mt19937 random(7);
  for (int i = 0; i < 2000; ++i) {
    std::string damaged = text;
    for (int n = 0; n < 3; ++n) {
      const std::size_t at = random() % damaged.size();
      const auto kind = random() % 3;
      if (kind == 0) damaged[at] = static_cast<char>(random() % 256);
      else if (kind == 1) damaged.erase(at, random() % 40);
      else damaged.insert(at, 1, "\t\\\n"[random() % 3]);
      if (damaged.empty()) damaged = "x";
    }
    (void)report::decode(damaged);
  }
}

}  // namespace
}  // namespace vrx4
