// Option.ini as both builds see it: built natively and for Windows from this
// one source, the program reads the same start files, changes the settings,
// writes them back and prints what it read. Run in two copies of the start
// files (tests/data/app/option_files), the two builds must print the same
// lines and leave the same bytes (options_files_test.sh compares them).
//   options_check WORK_DIR\ FILE...   (program form; a FILE may be missing)
#include <cstdio>
#include <cstring>
#include <string>

#include "app/options.h"
#include "platform/ini_file.h"

namespace harvio {
namespace {

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

// Reads the start file, changes some settings and writes them back.
void RunCase(const std::string& dir, int index, const char* name) {
  const platform::ScreenSize screen{1024, 768};
  std::string path = dir + name;
  std::printf("%s:\n", name);
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
  if (argc < 3) {
    std::fprintf(stderr, "usage: options_check WORK_DIR\\ FILE...\n");
    return 2;
  }
  for (int i = 2; i < argc; ++i) harvio::RunCase(argv[1], i - 2, argv[i]);
  return 0;
}
