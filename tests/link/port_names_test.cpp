#include "core/link/port_names.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "../test_files.h"

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

TEST(PortNames, DriverBackedPortsInNaturalOrderEachSayingWhatItIsThenTheStableLinks) {
  const testing::TempDir dir;
  const fs::path root(dir.path);
  const fs::path sys = root / "sys/class/tty";
  auto write = [](const fs::path& f, const char* text) {
    fs::create_directories(f.parent_path());
    std::ofstream(f) << text << "\n";
  };
  // An FTDI adapter (ttyUSB0 two levels below its USB device), one whose
  // product already names its maker (ttyUSB1), a modem that only has ids
  // (ttyACM0 one level below), platform ports.
  const fs::path usbRoot = root / "sys/devices/usb1";
  for (const auto& [dev, files] : std::vector<std::pair<const char*, std::vector<std::pair<const char*, const char*>>>>{
           {"1-1", {{"idVendor", "0403"}, {"manufacturer", "FTDI"}, {"product", "FT232R USB UART"}}},
           {"1-3", {{"idVendor", "067b"}, {"manufacturer", "Prolific"}, {"product", "Prolific USB-Serial Controller"}}},
           {"1-2", {{"idVendor", "2341"}, {"idProduct", "0043"}}}})
    for (const auto& [name, text] : files) write(usbRoot / dev / name, text);
  for (const char* d : {"1-1/1-1:1.0/ttyUSB0", "1-3/1-3:1.0/ttyUSB1", "1-2/1-2:1.0"})
    fs::create_directories(usbRoot / d);
  // ttyS1 and ttyS3: registered slots with no UART behind them; tty5: no driver behind it.
  using Tty = std::tuple<const char*, std::string, const char*>;  // name, device below devices/, UART type
  for (auto [name, device, type] :
       {Tty{"ttyUSB0", "usb1/1-1/1-1:1.0/ttyUSB0", nullptr}, {"ttyUSB1", "usb1/1-3/1-3:1.0/ttyUSB1", nullptr},
        {"ttyACM0", "usb1/1-2/1-2:1.0", nullptr}, {"ttyS0", "serial8250", "4"}, {"ttyS10", "serial8250", "4"},
        {"ttyS2", "serial8250", "99"}, {"ttyS1", "serial8250", "0"}, {"ttyS3", "serial8250", nullptr},
        {"tty5", "", nullptr}}) {
    fs::create_directories(sys / name);
    if (!device.empty()) fs::create_directory_symlink("../../../devices/" + device, sys / name / "device");
    if (type) write(sys / name / "type", type);
  }
  const fs::path byId = root / "dev/serial/by-id";
  fs::create_directories(byId);
  fs::create_symlink("../../ttyUSB0", byId / "usb-FTDI_FT232R_USB_UART_A9X1-if00-port0");

  const std::string dev = (root / "dev").string();
  const auto entries = describeSerialPorts(sys.string(), dev, byId.string());
  std::vector<std::string> texts;
  for (const auto& e : entries) texts.push_back(entryText(e));
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "USB device 2341:0043 \u2014 " + dev + "/ttyACM0",
                       "Serial port 16550A \u2014 COM1 (" + dev + "/ttyS0)",
                       "Serial port \u2014 COM3 (" + dev + "/ttyS2)",
                       "Serial port 16550A \u2014 COM11 (" + dev + "/ttyS10)",
                       "FTDI FT232R USB UART \u2014 " + dev + "/ttyUSB0",
                       "Prolific USB-Serial Controller \u2014 " + dev + "/ttyUSB1",
                       "FTDI FT232R USB UART \u2014 " + byId.string() + "/usb-FTDI_FT232R_USB_UART_A9X1-if00-port0",
                   }));
  EXPECT_EQ(entries[6].path, dev + "/ttyUSB0");
  EXPECT_TRUE(describeSerialPorts(sys.string() + "/missing", dev, byId.string() + "/missing").empty());

  // Selection by prefix of the stored name, then of the device.
  for (auto [name, index] : {std::pair<std::string, int>{"COM1", 1}, {"COM3", 2}, {byId.string() + "/usb-FTDI", 6},
                             {dev + "/ttyUSB0", 4}, {"COM2", -1}})
    EXPECT_EQ(entryFor(entries, name), index) << name;
  std::vector<SerialPortEntry> com{{"COM10", "/dev/ttyS9", ""}, {"COM1", "/dev/ttyS0", ""}};
  EXPECT_EQ(entryFor(com, "COM1"), 0);  // the first entry that begins with the text
  EXPECT_EQ(entryFor(com, "/dev/ttyS0"), 1);
}

}  // namespace
}  // namespace vrx4
