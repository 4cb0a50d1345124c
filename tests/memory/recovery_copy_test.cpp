// Recovery copies of unsaved file-mode work: where they go, that they never
// replace a file, that every reader takes them as the configuration they
// hold, and the file they name.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "../test_files.h"
#include "core/memory/config_file.h"
#include "core/memory/recovery_copy.h"

namespace vrx4 {
namespace {

using testing::readFile;

TEST(RecoveryCopy, KeptInTheStateFolderOrNextToTheFileAndReadAsAConfiguration) {
  EXPECT_EQ(recovery::defaultFolder("/state", "/home/u"), "/state/vrx4/recovery/");
  EXPECT_EQ(recovery::defaultFolder("relative", "/home/u"), "/home/u/.local/state/vrx4/recovery/");
  EXPECT_EQ(recovery::defaultFolder(nullptr, nullptr), "");

  testing::TempDir temp;
  Image option{}, base{};
  option[0x10] = 0xAB;
  base[0x2B] = 0x7F;
  const std::string config = config_file::wholeConfiguration(option, base);
  const std::string file = temp.file("press7.TXT");
  const std::string folder = temp.file("state/vrx4/recovery");
  const std::time_t at = 1700000000;

  // Two copies in the same second: the second gets a name of its own.
  const recovery::Kept first = recovery::keep(folder, file, config, at);
  const recovery::Kept second = recovery::keep(folder, file, config, at);
  ASSERT_TRUE(first.ok && second.ok) << first.detail << second.detail;
  EXPECT_EQ(first.path.rfind(folder + "/press7.unsaved-2023", 0), 0u) << first.path;
  EXPECT_EQ(second.path, first.path.substr(0, first.path.size() - 4) + "-2.txt");
  EXPECT_FALSE(std::filesystem::exists(file));

  // The line that names the file comes after the data's closing empty
  // line: a reader takes the copy as the configuration it holds.
  EXPECT_EQ(readFile(first.path), config + "Unsaved work on: " + file + "\r\n");
  Image readOption{}, readBase{};
  const config_file::ReadOutcome r = config_file::readFile(first.path, {readOption, readBase});
  EXPECT_EQ(r.status, config_file::ReadStatus::Read);
  EXPECT_EQ(readOption, option);
  EXPECT_EQ(readBase, base);

  // A folder that cannot be made: next to the file.
  testing::writeFile(temp.file("blocker"), "");
  const recovery::Kept beside = recovery::keep(temp.file("blocker/recovery"), file, config, at);
  ASSERT_TRUE(beside.ok) << beside.detail;
  EXPECT_EQ(beside.path.rfind(temp.path + "/press7.unsaved-", 0), 0u) << beside.path;

  // Listed newest first, each with the file it belongs to; other files of
  // the folder name none.
  namespace fs = std::filesystem;
  const fs::file_time_type now = fs::last_write_time(second.path);
  fs::last_write_time(first.path, now - std::chrono::hours(1));
  testing::writeFile(folder + "/notes.txt", "00000\r\n");
  fs::last_write_time(folder + "/notes.txt", now + std::chrono::hours(1));
  testing::writeFile(folder + "/notes.csv", "");
  const std::vector<recovery::Copy> copies = recovery::list(folder);
  ASSERT_EQ(copies.size(), 3u);
  EXPECT_EQ(copies[0].path, folder + "/notes.txt");
  EXPECT_EQ(copies[0].file, "");
  EXPECT_EQ(copies[1].path, second.path);
  EXPECT_EQ(copies[2].path, first.path);
  EXPECT_EQ(copies[2].file, file);
}

}  // namespace
}  // namespace vrx4
