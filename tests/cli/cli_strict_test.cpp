// vrx4ctl takes each setting once and reads numbers as the pages do: an
// option given twice, a number the pages would refuse, and corners whose
// line cannot be computed are usage errors before the port is touched.
#include "cli_harness.h"
#include "core/memory/config_file.h"

namespace vrx4 {
namespace {

class CliStrictTest : public CliTest {};

TEST_F(CliStrictTest, AnOptionGivenTwiceIsAUsageErrorOnEveryCommand) {
  const std::string conf = dir + "/conf.txt";
  ASSERT_EQ(config_file::saveText(conf, config_file::wholeConfiguration(simImage(Area::Option), simImage(Area::Base))),
            config_file::SaveStatus::Saved);
  const std::string p = port();
  const long seen = quietBytesReceived();
  for (const std::string& args :
       {"read " + p + " --out " + dir + "/a.txt --out " + dir + "/b.txt", "write " + p + " --port /dev/null --in " + conf,
        "write " + p + " --in " + dir + "/bad.txt --in " + conf, "write " + p + " --in " + conf + " --access 2 --access 4",
        "restore " + p + " --timeout 5 --timeout 9", "info " + p + " " + p,
        "monitor " + p + " --count 1 --unit bar --unit PSI", "show --in " + conf + " --json --json",
        "show --in " + conf + " --access 1 --access=4", "set " + p + " alarm --logic + --logic -",
        "set " + p + " pid --kp-high 1 --kp-high 2", "set " + p + " control --restore --restore",
        "set " + p + " --unit bar --unit PSI alarm --error-plus 1", "dump --in " + conf + " --fields --fields",
        "diff " + conf + " " + p + " --timeout 5 --timeout 9"}) {
    const Outcome r = run(args);
    EXPECT_EQ(r.code, 1) << args;
    EXPECT_NE(r.err.find("given twice"), std::string::npos) << args << ": " << r.err;
  }
  EXPECT_EQ(bytesReceived(), seen);
  // diff compares two regulators with --port twice: each is a source.
  const Outcome two = run("diff " + p + " " + p);
  EXPECT_EQ(two.code, 0) << two.err;
}

TEST_F(CliStrictTest, NumbersAreReadAsThePagesReadThem) {
  const Image before = simImage(Area::Option);
  const long seen = quietBytesReceived();
  struct Refused {
    std::string args;
    const char* says;
  };
  const std::string huge = "15" + std::string(307, '0');  // 1.5e308: the span of two is not finite
  for (const Refused& c : {Refused{"alarm --delay-on 1e1", "--delay-on needs a number"}, Refused{"alarm --error-plus 1,5", "--error-plus needs a number"},
                           Refused{"alarm --error-minus 0x10", "--error-minus needs"}, Refused{"alarm --ton-min=--1", "--ton-min needs"},
                           Refused{"pid --kd 2.5", "Kd : not a whole number"},
                           Refused{"pid --kp-low -1", "Kp Low : Min=0 - Max=255"},
                           Refused{"control --type U --corners -" + huge + ",0," + huge + ",10", "x corner"},
                           Refused{"control --type U --corners -1.5e308,0,1.5e308,10", "not a number"},
                           Refused{"uout --corners 0,0,10,1e1", "not a number"},
                           Refused{"iout --corners 0,-" + huge + ",10," + huge, "y corner"}}) {
    const Outcome r = run("set " + port() + " " + c.args);
    EXPECT_EQ(r.code, 1) << c.args;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
    EXPECT_EQ(r.out.find("verified"), std::string::npos) << c.args;
  }
  EXPECT_EQ(bytesReceived(), seen);
  EXPECT_EQ(simImage(Area::Option), before);

  // Blanks round a number are read as on a page.
  const Outcome r = run("set " + port() + " alarm --delay-on ' 2 '");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(simImage(Area::Option)[23], 100);
}

}  // namespace
}  // namespace vrx4
