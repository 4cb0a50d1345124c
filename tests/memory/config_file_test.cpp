#include "core/memory/config_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <vector>

#include "../test_files.h"
#include "core/memory/recovery_copy.h"

namespace vrx4::config_file {
namespace {

namespace fs = std::filesystem;

class ConfigFile : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& text) {
    testing::writeFile(temp_.file(name), text);
    return temp_.file(name);
  }

  testing::TempDir temp_;
  fs::path dir_ = temp_.path;
};

Image randomImage(std::mt19937& gen) {
  Image im{};
  for (auto& b : im) b = static_cast<std::uint8_t>(gen());
  return im;
}

std::vector<std::string> splitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  for (std::size_t e; (e = text.find("\r\n", pos)) != std::string::npos; pos = e + 2) lines.push_back(text.substr(pos, e - pos));
  EXPECT_EQ(pos, text.size()) << "text must end with CR LF";
  return lines;
}

TEST_F(ConfigFile, BlocksHaveTheExactLayout) {
  Image opt{};
  for (int i = 0; i < 16; ++i) opt[i] = static_cast<std::uint8_t>(i + 1);
  opt[0x72] = 0xAB;
  opt[0x73] = 0xEE;  // past the block: never written
  Image base{};
  base[0x6F] = 0x5C;
  base[0x70] = 0xEE;
  const auto optLines = splitCrLf(optionBlock(opt)), baseLines = splitCrLf(baseBlock(base));
  ASSERT_EQ(optLines.size(), 8u);
  ASSERT_EQ(baseLines.size(), 8u);
  EXPECT_EQ(optLines[0], "000000102030405060708090A0B0C0D0E0F10");
  EXPECT_EQ(optLines[7], "000700000AB");  // 3 bytes: 0x70, 0x71, 0x72
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(optLines[i].size(), 37u);
    EXPECT_EQ(baseLines[i].substr(0, 5), "100" + std::string(1, "0123456"[i]) + "0");
  }
  EXPECT_EQ(baseLines[6], "10060" + std::string(30, '0') + "5C");
  EXPECT_EQ(baseLines[7], "");  // the empty line that ends the data
}

// Lines end in CR LF or LF, a BOM is skipped, the data end at an empty
// line or the text's end; an invalid line stops the read.
TEST_F(ConfigFile, LineEndsBomEmptyLineAndInvalidLines) {
  for (std::string text : {"10010ABCD", "10010ABCD\n", "10010ABCD\r\n\r\n10000FF", "\xEF\xBB\xBF" "10010ABCD\r\n",
                           "00000\n10010ABCDE\n"}) {
    Image opt{}, base{};
    const ReadOutcome r = parse(text, {opt, base});
    EXPECT_EQ(r.status, ReadStatus::Read) << text;
    EXPECT_TRUE(r.anyAreaLine);
    // A lone last digit is ignored; nothing after the empty line is read.
    EXPECT_EQ((std::array{base[0x00], base[0x10], base[0x11], base[0x12]}), (std::array<std::uint8_t, 4>{0, 0xAB, 0xCD, 0}))
        << text;
  }
  // An invalid line stops the read; its number is given.
  for (const std::string& bad : std::vector<std::string>{"10000abcd", "1000 AB", "1000", "10000AB\t", std::string("100\0" "0AB", 7), "10000AB\r\r"}) {
    Image opt{}, base{};
    const ReadOutcome r = parse("0000011\r\n10020EE\r\n" + bad + "\r\n1003077\r\n", {opt, base});
    EXPECT_EQ(r.status, ReadStatus::InvalidLine) << bad;
    EXPECT_EQ(r.invalidLine, 3) << bad;
    // Reading stopped at the bad line.
    EXPECT_EQ((std::array{opt[0], base[0x20], base[0x30]}), (std::array<std::uint8_t, 3>{0x11, 0xEE, 0})) << bad;
  }
}

TEST_F(ConfigFile, OpenTakesOnlyAFileReadWhole) {
  DeviceState state;
  Image marked{};
  marked.fill(0x42);
  state.setDevice(Area::Option, marked);
  state.setConfigFilePath("before");
  ExportBuffers exp;
  exp.option.fill(9);
  MapBuffer map;
  map.fill(9);
  // Files that cannot be read: missing, a folder, too big, a FIFO with no
  // writer (which would block an ordinary open for ever).
  const std::string big = write("big.txt", "");
  ASSERT_EQ(::truncate(big.c_str(), static_cast<off_t>(kMaxFileBytes + 1)), 0);
  const std::string fifo = (dir_ / "fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {(dir_ / "missing.txt").string(), dir_.string(), big, fifo}) {
    const ReadOutcome r = readForOpen(path, state);
    EXPECT_EQ(r.status, ReadStatus::CouldNotOpen) << path;
    EXPECT_FALSE(r.detail.empty()) << path;
    EXPECT_EQ(readForExport(path, state, exp).status, ReadStatus::CouldNotOpen);
    EXPECT_EQ(readForMap(path, Area::Base, map).status, ReadStatus::CouldNotOpen);
  }
  // A damaged line, a binary file, configuration lines after the empty
  // line that ends the data (a Save would drop them).
  const std::pair<std::string, int> files[] = {
      {"1000012\r\n10000abcd\r\n", 2}, {std::string("\x7F" "ELF\x02\0", 6), 1}, {"1000012\r\n\r\n \r\n0000034\r\n", 4}};
  for (const auto& [text, line] : files) EXPECT_EQ(readForOpen(write("bad.txt", text), state).invalidLine, line) << text;
  // Nothing changed.
  EXPECT_EQ(state.g_fileMode.load(), 0);
  EXPECT_EQ(state.configFilePath(), "before");
  EXPECT_EQ(state.device(Area::Option), marked);
  EXPECT_EQ(exp.option[0], 9);
  EXPECT_EQ(map[0], 9);
  // A saved configuration, blank lines after its end: opened exactly, the
  // areas' bytes and 00 after them.
  std::mt19937 gen(7);
  Image opt = randomImage(gen), base = randomImage(gen);
  const std::string path = (dir_ / "ok.txt").string();
  ASSERT_EQ(saveText(path, wholeConfiguration(opt, base) + " \t\r\n"), SaveStatus::Saved);
  EXPECT_EQ(readForOpen(path, state).status, ReadStatus::Read);
  EXPECT_EQ(state.g_fileMode.load(), 1);
  EXPECT_EQ(state.configFilePath(), path);
  std::fill(opt.begin() + kOptionImageBytes, opt.end(), 0);
  std::fill(base.begin() + kBaseImageBytes, base.end(), 0);
  EXPECT_EQ(state.device(Area::Option), opt);
  EXPECT_EQ(state.device(Area::Base), base);
}

TEST_F(ConfigFile, WritesAreCutAtTheBufferEnd) {
  // 200-byte map buffer inside a larger array whose guard bytes must stay.
  std::array<std::uint8_t, kMapBufferSize + 16> guarded{};
  guarded.fill(0x5A);
  const std::span<std::uint8_t> map(guarded.data(), kMapBufferSize);
  ReadOutcome r = parse("000C6" + std::string(2000, 'A') + "\nFFFF0FFFF\n0FFFF01\n", {map, {}});
  EXPECT_EQ(r.status, ReadStatus::Read);
  EXPECT_TRUE(r.anyAreaLine);
  EXPECT_EQ((std::array{map[0xC5], map[0xC6], map[0xC7]}), (std::array<std::uint8_t, 3>{0x5A, 0xAA, 0xAA}));
  for (std::size_t i = kMapBufferSize; i < guarded.size(); ++i) EXPECT_EQ(guarded[i], 0x5A);

  // A line wholly past the end stores nothing and does not count.
  EXPECT_FALSE(parse("000C8AB\n0FFFFAB\n00000\n", {map, {}}).anyAreaLine);

  // The same through the 256-byte images.
  DeviceState state;
  EXPECT_EQ(readForOpen(write("long.txt", "000FE" + std::string(600, 'C') + "\r\n1FFFF00\r\n"), state).status, ReadStatus::Read);
  EXPECT_EQ(state.device(Area::Option)[0xFF], 0xCC);
  // The map reader starts from zeros and takes only its area: a BASE block
  // read for OPTION.
  const std::string base = write("base.txt", "10000AB\r\n");
  MapBuffer out;
  out.fill(0x77);
  r = readForMap(base, Area::Option, out);
  EXPECT_EQ(r.status, ReadStatus::Read);
  EXPECT_FALSE(r.anyAreaLine);
  EXPECT_EQ(out, MapBuffer{});
  EXPECT_TRUE(readForMap(base, Area::Base, out).anyAreaLine);
  EXPECT_EQ(out[0], 0xAB);
}

TEST_F(ConfigFile, FailedSaveKeepsThePreviousFile) {
  const std::string path = write("keep.txt", "0000011\r\n");
  ::chmod(path.c_str(), 0640);
  std::string detail;
  ASSERT_EQ(saveText(path, "0000022\r\n", &detail), SaveStatus::Saved);
  EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));  // kept over the rename

  EXPECT_EQ(saveText((dir_ / "no_such_dir" / "x.txt").string(), "00000\r\n", &detail), SaveStatus::CouldNotOpen);
  EXPECT_NE(detail.find("No such file"), std::string::npos) << detail;
  fs::create_directory(dir_ / "sub");
  detail.clear();
  EXPECT_EQ(saveText((dir_ / "sub").string(), "00000\r\n", &detail), SaveStatus::CouldNotOpen);
  EXPECT_FALSE(detail.empty());

  EXPECT_EQ(testing::readFile(path), "0000022\r\n");
  // keep.txt and sub: no temporary file left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

// Recovery copies of unsaved file-mode work never replace a file.
TEST(RecoveryCopy, KeptInTheStateFolderOrNextToTheFileNeverOverAnotherFile) {
  EXPECT_EQ(recovery::defaultFolder("/state", "/home/u"), "/state/vrx4/recovery/");
  EXPECT_EQ(recovery::defaultFolder("relative", "/home/u"), "/home/u/.local/state/vrx4/recovery/");
  EXPECT_EQ(recovery::defaultFolder(nullptr, nullptr), "");

  testing::TempDir temp;
  const std::string config = wholeConfiguration(Image{}, Image{});
  const std::string file = temp.file("press7.TXT");
  const std::string folder = temp.file("state/vrx4/recovery");
  // Two copies in the same second: the second gets a name of its own.
  const recovery::Kept first = recovery::keep(folder, file, config, 1700000000);
  const recovery::Kept second = recovery::keep(folder, file, config, 1700000000);
  ASSERT_TRUE(first.ok && second.ok) << first.detail << second.detail;
  EXPECT_EQ(first.path.rfind(folder + "/press7.unsaved-2023", 0), 0u) << first.path;
  EXPECT_EQ(second.path, first.path.substr(0, first.path.size() - 4) + "-2.txt");
  EXPECT_EQ(recovery::list(folder).size(), 2u);

  // A folder that cannot be made: next to the file, which stays untouched.
  testing::writeFile(temp.file("blocker"), "");
  const recovery::Kept beside = recovery::keep(temp.file("blocker/recovery"), file, config, 1700000000);
  ASSERT_TRUE(beside.ok) << beside.detail;
  EXPECT_EQ(beside.path.rfind(temp.path + "/press7.unsaved-", 0), 0u) << beside.path;
  EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace vrx4::config_file
