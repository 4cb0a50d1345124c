#include "app/profile_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

#include "app/settings.h"

namespace vrx4 {
namespace {

TEST(ProfileFile, ReadsWithoutRegardToCaseAndDefaults) {
  ProfileFile f;
  f.setText("; settings\r\n[communication]\r\nPORT = COM3 \r\n[Units]\r\nPressure=2\r\nLanguage=abc\r\n"
            "Name=\"quoted value\"\r\n");
  EXPECT_EQ(f.getString("Communication", "port", ""), "COM3");
  EXPECT_EQ(f.getInt("UNITS", "pressure", 0), 2);
  EXPECT_EQ(f.getInt("Units", "Language", 5), 0);  // present but not a number
  EXPECT_EQ(f.getInt("Units", "Missing", 5), 5);
  EXPECT_EQ(f.getString("Units", "Name", ""), "quoted value");
  EXPECT_EQ(f.getString("Nowhere", "port", "x"), "x");
}

TEST(ProfileFile, WriteChangesOneLineAndKeepsTheRest) {
  ProfileFile f;
  f.setText("; comment kept\r\n[Communication]\r\nport=COM1\r\n\r\n[Units]\r\nPressure=0\r\n");
  ASSERT_TRUE(f.writeString("communication", "Port", "COM4"));
  ASSERT_TRUE(f.writeInt("Units", "Language", 2));
  ASSERT_TRUE(f.writeInt("Agreement", "State", 1));
  EXPECT_EQ(f.text(),
            "; comment kept\r\n[Communication]\r\nPort=COM4\r\n\r\n[Units]\r\nPressure=0\r\nLanguage=2\r\n"
            "\r\n[Agreement]\r\nState=1\r\n");
}

TEST(Settings, DefaultsWriteBackAndWindowRule) {
  const std::string dir = "/tmp/vrx4-settings-" + std::to_string(::getpid());
  ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
  const std::string path = dir + "/VRX4.ini";

  // No file: the port falls back to COM1 with the message, defaults hold.
  ProfileFile f(path);
  Settings s;
  EXPECT_TRUE(s.load(f));
  EXPECT_EQ(s.m_strPort, "COM1");
  EXPECT_EQ(s.m_nGraphMaxPoints, 65535);
  EXPECT_FALSE(s.restoresWindowSize());

  std::ofstream(path) << "[Agreement]\nState=7\n[Windows_size]\nCX=800\nCY=600\n[Units]\nPressure=258\n";
  f.reload();
  EXPECT_TRUE(s.load(f));
  EXPECT_TRUE(s.m_bAgreementAccepted);
  EXPECT_EQ(s.m_nPressureUnit, 2);  // low 8 bits of 258
  EXPECT_TRUE(s.restoresWindowSize());
  s.m_nWindowCX = 1024;
  s.m_nWindowCY = 768;
  EXPECT_FALSE(s.restoresWindowSize());
  s.m_nWindowCY = 0;
  EXPECT_FALSE(s.restoresWindowSize());
  ASSERT_TRUE(s.save(f));

  ProfileFile again(path);
  EXPECT_EQ(again.getInt("Agreement", "State", 0), 1);  // 7 written back as 1
  EXPECT_EQ(again.getString("Communication", "port", ""), "COM1");
  EXPECT_EQ(again.getInt("Units", "Pressure", 0), 258);  // untouched line kept
  ::unlink(path.c_str());
  ::rmdir(dir.c_str());
}

}  // namespace
}  // namespace vrx4
