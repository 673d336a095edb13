#include "app/options.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/temp_dir.h"

namespace harvio {
namespace {

constexpr platform::ScreenSize kScreen{1024, 768};

class OptionsFile : public ::testing::Test {
 protected:
  std::string Path() const { return dir_.Path() + kOptionsFileName; }
  Options Load(const std::string& text) {
    SetFileText(Path(), text);
    Options options;
    options.shutdownWhenDone = 1;
    LoadOptions(options, Path(), kScreen);
    return options;
  }

  platform::TempDir dir_;
};

void ExpectDefaultGeometry(const Options& o) {
  // centre at 40% of 1024 by 768: 409 - 332, 307 - 212
  EXPECT_EQ(o.XPos, 77);
  EXPECT_EQ(o.YPos, 95);
  EXPECT_EQ(o.Width, 665);
  EXPECT_EQ(o.Height, 425);
  EXPECT_EQ(o.TLHeight, 105);
}

// The values in force before are all replaced, by a fresh program's.
TEST_F(OptionsFile, NoFileGivesTheDefaults) {
  Options o, fresh;
  o.shutdownWhenDone = 1;
  o.KeepWnd = 0;
  o.ConnTimeout = 77;
  std::strcpy(o.WorkPath, "Z:\\x\\");
  EXPECT_FALSE(LoadOptions(o, Path(), kScreen));
  SetDefaultGeometry(fresh, kScreen);
  EXPECT_EQ(std::memcmp(&o, &fresh, sizeof(Options)), 0);
}

TEST_F(OptionsFile, ConnectValuesAreClampedAsUnsignedNumbers) {
  const struct { const char* line; const char* expected; } cases[] = {
      {"ConnTimeout=5", "ConnTimeout=10"},     {"ConnTimeout=500", "ConnTimeout=90"},
      {"RetryWait=1", "RetryWait=2"},          {"PICRetryTimes=0", "PICRetryTimes=1"},
      {"DataTimeout=abc", "DataTimeout=10"},   {"DataTimeout=", "DataTimeout=30"},
      {"RetryWait=-5", "RetryWait=10"},        {"WEB2RetryTimes=42x", "WEB2RetryTimes=42"},
      {"webirretry=1", "WEB1RetryTimes=5"},    {"web1retrytimes = 7", "WEB1RetryTimes=7"},
      {"MaxPictureKB=1023", "MaxPictureKB=1024"}, {"MaxPictureKB=65537", "MaxPictureKB=65536"},
  };
  for (const auto& c : cases) {
    Options o = Load(std::string("[Connect]\r\n") + c.line + "\r\n");
    EXPECT_NE(ConnectOptionsText(o).find(c.expected), std::string::npos)
        << c.line << " -> " << ConnectOptionsText(o);
  }
}

TEST_F(OptionsFile, GeometryIsTakenOnlyWhenComplete) {
  const std::string full =
      "[Window]\r\nXPos=-20\r\nYPos=10\r\nWidth=800\r\nHeight=600\r\nTLHeight=200\r\n";
  // A complete set is read back by SavesEveryKeyInOrderAndReadsItBack.
  for (const char* key : {"XPos=-20", "YPos=10", "Width=800", "Height=600", "TLHeight=200"}) {
    std::string text = full;
    SCOPED_TRACE(key);
    ExpectDefaultGeometry(Load(text.replace(text.find(key), std::strlen(key), "Other=1")));
    text = full;
    ExpectDefaultGeometry(Load(text.replace(text.find(key) + std::strcspn(key, "=") + 1,
                                            std::strlen(key) - std::strcspn(key, "=") - 1,
                                            "-65536")));
  }
}

TEST_F(OptionsFile, FlagsAndWorkPath) {
  Options o = Load(
      "[Window]\r\nShowTBBCaption=1\r\nShowGridLine=7\r\n"
      "[General]\r\nKeepWnd=0\r\nHideOnMin=x\r\nWorkPath= D:\\my.pics\r\n");
  EXPECT_EQ(o.shutdownWhenDone, 0u);
  EXPECT_EQ(o.ShowTBBCaption, 1u);
  EXPECT_EQ(o.ShowGridLine, 1u);
  EXPECT_EQ(o.KeepWnd, 0u);
  EXPECT_EQ(o.HideOnMin, 0u);
  EXPECT_STREQ(o.WorkPath, "D:\\my pics\\");
  // a path WorkPath cannot hold is not cut but replaced by the default
  const std::string longest = "D:\\" + std::string(59, 'a') + "\\";  // 63 bytes
  EXPECT_STREQ(Load("[General]\r\nWorkPath=" + longest + "\r\n").WorkPath, longest.c_str());
  for (const std::string& path :
       {"D:\\" + std::string(60, 'a') + "\\", "D:\\" + std::string(60, 'a'),
        std::string(300, 'b'), std::string()}) {
    EXPECT_STREQ(Load("[General]\r\nWorkPath=" + path + "\r\n").WorkPath, "C:\\Download\\")
        << path;
  }
}

// Keys in their order and "\r\n" line ends: the file a fresh program leaves.
TEST_F(OptionsFile, SavesEveryKeyInOrderAndReadsItBack) {
  Options o;
  SetDefaultGeometry(o, kScreen);
  o.shutdownWhenDone = 1;
  o.ShowGridLine = 1;
  o.XPos = -3;
  o.PICRetryTimes = 99;
  std::strcpy(o.WorkPath, "E:\\\xcd\xbc\xc6\xac\\");  // E:\图片\ in GBK
  EXPECT_TRUE(SaveOptions(o, Path()));
  EXPECT_EQ(FileText(Path()),
            "[Window]\r\nShowTBBCaption=0\r\nShowGridLine=1\r\nXPos=-3\r\nYPos=95\r\n"
            "Width=665\r\nHeight=425\r\nTLHeight=105\r\n"
            "[General]\r\nKeepWnd=1\r\nHideOnMin=1\r\nWorkPath=E:\\\xcd\xbc\xc6\xac\\\r\n"
            "[Connect]\r\nConnTimeout=30\r\nDataTimeout=30\r\nRetryWait=3\r\n"
            "WEB2RetryTimes=10\r\nWEB1RetryTimes=5\r\nPICRetryTimes=99\r\n"
            "MaxPictureKB=1024\r\n");
  Options back;
  EXPECT_TRUE(LoadOptions(back, Path(), kScreen));
  o.shutdownWhenDone = 0;
  EXPECT_EQ(std::memcmp(&back, &o, sizeof(Options)), 0);
  EXPECT_FALSE(SaveOptions(o, dir_.Path() + "missing\\" + kOptionsFileName));
}

TEST(Options, WindowGeometryIsKeptOnlyWhenWantedAndKnown) {
  const WindowRect restored{-8, 20, 992, 720};
  for (uint32_t keep : {0u, 1u}) {
    for (const WindowRect* rect : {&restored, static_cast<const WindowRect*>(nullptr)}) {
      Options o;
      o.KeepWnd = keep;
      o.TLHeight = 300;
      TakeWindowGeometry(o, rect, kScreen);
      if (keep == 1 && rect != nullptr) {
        EXPECT_EQ(std::vector<int32_t>({o.XPos, o.YPos, o.Width, o.Height, o.TLHeight}),
                  std::vector<int32_t>({-8, 20, 1000, 700, 300}));
      } else {
        ExpectDefaultGeometry(o);
      }
    }
  }
}

// A stored place is kept while enough of the title bar shows on some
// monitor's work area to grab it; otherwise, and for a window too small to
// use, the default comes back.
TEST(Options, WindowOffEveryWorkAreaTakesTheDefault) {
  const std::vector<platform::ScreenArea> one{{0, 0, 1024, 738}};
  const std::vector<platform::ScreenArea> two{{0, 0, 1024, 738}, {-1280, -200, 0, 824}};
  const struct { int32_t x, y, width, height; const std::vector<platform::ScreenArea>& areas;
                 bool kept; } cases[] = {
      {77, 95, 665, 425, one, true},
      {3000, 2000, 665, 425, one, false},
      {-32764, -32746, 1028, 1, one, false},
      {2147483000, 2147483000, 2147483000, 2147483000, one, false},
      {-625, 100, 665, 425, one, true},   // 40 pixels of title bar
      {-626, 100, 665, 425, one, false},
      {100, -10, 665, 425, one, true},    // half the title bar
      {100, -11, 665, 425, one, false},
      {100, 728, 665, 425, one, true},
      {100, 729, 665, 425, one, false},
      {-1000, -150, 665, 425, two, true},  // on the second monitor
      {-1000, -150, 665, 425, one, false},
      {77, 95, 199, 425, one, false},
      {77, 95, 665, 149, one, false}};
  for (const auto& c : cases) {
    Options o;
    o.XPos = c.x;
    o.YPos = c.y;
    o.Width = c.width;
    o.Height = c.height;
    KeepWindowReachable(o, c.areas, kScreen);
    if (c.kept) {
      EXPECT_EQ(o.XPos, c.x) << c.x << "," << c.y;
      EXPECT_EQ(o.Width, c.width);
    } else {
      ExpectDefaultGeometry(o);
    }
  }
}

// Values typed elsewhere than in the file follow the file's rules; the
// spin box of the options sheet gives the default while unused.
TEST(Options, TypedValuesFollowTheFileRules) {
  Options o;
  EXPECT_TRUE(SetConnectOption(o, "connTIMEOUT", "5"));
  EXPECT_FALSE(SetConnectOption(o, "WorkPath", "Z:\\"));
  EXPECT_FALSE(SetConnectOption(o, "ConnTimeoutX", "20"));
  EXPECT_EQ(o.ConnTimeout, 10u);
  const ConnectOption& wait = kConnectOptions[2];
  const struct { bool used; int32_t position; uint32_t value; } spins[] = {
      {false, 0, 3}, {true, 11, 10}, {true, -1, 10}, {true, 1, 2}, {true, 7, 7}};
  for (const auto& c : spins) {
    EXPECT_EQ(ConnectValueFromSpin(wait, c.used, c.position), c.value) << c.position;
  }
}

TEST(Options, WorkPathTypedOnTheGeneralPage) {
  // Z: is the one drive of this system.
  const struct { std::string typed; const char* accepted; } cases[] = {  // null: refused
      {"  Z:\\my.pics  ", "Z:\\my pics\\"},
      {"Z:\\", "Z:\\"},
      {"z:\\a\\b", "z:\\a\\b\\"},
      {"Z:", "Z:\\"},
      {"Z", nullptr},
      {"Q:\\x\\", nullptr},
      {"Z:\\a \\", nullptr},
      {"Z:\\a|b\\", nullptr},
      {"Z:\\" + std::string(60, 'a'), nullptr},  // 64 bytes with its "\\"
  };
  for (const auto& c : cases) {
    std::string workPath = "unchanged";
    EXPECT_EQ(AcceptWorkPath(c.typed, &workPath), c.accepted != nullptr) << c.typed;
    EXPECT_EQ(workPath, c.accepted != nullptr ? c.accepted : "unchanged") << c.typed;
  }
  std::string workPath;
  EXPECT_TRUE(AcceptWorkPath("Z:\\" + std::string(59, 'a'), &workPath));
  EXPECT_EQ(workPath.size(), kWorkPathMax);
}

}  // namespace
}  // namespace harvio
