#include "core/base/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "../test_files.h"
#include "core/base/settings.h"

namespace vrx4 {
namespace {

// Keys and sections read without regard to case, defaults for what is
// missing; a write changes one line and keeps the rest.
TEST(ProfileFile, ReadsWithoutRegardToCaseAndWritesOneLineKeepingTheRest) {
  ProfileFile f;
  f.setText("; settings\r\n[communication]\r\nPORT = COM3 \r\n[Units]\r\nPressure=2\r\nLanguage=abc\r\n"
            "Name=\"quoted value\"\r\n");
  EXPECT_EQ((std::array{f.getString("Communication", "port", ""), f.getString("Units", "Name", ""),
                        f.getString("Nowhere", "port", "x")}),
            (std::array<std::string, 3>{"COM3", "quoted value", "x"}));
  // Language is present but not a number.
  EXPECT_EQ((std::array{f.getInt("UNITS", "pressure", 0), f.getInt("Units", "Language", 5), f.getInt("Units", "Missing", 5)}),
            (std::array<long, 3>{2, 0, 5}));

  f.setText("; comment kept\r\n[Communication]\r\nport=COM1\r\n\r\n[Units]\r\nPressure=0\r\n");
  ASSERT_TRUE(f.writeString("communication", "Port", "COM4"));
  ASSERT_TRUE(f.writeInt("Units", "Language", 2));
  ASSERT_TRUE(f.writeInt("Agreement", "State", 1));
  EXPECT_EQ(f.text(),
            "; comment kept\r\n[Communication]\r\nPort=COM4\r\n\r\n[Units]\r\nPressure=0\r\nLanguage=2\r\n"
            "\r\n[Agreement]\r\nState=1\r\n");
}

using namespace testing;  // readFile, TempDir

TEST(ProfileFile, EveryWriteStartsFromTheFileAsItIsNowAndReloadsOnlyWhenItChanged) {
  TempDir dir;
  const std::string path = dir.file("VRX4.ini");
  // Mixed line ends, a comment and no newline at the very end: all kept.
  std::ofstream(path, std::ios::binary) << "; by hand\r\n[Units]\nPressure=0\r\nLanguage=0";
  ProfileFile first(path), second(path);

  // Another writer adds a key while both are open: neither write loses it.
  std::ofstream(path, std::ios::binary | std::ios::app) << "\r\n[Graph]\r\nNb_aff_max=500\r\n";
  ASSERT_TRUE(first.writeInt("Units", "Pressure", 1));
  ASSERT_TRUE(second.writeInt("Units", "Language", 2));
  EXPECT_EQ(readFile(path), "; by hand\r\n[Units]\nPressure=1\r\nLanguage=2\r\n[Graph]\r\nNb_aff_max=500\r\n");

  // Each instance keeps the other's last unit: the later write of another
  // key does not put back what this one read at its start.
  ASSERT_TRUE(second.writeInt("Windows_size", "CX", 800));
  EXPECT_EQ(ProfileFile(path).getInt("Units", "Pressure", 9), 1);

  // A file with no line end at all gets the first new line its own end.
  const std::string bare = dir.file("bare.ini");
  std::ofstream(bare, std::ios::binary) << "[A]\r\nx=1";
  ASSERT_TRUE(ProfileFile(bare).writeInt("A", "y", 2));
  EXPECT_EQ(readFile(bare), "[A]\r\nx=1\r\ny=2\r\n");

  // Reloads only when the file changed.
  const std::string errors = dir.file("Error.ini");
  std::ofstream(errors) << "[ENGLISH]\n3=Sensor fault\n";
  ProfileFile f(errors);
  EXPECT_FALSE(f.reloadIfChanged());
  EXPECT_EQ(f.reads(), 1);

  // Same size, rewritten in place: the modification time tells.
  ::timespec past[2] = {{1000, 0}, {1000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, errors.c_str(), past, 0), 0);
  EXPECT_TRUE(f.reloadIfChanged());
  std::ofstream(errors) << "[ENGLISH]\n3=Sensor FAULT\n";
  EXPECT_TRUE(f.reloadIfChanged());
  EXPECT_EQ(f.getString("ENGLISH", "3", ""), "Sensor FAULT");
  EXPECT_FALSE(f.reloadIfChanged());

  // Gone, then back.
  std::filesystem::remove(errors);
  EXPECT_TRUE(f.reloadIfChanged());
  EXPECT_EQ(f.getString("ENGLISH", "3", "none"), "none");
  EXPECT_FALSE(f.reloadIfChanged());
  std::ofstream(errors) << "[ENGLISH]\n3=Back\n";
  EXPECT_TRUE(f.reloadIfChanged());
  EXPECT_EQ(f.getString("ENGLISH", "3", ""), "Back");
}

TEST(Settings, OutOfRangeValuesReadAsTheirDefaultsAndTheWindowRule) {
  // Language, unit, range, window width and height, graph points.
  auto loaded = [](const char* text) {
    ProfileFile f;
    f.setText(text);
    Settings s;
    s.load(f);
    return std::tuple<int, int, int, int, int, int>{s.m_nLanguage, s.m_nPressureUnit, s.m_nPressureScale,
                                                    s.m_nWindowCX, s.m_nWindowCY, s.m_nGraphMaxPoints};
  };
  // No saved size at all, not a 68-pixel window; language 0, not 255.
  EXPECT_EQ(loaded("[Units]\nLanguage=77\nPressure=9\nEchelleP=5\n[Windows_size]\nCX=-5\nCY=600\n"
                   "[Graph]\nNb_aff_max=0\n"),
            std::make_tuple(0, 0, 0, 0, 0, 65535));
  EXPECT_EQ(loaded("[Units]\nLanguage=-1\nPressure=-1\nEchelleP=-1\n[Windows_size]\nCX=700\nCY=99999999\n"
                   "[Graph]\nNb_aff_max=-3\n"),
            std::make_tuple(0, 0, 0, 0, 0, 65535));
  // Every value in range is taken as it is.
  EXPECT_EQ(loaded("[Units]\nLanguage=3\nPressure=3\nEchelleP=1\n[Windows_size]\nCX=1024\nCY=1\n"
                   "[Graph]\nNb_aff_max=500\n"),
            std::make_tuple(3, 3, 1, 1024, 1, 500));

  // Defaults, the agreement written back as 1, the window rule.
  const TempDir dir;
  const std::string path = dir.file("VRX4.ini");

  // No file: the port falls back to COM1 with the message, defaults hold.
  ProfileFile f(path);
  Settings s;
  EXPECT_TRUE(s.load(f));
  EXPECT_EQ(std::tuple(s.m_strPort, s.m_nGraphMaxPoints, s.restoresWindowSize()), std::tuple("COM1", 65535, false));

  std::ofstream(path) << "[Agreement]\nState=7\n[Windows_size]\nCX=800\nCY=600\n[Units]\nPressure=258\n";
  f.reload();
  EXPECT_TRUE(s.load(f));
  EXPECT_EQ(s.m_nPressureUnit, 0);  // 258 is no unit: bar
  EXPECT_TRUE(s.m_bAgreementAccepted && s.restoresWindowSize());
  s.m_nWindowCX = 1024, s.m_nWindowCY = 768;
  EXPECT_FALSE(s.restoresWindowSize());
  s.m_nWindowCY = 0;
  EXPECT_FALSE(s.restoresWindowSize());
  ASSERT_TRUE(s.save(f));

  // State 7 written back as 1; the untouched Pressure line kept.
  ProfileFile again(path);
  EXPECT_EQ((std::array{again.getInt("Agreement", "State", 0), again.getInt("Units", "Pressure", 0)}),
            (std::array<long, 2>{1, 258}));
  EXPECT_EQ(again.getString("Communication", "port", ""), "COM1");
}

}  // namespace
}  // namespace vrx4
