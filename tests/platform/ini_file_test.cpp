#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/platform/case_files.h"
#include "tests/platform/temp_dir.h"

namespace harvio::platform {
namespace {

// The cases of tests/data/platform/ini_file.txt, read from one file.
TEST(IniFile, ReadsValuesLikeTheProfileFunctions) {
  TempDir dir;
  const std::string path = dir.Path() + "r.ini";
  SetFileText(path,
              "Top=1\r\n[S]\r\nA=12abc\r\nB= -7 \r\nC=\r\nD=abc\r\nE=\"quoted\"\r\n"
              "F='5'\r\nnovalue\r\n  lower = 8  \r\nG=\"\r\n[s]\r\nX=9\r\n"
              "[T]\nLf=3\n[U]\rCr=4\r[V]\r\nbad[=7\r\n");
  testing::CheckCaseFile("platform/ini_file.txt", {
      {"integer", {1, [](const testing::Fields& f) { return std::to_string(ParseIniInteger(f[0])); }}},
      {"read", {2, [&path](const testing::Fields& f) {
         return ReadIniString(path, f[0].c_str(), f[1].c_str(), "dflt", 63) + "\t" +
                std::to_string(ReadIniInt(path, f[0].c_str(), f[1].c_str(), 77));
       }}},
  });
  EXPECT_EQ(ParseIniInteger("\t42"), 42);  // a tab leads like a blank
  EXPECT_EQ(ReadIniString(path, "S", "A", "", 3), "12a");
  EXPECT_EQ(ReadIniInt(dir.Path() + "none.ini", "S", "A", 77), 77);
}

// The bytes are those Windows leaves after the same calls: blank lines and
// blanks around "=" gone, names keep their case, new keys and sections at
// the end, "\r\n" everywhere.
TEST(IniFile, WritesTheSameBytesAsWindows) {
  const struct {
    const char* name;
    const char* before;  // null: no file yet
    const char* after;
  } cases[] = {
      {"new file", nullptr,
       "[Window]\r\nShowTBBCaption=0\r\nXPos=-12\r\nShowGridLine=1\r\n"
       "[General]\r\nWorkPath=C:\\Download\\\r\n[Connect]\r\nConnTimeout=30\r\n"},
      {"existing file",
       "; comment\r\n\r\n[Other]\r\nx = 1 \r\n\r\n\r\n[window]\r\n"
       "showtbbcaption = 5\r\nfoo\r\n\n[Connect]\r\nConnTimeout=30\r\n",
       "; comment\r\n[Other]\r\nx=1\r\n[window]\r\nshowtbbcaption=0\r\nfoo\r\n"
       "XPos=-12\r\nShowGridLine=1\r\n[Connect]\r\nConnTimeout=30\r\n"
       "[General]\r\nWorkPath=C:\\Download\\\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::string path = dir.Path() + "Option.ini";
    if (c.before != nullptr) SetFileText(path, c.before);
    EXPECT_TRUE(WriteIniString(path, "Window", "ShowTBBCaption", "0"));
    EXPECT_TRUE(WriteIniString(path, "Window", "XPos", "-12"));
    EXPECT_TRUE(WriteIniString(path, "General", "WorkPath", "  C:\\Download\\"));
    EXPECT_TRUE(WriteIniString(path, "Connect", "ConnTimeout", "30"));
    EXPECT_TRUE(WriteIniString(path, "Window", "ShowGridLine", "1"));
    EXPECT_EQ(FileText(path), c.after);
  }
}

TEST(IniFile, NoWriteWhenUnchangedTooLargeOrNowhere) {
  TempDir dir;
  std::string path = dir.Path() + "Option.ini";
  SetFileText(path, "[Connect]\n\nRetryWait=3\n");
  EXPECT_TRUE(WriteIniString(path, "connect", "RETRYWAIT", "3"));
  EXPECT_EQ(FileText(path), "[Connect]\n\nRetryWait=3\n");
  // a file far too large for settings is neither read nor rewritten
  const std::string huge = "[A]\r\nB=1\r\n" + std::string(16 << 20, ';');
  SetFileText(path, huge);
  EXPECT_EQ(ReadIniInt(path, "A", "B", 77), 77);
  EXPECT_FALSE(WriteIniString(path, "A", "B", "2"));
  EXPECT_EQ(FileText(path).size(), huge.size());
  // a folder that does not exist cannot take the file
  EXPECT_FALSE(WriteIniString(dir.Path() + "no\\Option.ini", "A", "B", "1"));
  EXPECT_FALSE(FileExists(dir.Path() + "no"));
}

}  // namespace
}  // namespace harvio::platform
