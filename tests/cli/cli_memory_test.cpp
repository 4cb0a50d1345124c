// vrx4ctl dump and diff against configuration files and the simulated
// regulator.
#include "cli_harness.h"

#include "core/memory/config_file.h"

namespace vrx4 {
namespace {

// A whole configuration saved as `name` in the test's folder.
std::string save(const std::string& dir, const std::string& name, const Image& option, const Image& base) {
  testing::writeFile(dir + "/" + name, config_file::wholeConfiguration(option, base));
  return dir + "/" + name;
}

// The dump's and the diff's texts themselves: eeprom_map_test.
TEST_F(CliTest, DumpShowsTheMapPagesOfAFileAndOfTheRegulatorAlike) {
  const std::string file = save(dir, "golden.txt", simImage(Area::Option), simImage(Area::Base));
  const Outcome live = ok("dump " + port());
  EXPECT_EQ(run("dump --in " + file).out, live.out);
  // BASE first: its title, 7 lines of 16 bytes; then OPTION.
  ASSERT_TRUE(live.out.starts_with("BASE\n")) << live.out;
  EXPECT_EQ(live.out.find("OPTION\n"), 5u + 7 * 49);
  const Outcome fields = ok("dump --in " + file + " --fields --area option");
  EXPECT_TRUE(fields.out.starts_with("OPTION\nFLAG                  ")) << fields.out;

  EXPECT_EQ(run("dump --in " + file + " " + port()).code, 1);
  EXPECT_EQ(run("dump --in " + file + " --area both").code, 1);
  EXPECT_EQ(run("dump --in " + dir + "/missing.txt").code, 2);
}

TEST_F(CliTest, DiffNamesEachFieldThatDiffersAndSaysSoInItsExitCode) {
  Image base = simImage(Area::Base);
  const Image option = simImage(Area::Option);
  const std::string golden = save(dir, "golden.txt", option, base);
  Outcome r = ok("diff " + golden + " " + port());
  EXPECT_EQ(r.out, "");

  ASSERT_EQ(base[0x2B], 0x78);  // KPHG 120
  base[0x2B] = 0x63;
  const std::string edited = save(dir, "edited.txt", option, base);
  r = run("diff --port " + dir + "/tty " + edited);
  EXPECT_EQ(r.code, 6) << r.err;
  EXPECT_EQ(r.out, "BASE KPHG 0x2B 78 63\n");

  // A file with no line of an area reads as 00 there, and says so.
  config_file::saveText(dir + "/base-only.txt", config_file::baseBlock(base));
  r = run("diff " + dir + "/base-only.txt " + edited);
  EXPECT_EQ(r.code, 6);
  EXPECT_TRUE(has(r.err, "does not supply OPTION 0x00..0x72; read as 00"));

  std::ofstream(dir + "/bad.txt") << "10000zz\r\n";
  EXPECT_EQ(run("diff " + golden + " " + dir + "/bad.txt").code, 2);
  EXPECT_EQ(run("diff " + golden).code, 1);
  EXPECT_EQ(run("diff " + golden + " " + golden + " " + golden).code, 1);
}

}  // namespace
}  // namespace vrx4
