// Recovery copies of unsaved file-mode work: where they go, and that they
// never replace a file.
#include <gtest/gtest.h>

#include "../test_files.h"
#include "core/memory/config_file.h"
#include "core/memory/recovery_copy.h"

namespace vrx4 {
namespace {

TEST(RecoveryCopy, KeptInTheStateFolderOrNextToTheFileNeverOverAnotherFile) {
  EXPECT_EQ(recovery::defaultFolder("/state", "/home/u"), "/state/vrx4/recovery/");
  EXPECT_EQ(recovery::defaultFolder("relative", "/home/u"), "/home/u/.local/state/vrx4/recovery/");
  EXPECT_EQ(recovery::defaultFolder(nullptr, nullptr), "");

  testing::TempDir temp;
  const std::string config = config_file::wholeConfiguration(Image{}, Image{});
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
}  // namespace vrx4
