// Option.ini as both builds see it: built natively and for Windows from this
// one source, the program starts from the same files, reads them, changes
// the settings, writes them back and prints what it read. Run in two empty
// folders, the two builds must print the same lines and leave the same
// bytes (options_files_test.sh compares them).
//   options_check WORK_DIR\   (program form, an existing empty folder)
#include <cstdio>
#include <cstring>
#include <string>

#include "app/options.h"
#include "platform/files.h"
#include "platform/ini_file.h"

namespace harvio {
namespace {

struct StartFile {
  const char* name;
  const char* text;  // null: no file
};

// "\xcd\xbc\xc6\xac" is the GBK form of the folder name 图片.
const StartFile kStartFiles[] = {
    {"none", nullptr},
    {"defaults",
     "[Window]\r\nShowTBBCaption=0\r\nShowGridLine=0\r\nXPos=77\r\nYPos=95\r\n"
     "Width=665\r\nHeight=425\r\nTLHeight=105\r\n[General]\r\nKeepWnd=1\r\n"
     "HideOnMin=1\r\nWorkPath=C:\\Download\\\r\n[Connect]\r\nConnTimeout=30\r\n"
     "DataTimeout=30\r\nRetryWait=3\r\nWEB2RetryTimes=10\r\nWEB1RetryTimes=5\r\n"
     "PICRetryTimes=3\r\n"},
    {"clamped",
     "[Connect]\r\nConnTimeout=5\r\nDataTimeout=500\r\nRetryWait=-1\r\n"
     "WEB2RetryTimes=abc\r\nWEB1RetryTimes=\r\nPICRetryTimes=4294967297\r\n"},
    {"geometry", "[window]\nxpos = -20\nYPos=+10\nWidth=800x\nHeight=600\nTLHeight=200\n"},
    {"incomplete", "[Window]\r\nXPos=1\r\nYPos=2\r\nWidth=3\r\nHeight=-65536\r\nTLHeight=5\r\n"},
    {"messy",
     "; kept\r\n\r\nStray=1\r\n[Other]\r\n  a = 1  \r\n=x\r\n=y\r\nnovalue\r\n\r\n"
     "[Connect]\rRetryWait='7'\r[General]\r\nKeepWnd=\"0\"\r\n[Connect]\r\n"
     "RetryWait=9\r\n[General\r\n"},
    {"gbk path", "[General]\r\nWorkPath= D:\\\xcd\xbc\xc6\xac.new\r\n"},
    {"long path",
     "[General]\r\nWorkPath=D:\\aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\\\r\n"},
    {"lf kept", "[Window]\nShowTBBCaption=1\n"},
};

// A few keys as read straight from the start file.
const char* const kRawKeys[][2] = {
    {"", "Stray"},        {"Other", "a"},        {"Other", "novalue"},
    {"Connect", "RetryWait"}, {"General", "KeepWnd"}, {"General", "WorkPath"},
    {"window", "XPOS"},   {"Window", "Width"},
};

std::string Hex(const char* text) {
  std::string hex;
  char pair[3];
  for (const char* p = text; *p != '\0'; ++p) {
    std::snprintf(pair, sizeof(pair), "%02x", static_cast<unsigned char>(*p));
    hex += pair;
  }
  return hex;
}

void PrintOptions(const char* when, const Options& o) {
  std::printf("  %s: %u %u %u | %d %d %d %d %d | %u %u %s | %s\n", when,
              o.shutdownWhenDone, o.ShowTBBCaption, o.ShowGridLine, o.XPos, o.YPos,
              o.Width, o.Height, o.TLHeight, o.KeepWnd, o.HideOnMin,
              Hex(o.WorkPath).c_str(), ConnectOptionsText(o).c_str());
}

bool WriteStartFile(const std::string& path, const char* text) {
  if (text == nullptr) return true;
  platform::File file = platform::File::Open(path, platform::File::Mode::kCreateNew);
  return file.IsOpen() && file.Write(text, static_cast<uint32_t>(std::strlen(text)));
}

// Reads the start file, changes some settings and writes them back.
void RunCase(const std::string& dir, int index, const StartFile& start) {
  const platform::ScreenSize screen{1024, 768};
  std::string path = dir + "case" + std::to_string(index) + ".ini";
  std::printf("%s:\n", start.name);
  if (!WriteStartFile(path, start.text)) std::printf("  cannot write the start file\n");
  for (const auto& key : kRawKeys) {
    std::printf("  [%s] %s = <%s> %d\n", key[0], key[1],
                Hex(platform::ReadIniString(path, key[0], key[1], "none", 63).c_str()).c_str(),
                platform::ReadIniInt(path, key[0], key[1], -1));
  }
  Options options;
  std::printf("  loaded %d\n", LoadOptions(options, path, screen) ? 1 : 0);
  PrintOptions("read", options);
  if (index % 2 == 1) {
    options.ShowGridLine = 1;
    options.XPos = -5;
    options.PICRetryTimes = 99;
    std::strcpy(options.WorkPath, "E:\\\xcd\xbc\xc6\xac\\");
  }
  if (index % 3 == 1) options.KeepWnd = 0;
  if (index % 3 == 1) TakeWindowGeometry(options, nullptr, screen);
  std::printf("  saved %d\n", SaveOptions(options, path) ? 1 : 0);
  Options again;
  LoadOptions(again, path, screen);
  PrintOptions("again", again);
}

}  // namespace
}  // namespace harvio

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: options_check WORK_DIR\\\n");
    return 2;
  }
  int index = 0;
  for (const harvio::StartFile& start : harvio::kStartFiles) {
    harvio::RunCase(argv[1], index++, start);
  }
  return 0;
}
