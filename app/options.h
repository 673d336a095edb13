// The Option.ini file and the options sheet's rules: reading and writing
// the Options record (core/options.h), the [Connect] values' ranges, the
// window's default geometry and the work path the general page accepts.
//
// The record lives in "Option.ini" beside the program, sections [Window],
// [General] and [Connect]: read once at start, written once at exit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/options.h"
#include "platform/screen.h"

namespace harvio {

constexpr char kOptionsFileName[] = "Option.ini";

// One [Connect] value: its key, its field and its range. The defaults are
// those of a fresh Options.
struct ConnectOption {
  const char* key;
  uint32_t Options::*field;
  uint32_t low;
  uint32_t high;
};

// In the order of the file and of the fields of the connection page.
constexpr size_t kConnectOptionCount = 7;
extern const ConnectOption kConnectOptions[kConnectOptionCount];

uint32_t DefaultValue(const ConnectOption& option);
// Compared as unsigned numbers: first the upper bound, then the lower one,
// so a negative number read from the file ends at the upper bound.
uint32_t ClampConnectValue(const ConnectOption& option, uint32_t value);
// A value typed as text, read as the settings file reads it: no text gives
// the default, anything else its number, then clamped.
uint32_t ConnectValueFromText(const ConnectOption& option, const std::string& text);
// A value taken from a spin control; an unreadable one gives the default.
uint32_t ConnectValueFromSpin(const ConnectOption& option, bool readable,
                              int32_t position);
// Sets the [Connect] value named `key` (any case) from `text`; false when no
// such value exists.
bool SetConnectOption(Options& options, const std::string& key,
                      const std::string& text);
// "ConnTimeout=30 DataTimeout=30 ... PICRetryTimes=3".
std::string ConnectOptionsText(const Options& options);

// The window 665 by 425 with its centre at 40% of the screen's width and
// height, the task list 105 high.
void SetDefaultGeometry(Options& options, platform::ScreenSize screen);

// A stored geometry that would leave the window's title bar off every work
// area, or the window smaller than the least useful size, gives way to the
// default geometry: a window that cannot be seen cannot be moved back.
void KeepWindowReachable(Options& options,
                         const std::vector<platform::ScreenArea>& workAreas,
                         platform::ScreenSize screen);

struct WindowRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

// Before saving: the window's restored rectangle when the user wants it
// kept and it could be read (null otherwise), else the default geometry.
void TakeWindowGeometry(Options& options, const WindowRect* restored,
                        platform::ScreenSize screen);

// Reads every setting from the file at `iniPath`; what is missing takes its
// default, numbers out of range are clamped. False when there is no file.
bool LoadOptions(Options& options, const std::string& iniPath,
                 platform::ScreenSize screen);
bool LoadOptions(Options& options, const std::string& iniPath);
// Writes every setting but shutdownWhenDone; false when a write failed.
bool SaveOptions(const Options& options, const std::string& iniPath);

// The work path typed on the general page, cleaned (NormalizeSavePath);
// false when it is no valid save folder or longer than WorkPath holds.
bool AcceptWorkPath(const std::string& typed, std::string* workPath);

}  // namespace harvio
