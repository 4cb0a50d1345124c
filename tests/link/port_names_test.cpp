#include "link/port_names.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace vrx4 {
namespace {

namespace fs = std::filesystem;

TEST(PortNames, ComNamesMapToPlatformPortsAndOtherNamesStay) {
  EXPECT_EQ(portDevicePath("COM1"), "/dev/ttyS0");
  EXPECT_EQ(portDevicePath("COM12"), "/dev/ttyS11");
  for (const char* other :
       {"COM0", "COM", "com3", "COM1a", "/dev/pts/7", "COM99999999999999999999999"})
    EXPECT_EQ(portDevicePath(other), other);
  EXPECT_TRUE(naturalLess("ttyS2", "ttyS10") && !naturalLess("ttyS10", "ttyS2"));
  EXPECT_TRUE(naturalLess("ttyS", "ttyS0") && naturalLess("x1y2", "x1y10"));
  EXPECT_NE(naturalLess("a01", "a1"), naturalLess("a1", "a01"));  // strict even when equal by value
}

TEST(PortNames, ListKeepsDriverBackedPortsInNaturalOrder) {
  std::string dir = (fs::temp_directory_path() / "vrx4-sys-XXXXXX").string();
  ASSERT_NE(::mkdtemp(dir.data()), nullptr);
  auto add = [&](const std::string& name, bool device, const char* type) {
    fs::create_directory(fs::path(dir) / name);
    if (device)
      fs::create_directory_symlink("../../devices/" + name, fs::path(dir) / name / "device");
    if (type) std::ofstream(fs::path(dir) / name / "type") << type << "\n";
  };
  for (const char* s : {"ttyS0", "ttyS10", "ttyS2"}) add(s, true, "4");
  add("ttyS1", true, "0");  // a registered slot with no UART behind it
  add("ttyS3", true, nullptr);
  add("ttyUSB0", true, nullptr);
  add("ttyACM1", true, nullptr);
  add("tty5", false, nullptr);
  add("ptmx", false, nullptr);
  EXPECT_EQ(listSerialPorts(dir, "/dev"),
            (std::vector<std::string>{"/dev/ttyACM1", "/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS10",
                                      "/dev/ttyUSB0"}));
  EXPECT_TRUE(listSerialPorts(dir + "/missing").empty());
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vrx4
