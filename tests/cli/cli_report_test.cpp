// vrx4ctl report: the commissioning report of a configuration file and of
// the simulated regulator as PDFs, read back as text; a missing helper.
#include <filesystem>
#include <sstream>

#include "../pdf_text.h"
#include "cli_harness.h"
#include "core/memory/config_file.h"
#include "core/pages/pages_view.h"

namespace vrx4 {
namespace {

class CliReportTest : public CliTest {
 protected:
  void SetUp() override {
    if (!testing::pdfToolsInstalled()) GTEST_SKIP() << "pdftotext and pdftoppm (poppler-utils) are not installed";
    CliTest::SetUp();
  }
  std::string save(const std::string& name, const Images& im) {
    testing::writeFile(dir + "/" + name, config_file::wholeConfiguration(im.g_optionDevice, im.g_baseDevice));
    return dir + "/" + name;
  }
  Images images() { return {.g_baseDevice = simImage(Area::Base), .g_optionDevice = simImage(Area::Option)}; }
};

// Each line of `lines`, blanks squeezed, is in `text`.
void expectLines(const std::string& lines, const std::string& text) {
  std::istringstream in(lines);
  for (std::string line; std::getline(in, line);) {
    if (line.empty()) continue;
    EXPECT_TRUE(has(text, line));
  }
}

TEST_F(CliReportTest, AFileAndTheRegulatorWithTheirPagesAndTheDifferencesFromTheGolden) {
  Images im = images();
  const std::string conf = save("conf.txt", im);
  im.g_baseDevice[0x2B] = 0x63;    // KPHG
  im.g_optionDevice[0x12] ^= 0x01;  // AL_LIM_P
  const std::string golden = save("golden.txt", im);

  const Outcome file = ok("report --in " + conf + " --golden " + golden +
                           " --note 'J. Smith, press 7' --out " + dir + "/file.pdf");
  EXPECT_TRUE(has(file.out, "differences from " + golden + ": 2"));
  const std::string text = testing::pdfText(dir + "/file.pdf");
  EXPECT_TRUE(testing::pdfToPng(dir + "/file.pdf", VRX4_TEST_OUTPUT_DIR "/report-file"));
  expectLines("VRX's serial number 01 23 45\nTechnician and machine J. Smith, press 7\n"
              "This report describes the configuration file " + conf + "\n",
              text);
  // Values of the pages, in SETTING as by default (every value of every
  // section: report_test).
  const AllPagesView v = showAllPages(images(), PageUnits::of(unit::kBar, 0, access::kSetting));
  expectLines("upper y corner " + v.uout.texts.yHigh + " V\nError + " + v.alarm.texts.errorPlus + " bar\nKp High " +
                  v.pid.kpHigh + "\nKd " + v.pid.kd + "\nINPUT (pin2)\nINPUT (pin3)\nOUTPUT (pin5)\nOUTPUT (pin6)\n",
              text);
  // The differences, as vrx4ctl diff prints them.
  const Outcome diff = run("diff " + conf + " " + golden);
  ASSERT_EQ(diff.code, 6);
  expectLines("Differences from the golden file\n" + diff.out, text);

  // The regulator itself, in PSI: it says which port, not which file.
  ok("report " + port() + " --golden " + conf + " --unit PSI --out " + dir + "/live.pdf");
  const std::string liveText = testing::pdfText(dir + "/live.pdf");
  EXPECT_TRUE(testing::pdfToPng(dir + "/live.pdf", VRX4_TEST_OUTPUT_DIR "/report-live"));
  expectLines("Regulator on port " + tty + "\nPressure range 0 .. 150 PSI\nNo field differs from the golden file.\n",
              liveText);
  EXPECT_FALSE(has(liveText, "This report describes"));
}

TEST_F(CliReportTest, WithoutItsHelperOrAPlaceForThePdfNothingIsReadOrReplaced) {
  const std::string bin = dir + "/bin";
  std::filesystem::create_directory(bin);
  std::filesystem::copy_file(VRX4CTL_PATH, bin + "/vrx4ctl");
  std::filesystem::permissions(bin + "/vrx4ctl", std::filesystem::perms::owner_all);
  const long before = quietBytesReceived();
  const std::string cmd = bin + "/vrx4ctl report " + port() + " --out " + dir + "/y.pdf 2>" + dir + "/err";
  const int status = std::system(cmd.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_TRUE(has(readFile(dir + "/err"),
                  "the PDF helper vrx4-report-pdf is missing: it belongs next to vrx4ctl (" + bin + "/vrx4-report-pdf)"));
  EXPECT_EQ(quietBytesReceived(), before);  // the regulator was not read
  EXPECT_FALSE(std::filesystem::exists(dir + "/y.pdf"));

  // A PDF that cannot be written is said so (access mode 1, the lowest, accepted).
  const Outcome r = run("report " + port() + " --access 1 --out " + dir + "/no-such-folder/z.pdf");
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(has(r.err, "z.pdf was not written"));
  // Nor does it take the place of its configuration, under any name.
  const std::string conf = save("conf.txt", images()), text = readFile(conf);
  std::filesystem::create_symlink(conf, dir + "/link.pdf");
  EXPECT_EQ(run("report --in " + conf + " --out " + dir + "/link.pdf").code, 1);
  EXPECT_EQ(run("report " + port() + " --golden " + conf + " --out " + conf).code, 1);
  EXPECT_EQ(readFile(conf), text);
}

}  // namespace
}  // namespace vrx4
