// vrx4ctl show and set: the parameter pages from a script, on the
// simulated regulator and on a configuration file. Each setting is taken
// once and numbers are read as the pages read them: what a page would
// refuse is a usage error before the port is touched.
#include "cli_harness.h"

#include "core/cli/cli_args.h"
#include "core/memory/config_file.h"

namespace vrx4 {
namespace {

TEST(CliPages, ArgumentsTakePagesAndFlags) {
  auto a = cli::parseArgs({"set", "alarm", "--restore", "--delay-on", "-1"}, {"--delay-on"}, {"--restore"}, 1);
  EXPECT_TRUE(a.error.empty()) << a.error;
  EXPECT_EQ(a.positional, std::vector<std::string>{"alarm"});
  EXPECT_TRUE(a.has("--restore"));
  EXPECT_EQ(a.get("--delay-on", ""), "-1");
  EXPECT_FALSE(cli::parseArgs({"set", "alarm", "pid"}, {}, {}, 1).error.empty());
  EXPECT_FALSE(cli::parseArgs({"show", "--json=1"}, {}, {"--json"}).error.empty());
  // An option given twice, as a flag, valued or inline, unless repeatable.
  for (std::vector<std::string> twice : {std::vector<std::string>{"show", "--json", "--json"},
                                          {"show", "--access", "1", "--access=4"}})
    EXPECT_EQ(cli::parseArgs(twice, {"--access"}, {"--json"}).error, "option " + twice[1] + " given twice");
  EXPECT_TRUE(cli::parseArgs({"diff", "--port", "a", "--port", "b"}, {"--port"}, {}, 0, {"--port"}).error.empty());
}

// show --json: every page text under its key, by default in bar and mode 1;
// the same from the regulator and from its file.
TEST_F(CliTest, ShowReadsTheRegulatorOrAFileTheSameWay) {
  EXPECT_EQ(ok("show " + port() + " --json").out,
            R"({"CONTROL": {"U": {"x_low": "0.0", "x_high": "10.0", "y_low": "0.0", "y_high": "10.0"}, )"
            R"("I": {"x_low": "4.0", "x_high": "20.0", "y_low": "0.0", "y_high": "10.0"}, "type": "U"}, )"
            R"("AUXin": {"U": {"x_low": "0.0", "x_high": "10.0", "y_low": "0.0", "y_high": "10.0"}, )"
            R"("I": {"x_low": "4.0", "x_high": "20.0", "y_low": "0.0", "y_high": "10.0"}, "type": "U", )"
            R"("read_as": "monitoring"}, )"
            R"("Uout": {"x_low": "0.0", "x_high": "10.0", "y_low": "0.0", "y_high": "10.0"}, )"
            R"("Iout": {"x_low": "0.0", "x_high": "10.0", "y_low": "4.0", "y_high": "20.0"}, )"
            R"("ALARM": {"logic": "+", "error_plus": "0.5", "error_minus": "0.5", "delay_on": "1.0", )"
            R"("ton_min": "0.2", "delay_off": "0.5"}, )"
            R"("PID": {"kp_high": "120", "kp_low": "60", "ki": "20", "kd": "5"}})"
            "\n");
  const Outcome live = ok("show " + port() + " --json --unit PSI --access 2");
  EXPECT_TRUE(has(live.out, R"("y_high": "145.04")"));  // CONTROL, mode 2
  EXPECT_TRUE(has(live.out, R"("AUXin": {"U": {"x_low": "0.0", "x_high": "10.0", "y_low": "0", "y_high": "145"})"));
  testing::writeFile(dir + "/conf.txt", config_file::wholeConfiguration(simImage(Area::Option), simImage(Area::Base)));
  const Outcome file = ok("show --in " + dir + "/conf.txt --json --unit PSI --access 2");
  EXPECT_EQ(file.out, live.out);
  // The 20-bar range doubles Pmax: the CONTROL line is no longer cut.
  const Outcome range = run("show --in " + dir + "/conf.txt --range 20");
  EXPECT_TRUE(has(range.out, "range 20 bar"));

  EXPECT_EQ(run("show " + port() + " --in " + dir + "/conf.txt").code, 1);
  EXPECT_EQ(run("show " + port() + " --unit psi").code, 1);
  EXPECT_EQ(run("show " + port() + " --access 5").code, 1);
}

TEST_F(CliTest, SetWritesWhatThePageWouldAndRefusesWhatItWouldRefuse) {
  // CONTROL in U: 0..10 V to 0..8 bar, slope 0.8 bar/V = 819/1024; the I
  // pair and everything else stay as they were.
  const Image baseBefore = simImage(Area::Base);
  Outcome r = ok("set " + port() + " control --type U --corners 0,0,10,8");
  EXPECT_TRUE(has(r.out, "set CONTROL on " + dir + "/tty: BASE 0x00 then BASE 0x01..0x08 written"));
  EXPECT_TRUE(has(r.out, "U: x 0.0 .. 10.0 V, y 0.0 .. 8.0 bar"));
  Image base = simImage(Area::Base);
  EXPECT_EQ((std::array{base[1], base[2], base[3], base[4]}), (std::array<std::uint8_t, 4>{0x03, 0x33, 0, 0}));  // A 819, B 0
  EXPECT_TRUE(std::equal(base.begin() + 5, base.end(), baseBefore.begin() + 5));

  // Alarm: only the options given change.
  const Image optionBefore = simImage(Area::Option);
  ok("set " + port() + " alarm --logic - --delay-on 0.031");
  Image option = simImage(Area::Option), want = optionBefore;
  want[9] = 0x80, want[22] = 0x00, want[23] = 0x02;  // 0.031 s = 1.55 steps, rounded to 2
  EXPECT_TRUE(std::equal(option.begin() + 9, option.end(), want.begin() + 9));

  // Restore puts the factory copy back.
  ok("set " + port() + " control --restore");
  base = simImage(Area::Base);
  EXPECT_TRUE(std::equal(base.begin(), base.begin() + 9, base.begin() + 16));

  // Refused before the port is opened: nothing reaches the regulator.
  const Image optionSet = simImage(Area::Option);
  const long seen = quietBytesReceived();
  const std::string huge = "15" + std::string(307, '0');  // 1.5e308: the span of two is not finite
  for (const auto& [args, says] : std::vector<std::pair<std::string, std::string>>{
           {"pid --kp-high 256 --kd 300", "Kp High : Min=0 - Max=255"},
           {"pid --kd 2.5", "Kd : not a whole number"},
           {"alarm --delay-on 1e1", "--delay-on needs a number"},
           {"alarm --error-plus 1,5", "--error-plus needs a number"},
           {"alarm --logic + --logic -", "option --logic given twice"},
           {"uout --corners 0,0,10,1O", "'1O' in --corners is not a number"},
           {"control --type U --corners -" + huge + ",0," + huge + ",10", "x corner"},
           {"iout --corners 0,-" + huge + ",10," + huge, "y corner"},
           {"pid --restore", "no restore"},
           {"uout --type U --corners 0,0,10,10", "--type is not an option of this page"},
           {"control --restore --type I", "cannot go with --restore"},
           {"gauge --restore", "PAGE must be"}}) {
    r = run("set " + port() + " " + args);
    EXPECT_EQ(r.code, 1) << args;
    EXPECT_TRUE(has(r.err, says)) << args;
  }
  EXPECT_EQ(bytesReceived(), seen);
  EXPECT_EQ(simImage(Area::Option), optionSet);

  // Blanks round a number are read as on a page; diff takes --port twice.
  ok("set " + port() + " alarm --delay-on ' 2 '");
  EXPECT_EQ(simImage(Area::Option)[23], 100);
  ok("diff " + port() + " " + port());
}

}  // namespace
}  // namespace vrx4
