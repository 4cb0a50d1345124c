#include "core/memory/config_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <vector>

#include "../test_files.h"

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
  const auto optLines = splitCrLf(optionBlock(opt));
  ASSERT_EQ(optLines.size(), 8u);
  EXPECT_EQ(optLines[0], "000000102030405060708090A0B0C0D0E0F10");
  for (int i = 0; i < 7; ++i) EXPECT_EQ(optLines[i].size(), 37u);
  EXPECT_EQ(optLines[7], "000700000AB");  // 3 bytes: 0x70, 0x71, 0x72

  Image base{};
  base[0x6F] = 0x5C;
  base[0x70] = 0xEE;
  const auto baseLines = splitCrLf(baseBlock(base));
  ASSERT_EQ(baseLines.size(), 8u);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(baseLines[i].size(), 37u);
    EXPECT_EQ(baseLines[i].substr(0, 5), "100" + std::string(1, "0123456"[i]) + "0");
  }
  EXPECT_EQ(baseLines[6].substr(35), "5C");
  EXPECT_EQ(baseLines[7], "");  // the empty line that ends the data
  EXPECT_EQ(wholeConfiguration(opt, base), optionBlock(opt) + baseBlock(base));
}

TEST_F(ConfigFile, SavedConfigurationOpensBackExactly) {
  std::mt19937 gen(7);
  const Image opt = randomImage(gen), base = randomImage(gen);
  const std::string path = (dir_ / "cfg.txt").string();
  ASSERT_EQ(saveText(path, wholeConfiguration(opt, base)), SaveStatus::Saved);

  DeviceState state;
  state.setDevice(Area::Option, randomImage(gen));  // must not survive Open
  state.setDevice(Area::Base, randomImage(gen));
  const ReadOutcome r = readForOpen(path, state);
  EXPECT_EQ(r.status, ReadStatus::Read);
  EXPECT_EQ(state.g_fileMode.load(), 1);
  EXPECT_EQ(state.configFilePath(), path);
  const Image o = state.device(Area::Option), b = state.device(Area::Base);
  for (std::size_t i = 0; i < kImageSize; ++i) {
    EXPECT_EQ(o[i], i < kOptionImageBytes ? opt[i] : 0) << "OPTION " << i;
    EXPECT_EQ(b[i], i < kBaseImageBytes ? base[i] : 0) << "BASE " << i;
  }
}

TEST_F(ConfigFile, LineEndsBomAndMissingEmptyLine) {
  for (std::string text : {"10010ABCD", "10010ABCD\n", "10010ABCD\r\n\r\n10000FF", "\xEF\xBB\xBF" "10010ABCD\r\n",
                           "00000\n10010ABCDE\n"}) {
    Image opt{}, base{};
    const ReadOutcome r = parse(text, {opt, base});
    EXPECT_EQ(r.status, ReadStatus::Read) << text;
    EXPECT_EQ(base[0x10], 0xAB) << text;
    EXPECT_EQ(base[0x11], 0xCD) << text;  // a lone last digit is ignored
    EXPECT_EQ(base[0x00], 0) << text;     // nothing after the empty line
    EXPECT_EQ(base[0x12], 0) << text;
    EXPECT_TRUE(r.anyAreaLine);
  }
  // A file of LF-only lines without a final empty line is read to its end.
  Image opt{}, base{};
  EXPECT_EQ(parse("0000011\n0001022\n1000033", {opt, base}).status, ReadStatus::Read);
  EXPECT_EQ(opt[0x00], 0x11);
  EXPECT_EQ(opt[0x10], 0x22);
  EXPECT_EQ(base[0x00], 0x33);
}

TEST_F(ConfigFile, InvalidLinesStopTheReadWithTheirNumber) {
  for (const std::string& bad : std::vector<std::string>{"10000abcd", "1000 AB", "1000", "10000AB\t", std::string("100\0" "0AB", 7), "10000AB\r\r"}) {
    Image opt{}, base{};
    const ReadOutcome r = parse("0000011\r\n10020EE\r\n" + bad + "\r\n1003077\r\n", {opt, base});
    EXPECT_EQ(r.status, ReadStatus::InvalidLine) << bad;
    EXPECT_EQ(r.invalidLine, 3) << bad;
    EXPECT_EQ(opt[0], 0x11);
    EXPECT_EQ(base[0x20], 0xEE);
    EXPECT_EQ(base[0x30], 0);  // reading stopped at the bad line
  }

  const std::string path = write("bad.txt", "1000012\r\n10000abcd\r\n");
  DeviceState state;
  ExportBuffers out;
  EXPECT_EQ(readForExport(path, state, out).status, ReadStatus::InvalidLine);
}

TEST_F(ConfigFile, OpenTakesOnlyAFileReadWhole) {
  // A damaged line, a binary file, configuration lines after the empty
  // line that ends the data (a Save would drop them): nothing changes.
  DeviceState state;
  state.setConfigFilePath("before");
  const std::pair<std::string, int> files[] = {
      {"1000012\r\n10000abcd\r\n", 2}, {std::string("\x7F" "ELF\x02\0", 6), 1}, {"1000012\r\n\r\n \r\n0000034\r\n", 4}};
  for (const auto& [text, line] : files) EXPECT_EQ(readForOpen(write("bad.txt", text), state).invalidLine, line) << text;
  EXPECT_EQ(state.g_fileMode.load(), 0);
  EXPECT_EQ(state.configFilePath(), "before");
  EXPECT_EQ(state.device(Area::Base)[0], 0);
  // Blank lines after the end leave nothing unread.
  EXPECT_EQ(readForOpen(write("ok.txt", "1000012\r\n\r\n \t\r\n"), state).status, ReadStatus::Read);
  EXPECT_EQ(state.device(Area::Base)[0], 0x12);
}

TEST_F(ConfigFile, WritesAreCutAtTheBufferEnd) {
  // 200-byte map buffer inside a larger array whose guard bytes must stay.
  std::array<std::uint8_t, kMapBufferSize + 16> guarded{};
  guarded.fill(0x5A);
  const std::span<std::uint8_t> map(guarded.data(), kMapBufferSize);
  const std::string longLine = "000C6" + std::string(2000, 'A');
  ReadOutcome r = parse(longLine + "\nFFFF0FFFF\n0FFFF01\n", {map, {}});
  EXPECT_EQ(r.status, ReadStatus::Read);
  EXPECT_TRUE(r.anyAreaLine);
  EXPECT_EQ(map[0xC6], 0xAA);
  EXPECT_EQ(map[0xC7], 0xAA);
  EXPECT_EQ(map[0xC5], 0x5A);
  for (std::size_t i = kMapBufferSize; i < guarded.size(); ++i) EXPECT_EQ(guarded[i], 0x5A);

  // A line wholly past the end stores nothing and does not count.
  EXPECT_FALSE(parse("000C8AB\n0FFFFAB\n00000\n", {map, {}}).anyAreaLine);

  // The same through the 256-byte images and the map reader.
  DeviceState state;
  const std::string path = write("long.txt", "000FE" + std::string(600, 'C') + "\r\n1FFFF00\r\n");
  EXPECT_EQ(readForOpen(path, state).status, ReadStatus::Read);
  EXPECT_EQ(state.device(Area::Option)[0xFF], 0xCC);
  MapBuffer out{};
  EXPECT_EQ(readForMap(path, Area::Option, out).status, ReadStatus::Read);
  EXPECT_EQ(out[kMapBufferSize - 1], 0);
}

TEST_F(ConfigFile, MapReaderTakesOnlyItsArea) {
  std::mt19937 gen(3);
  const std::string path = write("base.txt", baseBlock(randomImage(gen)));
  MapBuffer out;
  out.fill(0x77);
  const ReadOutcome r = readForMap(path, Area::Option, out);
  EXPECT_EQ(r.status, ReadStatus::Read);
  EXPECT_FALSE(r.anyAreaLine);
  for (auto b : out) EXPECT_EQ(b, 0);
  EXPECT_TRUE(readForMap(path, Area::Base, out).anyAreaLine);
}

TEST_F(ConfigFile, UnreadableFilesChangeNothing) {
  DeviceState state;
  Image marked{};
  marked.fill(0x42);
  state.setDevice(Area::Option, marked);
  state.setConfigFilePath("before");
  ExportBuffers exp;
  exp.option.fill(9);
  MapBuffer map;
  map.fill(9);

  const std::string big = (dir_ / "big.txt").string();
  ASSERT_EQ(::truncate(write("big.txt", "").c_str(), static_cast<off_t>(kMaxFileBytes + 1)), 0);
  // A FIFO with no writer would block an ordinary open for ever.
  const std::string fifo = (dir_ / "fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {(dir_ / "missing.txt").string(), dir_.string(), big, fifo}) {
    const ReadOutcome r = readForOpen(path, state);
    EXPECT_EQ(r.status, ReadStatus::CouldNotOpen) << path;
    EXPECT_FALSE(r.detail.empty()) << path;
    EXPECT_EQ(readForExport(path, state, exp).status, ReadStatus::CouldNotOpen);
    EXPECT_EQ(readForMap(path, Area::Base, map).status, ReadStatus::CouldNotOpen);
  }
  EXPECT_EQ(state.g_fileMode.load(), 0);
  EXPECT_EQ(state.configFilePath(), "before");
  EXPECT_EQ(state.device(Area::Option), marked);
  EXPECT_EQ(exp.option[0], 9);
  EXPECT_EQ(map[0], 9);
}

TEST_F(ConfigFile, FailedSaveKeepsThePreviousFile) {
  const std::string path = write("keep.txt", "0000011\r\n");
  ::chmod(path.c_str(), 0640);
  std::string detail;
  ASSERT_EQ(saveText(path, "0000022\r\n", &detail), SaveStatus::Saved);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);  // permissions kept over the rename

  EXPECT_EQ(saveText((dir_ / "no_such_dir" / "x.txt").string(), "00000\r\n", &detail), SaveStatus::CouldNotOpen);
  EXPECT_NE(detail.find("No such file"), std::string::npos) << detail;
  fs::create_directory(dir_ / "sub");
  detail.clear();
  EXPECT_EQ(saveText((dir_ / "sub").string(), "00000\r\n", &detail), SaveStatus::CouldNotOpen);
  EXPECT_FALSE(detail.empty());

  EXPECT_EQ(testing::readFile(path), "0000022\r\n");
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
  EXPECT_EQ(entries, 2u);  // keep.txt and sub: no temporary file left behind
}

TEST_F(ConfigFile, RandomInputNeverWritesOutOfBounds) {
  std::mt19937 gen(12345);
  const std::string valid = wholeConfiguration(randomImage(gen), randomImage(gen));
  const std::string alphabet = "0123456789ABCDEF\r\n";
  for (int round = 0; round < 1500; ++round) {
    std::string text;
    if (round % 2 == 0) {
      text = valid;
      for (int m = 0; m < 1 + static_cast<int>(gen() % 8); ++m) {
        const std::size_t at = gen() % text.size();
        switch (gen() % 3) {
          case 0: text[at] = static_cast<char>(gen()); break;
          case 1: text.erase(at, gen() % 40); break;
          default: text.insert(at, std::string(gen() % 300, alphabet[gen() % alphabet.size()])); break;
        }
        if (text.empty()) text = "0";
      }
    } else {
      text.resize(gen() % 400);
      for (auto& c : text) c = gen() % 4 == 0 ? static_cast<char>(gen()) : alphabet[gen() % alphabet.size()];
    }
    // Heap buffers of odd small sizes so AddressSanitizer sees any overflow.
    std::vector<std::uint8_t> opt(1 + gen() % 20), base(gen() % 20);
    const ReadOutcome r = parse(text, {opt, base});
    if (r.status == ReadStatus::InvalidLine) {
      ASSERT_GE(r.invalidLine, 1);
    }
  }
}

}  // namespace
}  // namespace vrx4::config_file
