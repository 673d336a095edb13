#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/platform/temp_dir.h"

namespace harvio::platform {
namespace {

TEST(IniFile, IntegersAreReadTheWindowsWay) {
  const struct { const char* text; int32_t value; } cases[] = {
      {"12abc", 12},      {" -7", -7},  {"+5", 5},   {"abc", 0},
      {"-", 0},           {"0x10", 0},  {"\t42", 42}, {"- 3", 0},
      {"4294967297", 1},  {"123456789012", -1097262572},
      {"-2147483648", INT32_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseIniInteger(c.text), c.value) << c.text;
}

// What Windows answers for each key of one file.
TEST(IniFile, ReadsValuesLikeTheProfileFunctions) {
  TempDir dir;
  std::string path = dir.Path() + "r.ini";
  SetFileText(path,
           "Top=1\r\n[S]\r\nA=12abc\r\nB= -7 \r\nC=\r\nD=abc\r\nE=\"quoted\"\r\n"
           "F='5'\r\nnovalue\r\n  lower = 8  \r\nG=\"\r\n[s]\r\nX=9\r\n"
           "[T]\nLf=3\n[U]\rCr=4\r[V]\r\nbad[=7\r\n");
  const struct {
    const char* section;
    const char* key;
    const char* text;  // with the fallback "dflt"
    int32_t value;     // with the fallback 77
  } cases[] = {
      {"S", "A", "12abc", 12},       {"S", "B", "-7", -7},
      {"S", "C", "", 77},            {"S", "D", "abc", 0},
      {"S", "E", "quoted", 0},       {"S", "F", "5", 5},
      {"S", "novalue", "dflt", 77},  {"S", "LOWER", "8", 8},
      {"S", "G", "\"", 0},           {"S", "missing", "dflt", 77},
      // only the first section of a name counts
      {"s", "X", "dflt", 77},        {"", "Top", "1", 1},
      {"T", "Lf", "3", 3},           {"U", "Cr", "4", 4},
      {"V", "bad[", "7", 7},         {"Nowhere", "A", "dflt", 77},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    EXPECT_EQ(ReadIniString(path, c.section, c.key, "dflt", 63), c.text);
    EXPECT_EQ(ReadIniInt(path, c.section, c.key, 77), c.value);
  }
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
