#include "platform/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <regex>
#include <set>

#include "platform/guid.h"

namespace harvio::platform {
namespace {

// Drive Z: is the root; 表\盶\ checks that a name ending in the trail byte
// 0x5C keeps it rather than splitting the path.
TEST(Paths, DriveZIsTheRootBothWays) {
  const std::pair<const char*, const char*> both[] = {
      {"Z:\\a\\b\\", "/a/b/"}, {"Z:\\a\\b", "/a/b"}, {"Z:\\", "/"},
      {"Z:\\\xb1\xed\\\xb1\x5c\\x", "/\xe8\xa1\xa8/\xe7\x9b\xb6/x"}};
  for (const auto& [program, native] : both) {
    EXPECT_EQ(ToNativePath(program), native);
    EXPECT_EQ(FromNativePath(native), program);
  }
  EXPECT_EQ(ToNativePath("z:\\a\\b.jpg"), "/a/b.jpg");
  EXPECT_EQ(ToNativePath("Z:"), "/");
  EXPECT_EQ(LogicalDrives(), "Z");
  // Other drives, shares, cut GBK characters and names without a GBK form.
  for (const char* program : {"C:\\Windows\\", "\\\\server\\share\\a", "Z:\\a\xb1"}) {
    EXPECT_EQ(ToNativePath(program), "") << program;
  }
  EXPECT_EQ(FromNativePath("/tmp/\xf0\x9f\x98\x80"), "");
}

TEST(Paths, RelativeAndExecutablePathsAreAbsolute) {
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(ToNativePath(FromNativePath("x")), std::string(cwd) + (cwd[1] ? "/x" : "x"));
  std::string dir = ExecutableDirectory();
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  ASSERT_GT(n, 0);
  std::string native(exe, static_cast<size_t>(n));
  EXPECT_EQ(ToNativePath(dir), native.substr(0, native.rfind('/') + 1));
}

// Registry form, upper case, version 4, and never the same twice.
TEST(Guid, RegistryFormAndFreshEveryTime) {
  const std::regex form(
      "\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
  std::set<std::string> seen;
  for (int i = 0; i < 2000; ++i) {
    std::string g = NewGuidText();
    ASSERT_TRUE(std::regex_match(g, form)) << g;
    seen.insert(g);
  }
  EXPECT_EQ(seen.size(), 2000u);
}

}  // namespace
}  // namespace harvio::platform
