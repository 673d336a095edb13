#include "platform/files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "tests/platform/temp_dir.h"

namespace harvio::platform {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(ToNativePath(path), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const std::string& path, const std::string& data) {
  File f = File::Open(path, File::Mode::kOpenOrCreate);
  ASSERT_TRUE(f.IsOpen()) << path;
  ASSERT_TRUE(f.Write(data.data(), static_cast<uint32_t>(data.size())));
}

TEST(Files, ModesDecideWhetherTheFileMayExist) {
  TempDir dir;
  std::string path = dir.Path() + "a.jpg";
  EXPECT_FALSE(File::Open(path, File::Mode::kReadExisting).IsOpen());
  EXPECT_FALSE(File::Open(path, File::Mode::kWriteExisting).IsOpen());
  EXPECT_TRUE(File::Open(path, File::Mode::kCreateNew).IsOpen());
  EXPECT_FALSE(File::Open(path, File::Mode::kCreateNew).IsOpen());
  EXPECT_TRUE(File::Open(path, File::Mode::kReadExisting).IsOpen());
  EXPECT_TRUE(File::Open(path, File::Mode::kWriteExisting).IsOpen());
  EXPECT_TRUE(File::Open(path, File::Mode::kOpenOrCreate).IsOpen());
  // A directory is never opened as a file.
  EXPECT_FALSE(File::Open(dir.Path(), File::Mode::kReadExisting).IsOpen());
}

TEST(Files, WriteSeekTruncateRead) {
  TempDir dir;
  std::string path = dir.Path() + "f.!";
  WriteAll(path, "hello world");
  File f = File::Open(path, File::Mode::kWriteExisting);
  ASSERT_TRUE(f.IsOpen());
  EXPECT_EQ(f.Size(), 11);
  ASSERT_TRUE(f.Seek(5));
  ASSERT_TRUE(f.Truncate());
  EXPECT_EQ(f.Size(), 5);
  ASSERT_TRUE(f.Write("!", 1));
  ASSERT_TRUE(f.Seek(0));
  char buffer[16] = {};
  EXPECT_EQ(f.Read(buffer, sizeof buffer), 6);
  EXPECT_EQ(std::string(buffer), "hello!");
  EXPECT_EQ(f.Read(buffer, sizeof buffer), 0);  // end of file
  f.Close();
  EXPECT_FALSE(f.IsOpen());
  EXPECT_EQ(f.Read(buffer, 1), -1);
  EXPECT_FALSE(f.Write("x", 1));
}

TEST(Files, MovedFileKeepsItsHandle) {
  TempDir dir;
  File a = File::Open(dir.Path() + "m", File::Mode::kCreateNew);
  ASSERT_TRUE(a.IsOpen());
  File b = std::move(a);
  EXPECT_FALSE(a.IsOpen());
  EXPECT_TRUE(b.Write("xy", 2));
  EXPECT_EQ(b.Size(), 2);
}

TEST(Files, GbkNamesWithTrailBackslash) {
  TempDir dir;
  std::string folder = dir.Path() + "\xb1\x5c";  // 盶
  ASSERT_TRUE(CreateDirectory(folder));
  EXPECT_FALSE(CreateDirectory(folder));  // exists already
  EXPECT_TRUE(IsDirectory(folder));
  EXPECT_TRUE(IsDirectory(folder + "\\"));
  WriteAll(folder + "\\\xb1\xed.jpg", "x");  // 表.jpg
  EXPECT_TRUE(FileExists(folder + "\\\xb1\xed.jpg"));
  EXPECT_FALSE(IsDirectory(folder + "\\\xb1\xed.jpg"));
  EXPECT_EQ(ReadAll(dir.Path() + "\xb1\x5c\\\xb1\xed.jpg"), "x");
  std::ifstream on_disk(dir.Native() + "/\xe7\x9b\xb6/\xe8\xa1\xa8.jpg");
  EXPECT_TRUE(on_disk.good());
}

TEST(Files, RenameNeverOverwrites) {
  TempDir dir;
  std::string a = dir.Path() + "a.!", b = dir.Path() + "a";
  WriteAll(a, "new");
  WriteAll(b, "old");
  EXPECT_FALSE(RenameNoOverwrite(a, b));
  EXPECT_EQ(ReadAll(b), "old");
  EXPECT_EQ(ReadAll(a), "new");
  ASSERT_TRUE(DeleteFile(b));
  EXPECT_FALSE(FileExists(b));
  EXPECT_FALSE(DeleteFile(b));
  EXPECT_TRUE(RenameNoOverwrite(a, b));
  EXPECT_FALSE(FileExists(a));
  EXPECT_EQ(ReadAll(b), "new");
  EXPECT_FALSE(RenameNoOverwrite(a, b));  // source gone
}

TEST(Files, ReplaceTakesThePlaceOfTheTarget) {
  TempDir dir;
  std::string tmp = dir.Path() + "List.tmp", list = dir.Path() + "List";
  WriteAll(list, "old contents");
  WriteAll(tmp, "new");
  ASSERT_TRUE(ReplaceFile(tmp, list));
  EXPECT_FALSE(FileExists(tmp));
  EXPECT_EQ(ReadAll(list), "new");
}

TEST(Files, OtherDrivesFailCleanly) {
  EXPECT_FALSE(File::Open("C:\\x", File::Mode::kOpenOrCreate).IsOpen());
  EXPECT_FALSE(IsDirectory("C:\\"));
  EXPECT_FALSE(CreateDirectory("C:\\x"));
  EXPECT_FALSE(FileExists("C:\\x"));
  EXPECT_TRUE(IsDirectory("Z:\\"));
}

TEST(Mapping, ReadOnlyViewOfTheWholeFile) {
  TempDir dir;
  std::string path = dir.Path() + "page";
  WriteAll(path, "<html>");
  File f = File::Open(path, File::Mode::kReadExisting);
  Mapping m = Mapping::MapReadOnly(f);
  ASSERT_TRUE(m.IsValid());
  ASSERT_EQ(m.Size(), 6u);
  EXPECT_EQ(std::string(m.Data(), 6), "<html>");
  Mapping moved = std::move(m);
  EXPECT_FALSE(m.IsValid());
  EXPECT_TRUE(moved.IsValid());
  moved.Unmap();
  EXPECT_FALSE(moved.IsValid());
}

TEST(Mapping, EmptyFileHasNoView) {
  TempDir dir;
  File f = File::Open(dir.Path() + "empty", File::Mode::kCreateNew);
  EXPECT_FALSE(Mapping::MapReadOnly(f).IsValid());
}

TEST(Mapping, ReadWriteLengthensAndWritesThrough) {
  TempDir dir;
  std::string path = dir.Path() + "big.!";
  WriteAll(path, "abc");
  {
    File f = File::Open(path, File::Mode::kWriteExisting);
    Mapping m = Mapping::MapReadWrite(f, 4);
    ASSERT_TRUE(m.IsValid());
    ASSERT_EQ(m.Size(), 4u);
    EXPECT_EQ(m.Data()[3], '\0');  // the added byte reads as zero
    m.Data()[0] = 'A';
  }
  EXPECT_EQ(ReadAll(path), std::string("Abc\0", 4));
  // A longer file is mapped whole, never cut.
  File f = File::Open(path, File::Mode::kWriteExisting);
  Mapping m = Mapping::MapReadWrite(f, 2);
  ASSERT_TRUE(m.IsValid());
  EXPECT_EQ(m.Size(), 4u);
  // A read-only handle cannot give a writable view.
  File r = File::Open(path, File::Mode::kReadExisting);
  EXPECT_FALSE(Mapping::MapReadWrite(r, 8).IsValid());
}

}  // namespace
}  // namespace harvio::platform
