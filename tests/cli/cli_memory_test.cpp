// vrx4ctl dump and diff against configuration files and the simulated
// regulator.
#include "cli_harness.h"

#include "core/memory/config_file.h"

namespace vrx4 {
namespace {

class CliMemoryTest : public CliTest {
 protected:
  std::string save(const std::string& name, const Image& option, const Image& base) {
    const std::string path = dir + "/" + name;
    EXPECT_EQ(config_file::saveText(path, config_file::wholeConfiguration(option, base)),
              config_file::SaveStatus::Saved);
    return path;
  }
};

TEST_F(CliMemoryTest, DumpShowsTheMapPagesOfAFileAndOfTheRegulatorAlike) {
  const std::string file = save("golden.txt", simImage(Area::Option), simImage(Area::Base));
  const Outcome live = run("dump " + port());
  ASSERT_EQ(live.code, 0) << live.err;
  EXPECT_EQ(run("dump --in " + file).out, live.out);
  // BASE first: its title, 7 lines of 16 bytes; then OPTION: 8 lines.
  ASSERT_TRUE(live.out.starts_with("BASE\n")) << live.out;
  const std::size_t option = live.out.find("OPTION\n");
  ASSERT_NE(option, std::string::npos);
  EXPECT_EQ(option, 5u + 7 * 49);
  EXPECT_EQ(live.out.size(), option + 7 + 7 * 49 + 10);

  const Outcome fields = run("dump --in " + file + " --fields --area option");
  ASSERT_EQ(fields.code, 0) << fields.err;
  EXPECT_TRUE(fields.out.starts_with("OPTION\nFLAG                  ")) << fields.out;
  EXPECT_EQ(std::count(fields.out.begin(), fields.out.end(), '\n'), 28);

  EXPECT_EQ(run("dump --in " + file + " " + port()).code, 1);
  EXPECT_EQ(run("dump --in " + file + " --area both").code, 1);
  EXPECT_EQ(run("dump --in " + dir + "/missing.txt").code, 2);
}

TEST_F(CliMemoryTest, DiffNamesEachFieldThatDiffersAndSaysSoInItsExitCode) {
  Image base = simImage(Area::Base);
  Image option = simImage(Area::Option);
  const std::string golden = save("golden.txt", option, base);
  Outcome r = run("diff " + golden + " " + port());
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "");

  const std::uint8_t kphg = base[0x2B];
  base[0x2B] = static_cast<std::uint8_t>(kphg ^ 0x7F);
  base[0x10] = static_cast<std::uint8_t>(base[0x10] ^ 1);
  option[0x71] = static_cast<std::uint8_t>(option[0x71] + 1);
  const std::string edited = save("edited.txt", option, base);
  auto hex = [](unsigned v) {
    char s[3];
    std::snprintf(s, sizeof s, "%02X", v & 0xFF);
    return std::string(s);
  };
  r = run("diff --port " + dir + "/tty " + edited);
  EXPECT_EQ(r.code, 6) << r.err;
  EXPECT_EQ(r.out, "BASE KPHG 0x2B " + hex(kphg) + " " + hex(base[0x2B]) + "\n" +
                       "OPTION ALIM_A 0x70 " + hex(option[0x70]) + hex(option[0x71] - 1u) + " " +
                       hex(option[0x70]) + hex(option[0x71]) + "\n" + "BASE 0x10 " + hex(base[0x10] ^ 1u) + " " +
                       hex(base[0x10]) + "\n");

  // A file with no line of an area reads as 00 there, and says so.
  config_file::saveText(dir + "/base-only.txt", config_file::baseBlock(base));
  r = run("diff " + dir + "/base-only.txt " + edited);
  EXPECT_EQ(r.code, 6);
  EXPECT_NE(r.err.find("does not supply OPTION 0x00..0x72; read as 00"), std::string::npos) << r.err;

  std::ofstream(dir + "/bad.txt") << "10000zz\r\n";
  EXPECT_EQ(run("diff " + golden + " " + dir + "/bad.txt").code, 2);
  EXPECT_EQ(run("diff " + golden).code, 1);
  EXPECT_EQ(run("diff " + golden + " " + golden + " " + golden).code, 1);
}

}  // namespace
}  // namespace vrx4
