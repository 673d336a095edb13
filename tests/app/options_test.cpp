#include "app/options.h"
#include "app/ad_pages.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/case_files.h"
#include "tests/platform/temp_dir.h"

namespace harvio {
namespace {

using testing::Numbers;
using testing::Spaced;

constexpr platform::ScreenSize kScreen{1024, 768};

std::string Geometry(const Options& o) {
  return Spaced({o.XPos, o.YPos, o.Width, o.Height, o.TLHeight});
}

// Options read from the file TEXT, with "|" for its line ends.
Options Loaded(const std::string& text) {
  platform::TempDir dir;
  SetFileText(dir.Path() + kOptionsFileName, testing::Replaced(text, "|", "\r\n"));
  Options o;
  o.shutdownWhenDone = 1;
  LoadOptions(o, dir.Path() + kOptionsFileName, kScreen);
  return o;
}

// The cases of tests/data/app/options.txt.
TEST(Options, CasesAsListed) {
  testing::CheckCaseFile("app/options.txt", {
      {"connect", {1, [](const testing::Fields& f) {
         return ConnectOptionsText(Loaded("[Connect]|" + f[0]));
       }}},
      {"load", {1, [](const testing::Fields& f) {
         Options o = Loaded(f[0]);
         return Spaced({o.shutdownWhenDone, o.ShowTBBCaption, o.ShowGridLine}) + " | " +
                Geometry(o) + " | " + Spaced({o.KeepWnd, o.HideOnMin}) + " " + o.WorkPath;
       }}},
      {"keep", {2, [](const testing::Fields& f) {
         Options o;
         o.KeepWnd = static_cast<uint32_t>(std::stoul(f[0]));
         o.TLHeight = 300;
         std::vector<int32_t> r = Numbers(f[1]);
         WindowRect rect = r.empty() ? WindowRect{} : WindowRect{r[0], r[1], r[2], r[3]};
         TakeWindowGeometry(o, r.empty() ? nullptr : &rect, kScreen);
         return Geometry(o);
       }}},
      {"reach", {2, [](const testing::Fields& f) {
         std::vector<int32_t> place = Numbers(f[0]), a = Numbers(f[1]);
         std::vector<platform::ScreenArea> areas;
         for (size_t i = 0; i + 3 < a.size(); i += 4) areas.push_back({a[i], a[i + 1], a[i + 2], a[i + 3]});
         Options o;
         o.XPos = place[0];
         o.YPos = place[1];
         o.Width = place[2];
         o.Height = place[3];
         KeepWindowReachable(o, areas, kScreen);
         return Spaced({o.XPos, o.YPos, o.Width, o.Height});
       }}},
      {"typed", {2, [](const testing::Fields& f) {
         Options o;
         bool known = SetConnectOption(o, f[0], f[1]);
         return std::to_string(known) + " " + ConnectOptionsText(o);
       }}},
      {"spin", {2, [](const testing::Fields& f) {
         return std::to_string(ConnectValueFromSpin(kConnectOptions[2], f[0] == "1", std::stoi(f[1])));
       }}},
      {"work path", {1, [](const testing::Fields& f) {
         std::string workPath = "unchanged";
         bool accepted = AcceptWorkPath(f[0], &workPath);
         return accepted == (workPath != "unchanged") ? (accepted ? workPath : "refused") : "?";
       }}},
      {"ad page", {2, [](const testing::Fields& f) {
         return AdPageUrl(f[0].c_str(), static_cast<uint32_t>(std::stoul(f[1])));
       }}},
  });
}

// Without a file the values in force are all replaced by a fresh
// program's. Keys in their order and "\r\n" line ends: the file a fresh
// program leaves.
TEST(Options, SavesEveryKeyInOrderAndReadsItBack) {
  platform::TempDir dir;
  const std::string path = dir.Path() + kOptionsFileName;
  Options o, back;
  back.shutdownWhenDone = 1;
  back.KeepWnd = 0;
  back.ConnTimeout = 77;
  std::strcpy(back.WorkPath, "Z:\\x\\");
  EXPECT_FALSE(LoadOptions(back, path, kScreen));
  SetDefaultGeometry(o, kScreen);
  EXPECT_EQ(std::memcmp(&back, &o, sizeof(Options)), 0);
  o.shutdownWhenDone = 1;
  o.ShowGridLine = 1;
  o.XPos = -3;
  o.PICRetryTimes = 99;
  std::strcpy(o.WorkPath, "E:\\\xcd\xbc\xc6\xac\\");  // E:\图片\ in GBK
  EXPECT_TRUE(SaveOptions(o, path));
  EXPECT_EQ(FileText(path),
            "[Window]\r\nShowTBBCaption=0\r\nShowGridLine=1\r\nXPos=-3\r\nYPos=95\r\n"
            "Width=665\r\nHeight=425\r\nTLHeight=105\r\n"
            "[General]\r\nKeepWnd=1\r\nHideOnMin=1\r\nWorkPath=E:\\\xcd\xbc\xc6\xac\\\r\n"
            "[Connect]\r\nConnTimeout=30\r\nDataTimeout=30\r\nRetryWait=3\r\n"
            "WEB2RetryTimes=10\r\nWEB1RetryTimes=5\r\nPICRetryTimes=99\r\n"
            "MaxPictureKB=1024\r\n");
  EXPECT_TRUE(LoadOptions(back, path, kScreen));
  o.shutdownWhenDone = 0;
  EXPECT_EQ(std::memcmp(&back, &o, sizeof(Options)), 0);
  EXPECT_FALSE(SaveOptions(o, dir.Path() + "missing\\" + kOptionsFileName));
}

}  // namespace
}  // namespace harvio
