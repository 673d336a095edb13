#include "platform/files.h"

#include <gtest/gtest.h>

#include "tests/platform/temp_dir.h"

namespace harvio::platform {
namespace {

void WriteAll(const std::string& path, const std::string& data) {
  File f = File::Open(path, File::Mode::kOpenOrCreate);
  ASSERT_TRUE(f.Write(data.data(), static_cast<uint32_t>(data.size()))) << path;
}

TEST(Files, ModesDecideWhetherTheFileMayExist) {
  TempDir dir;
  std::string path = dir.Path() + "a.jpg";
  EXPECT_FALSE(File::Open(path, File::Mode::kReadExisting).IsOpen());
  EXPECT_FALSE(File::Open(path, File::Mode::kWriteExisting).IsOpen());
  EXPECT_TRUE(File::Open(path, File::Mode::kCreateNew).IsOpen());
  EXPECT_FALSE(File::Open(path, File::Mode::kCreateNew).IsOpen());
  for (File::Mode mode : {File::Mode::kReadExisting, File::Mode::kWriteExisting,
                          File::Mode::kOpenOrCreate}) {
    EXPECT_TRUE(File::Open(path, mode).IsOpen());
  }
  // Never a directory, nor a drive other than Z:.
  EXPECT_FALSE(File::Open(dir.Path(), File::Mode::kReadExisting).IsOpen());
  EXPECT_FALSE(File::Open("C:\\x", File::Mode::kOpenOrCreate).IsOpen() ||
               IsDirectory("C:\\"));
  EXPECT_TRUE(IsDirectory("Z:\\"));
}

TEST(Files, WriteSeekTruncateReadAndMove) {
  TempDir dir;
  WriteAll(dir.Path() + "f.!", "hello world");
  File opened = File::Open(dir.Path() + "f.!", File::Mode::kWriteExisting);
  File f = std::move(opened);
  EXPECT_FALSE(opened.IsOpen());
  EXPECT_EQ(f.Size(), 11);
  ASSERT_TRUE(f.Seek(5) && f.Truncate());
  EXPECT_EQ(f.Size(), 5);
  ASSERT_TRUE(f.Write("!", 1) && f.Seek(0));
  char buffer[16] = {};
  EXPECT_EQ(f.Read(buffer, sizeof buffer), 6);
  EXPECT_EQ(std::string(buffer), "hello!");
  EXPECT_EQ(f.Read(buffer, sizeof buffer), 0);  // end of file
  f.Close();
  EXPECT_EQ(f.Read(buffer, 1), -1);
  EXPECT_FALSE(f.Write("x", 1));
}

// 盶 (B1 5C) ends in a byte that looks like a backslash.
TEST(Files, GbkNamesWithTrailBackslash) {
  TempDir dir;
  std::string folder = dir.Path() + "\xb1\x5c";
  ASSERT_TRUE(CreateDirectory(folder));
  EXPECT_FALSE(CreateDirectory(folder));  // exists already
  EXPECT_TRUE(IsDirectory(folder + "\\"));
  WriteAll(folder + "\\\xb1\xed.jpg", "x");  // 表.jpg
  EXPECT_TRUE(FileExists(folder + "\\\xb1\xed.jpg"));
  EXPECT_TRUE(std::ifstream(dir.Native() + "/\xe7\x9b\xb6/\xe8\xa1\xa8.jpg").good());
}

TEST(Files, RenameNeverOverwritesReplaceDoes) {
  TempDir dir;
  std::string a = dir.Path() + "a.!", b = dir.Path() + "a";
  WriteAll(a, "new");
  WriteAll(b, "old");
  EXPECT_FALSE(RenameNoOverwrite(a, b));
  EXPECT_EQ(FileText(b), "old");
  ASSERT_TRUE(DeleteFile(b));
  EXPECT_FALSE(DeleteFile(b));
  EXPECT_TRUE(RenameNoOverwrite(a, b));
  EXPECT_FALSE(FileExists(a));
  EXPECT_EQ(FileText(b), "new");
  EXPECT_FALSE(RenameNoOverwrite(a, b));  // source gone
  WriteAll(a, "newer");
  ASSERT_TRUE(ReplaceFile(a, b));
  EXPECT_FALSE(FileExists(a));
  EXPECT_EQ(FileText(b), "newer");
}

// Read-only views are whole and never of an empty file; a writable one
// lengthens a shorter file with zero bytes and maps a longer one whole.
TEST(Mapping, ViewsOfWholeFiles) {
  TempDir dir;
  std::string path = dir.Path() + "big.!";
  WriteAll(path, "abc");
  File reader = File::Open(path, File::Mode::kReadExisting);
  Mapping m = Mapping::MapReadOnly(reader);
  ASSERT_TRUE(m.IsValid());
  EXPECT_EQ(std::string(m.Data(), m.Size()), "abc");
  Mapping moved = std::move(m);
  EXPECT_FALSE(m.IsValid());
  moved.Unmap();
  EXPECT_FALSE(moved.IsValid());
  EXPECT_FALSE(Mapping::MapReadWrite(reader, 8).IsValid());  // read-only handle
  File empty = File::Open(dir.Path() + "empty", File::Mode::kCreateNew);
  EXPECT_FALSE(Mapping::MapReadOnly(empty).IsValid());
  {
    File f = File::Open(path, File::Mode::kWriteExisting);
    Mapping w = Mapping::MapReadWrite(f, 4);
    ASSERT_EQ(w.Size(), 4u);
    EXPECT_EQ(w.Data()[3], '\0');
    w.Data()[0] = 'A';
  }
  EXPECT_EQ(FileText(path), std::string("Abc\0", 4));
  File f = File::Open(path, File::Mode::kWriteExisting);
  EXPECT_EQ(Mapping::MapReadWrite(f, 2).Size(), 4u);
}

}  // namespace
}  // namespace harvio::platform
