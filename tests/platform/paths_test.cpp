#include "platform/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace harvio::platform {
namespace {

TEST(Paths, DriveZIsTheRoot) {
  EXPECT_EQ(ToNativePath("Z:\\a\\b\\"), "/a/b/");
  EXPECT_EQ(ToNativePath("z:\\a\\b.jpg"), "/a/b.jpg");
  EXPECT_EQ(ToNativePath("Z:\\"), "/");
  EXPECT_EQ(ToNativePath("Z:"), "/");
  EXPECT_EQ(FromNativePath("/a/b"), "Z:\\a\\b");
  EXPECT_EQ(FromNativePath("/a/b/"), "Z:\\a\\b\\");
  EXPECT_EQ(FromNativePath("/"), "Z:\\");
  EXPECT_EQ(LogicalDrives(), "Z");
}

TEST(Paths, OtherDrivesAndSharesNameNothing) {
  EXPECT_EQ(ToNativePath("C:\\Windows\\"), "");
  EXPECT_EQ(ToNativePath("\\\\server\\share\\a"), "");
}

TEST(Paths, GbkNamesAreUtf8OnDisk) {
  // 表\盶\ : the second name ends in the trail byte 0x5C, which must stay
  // part of its character rather than split the path.
  EXPECT_EQ(ToNativePath("Z:\\\xb1\xed\\\xb1\x5c\\x"),
            "/\xe8\xa1\xa8/\xe7\x9b\xb6/x");
  EXPECT_EQ(FromNativePath("/\xe8\xa1\xa8/\xe7\x9b\xb6/x"),
            "Z:\\\xb1\xed\\\xb1\x5c\\x");
}

TEST(Paths, UnconvertibleNamesFail) {
  EXPECT_EQ(FromNativePath("/tmp/\xf0\x9f\x98\x80"), "");  // no GBK form
  EXPECT_EQ(ToNativePath("Z:\\a\xb1"), "");                 // cut GBK character
}

TEST(Paths, RelativeNativePathsBecomeAbsolute) {
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(ToNativePath(FromNativePath("x")), std::string(cwd) + (cwd[1] ? "/x" : "x"));
}

TEST(Paths, ExecutableDirectoryInProgramForm) {
  std::string dir = ExecutableDirectory();
  ASSERT_GE(dir.size(), 3u);
  EXPECT_EQ(dir.substr(0, 3), "Z:\\");
  EXPECT_EQ(dir.back(), '\\');
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  ASSERT_GT(n, 0);
  std::string native(exe, static_cast<size_t>(n));
  EXPECT_EQ(ToNativePath(dir), native.substr(0, native.rfind('/') + 1));
}

}  // namespace
}  // namespace harvio::platform
