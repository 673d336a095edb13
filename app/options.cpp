#include "app/options.h"

#include <algorithm>
#include <cstring>

#include "app/save_path.h"
#include "platform/files.h"
#include "platform/ini_file.h"

namespace harvio {
namespace {

constexpr char kWindow[] = "Window";
constexpr char kGeneral[] = "General";
constexpr char kConnect[] = "Connect";
// The default of every geometry key: no window is ever placed there, so it
// tells a missing key from a stored one.
constexpr int32_t kGeometryAbsent = -65536;
// Enough of the title bar to grab it with the mouse, and the least window
// that still shows its lists.
constexpr int64_t kTitleBarHeight = 20;
constexpr int64_t kTitleBarGrip = 40;
constexpr int32_t kLeastWindowWidth = 200;
constexpr int32_t kLeastWindowHeight = 150;
// Read generously, so an over-long path is recognised instead of being cut.
constexpr size_t kWorkPathReadMax = 255;

struct GeometryKey {
  const char* key;
  int32_t Options::*field;
};

constexpr GeometryKey kGeometryKeys[] = {
    {"XPos", &Options::XPos},     {"YPos", &Options::YPos},
    {"Width", &Options::Width},   {"Height", &Options::Height},
    {"TLHeight", &Options::TLHeight},
};

struct FlagKey {
  const char* section;
  const char* key;
  uint32_t Options::*field;
};

constexpr FlagKey kWindowFlags[] = {
    {kWindow, "ShowTBBCaption", &Options::ShowTBBCaption},
    {kWindow, "ShowGridLine", &Options::ShowGridLine},
};
constexpr FlagKey kGeneralFlags[] = {
    {kGeneral, "KeepWnd", &Options::KeepWnd},
    {kGeneral, "HideOnMin", &Options::HideOnMin},
};

// Every flag is 0 or 1, whatever number the file holds.
template <size_t N>
void LoadFlags(Options& options, const std::string& path, const FlagKey (&flags)[N]) {
  const Options defaults;
  for (const FlagKey& f : flags) {
    int32_t fallback = static_cast<int32_t>(defaults.*f.field);
    options.*f.field = platform::ReadIniInt(path, f.section, f.key, fallback) != 0;
  }
}

template <size_t N>
bool SaveFlags(const Options& options, const std::string& path,
               const FlagKey (&flags)[N]) {
  bool ok = true;
  for (const FlagKey& f : flags) {
    ok &= platform::WriteIniString(path, f.section, f.key,
                                   std::to_string(options.*f.field));
  }
  return ok;
}

void LoadGeometry(Options& options, const std::string& path,
                  platform::ScreenSize screen) {
  bool complete = true;
  for (const GeometryKey& g : kGeometryKeys) {
    options.*g.field = platform::ReadIniInt(path, kWindow, g.key, kGeometryAbsent);
    complete &= options.*g.field != kGeometryAbsent;
  }
  if (!complete) SetDefaultGeometry(options, screen);
}

// A path longer than WorkPath holds is not cut (that could leave half a
// character or another folder); it gives the default, as an empty one does.
void LoadWorkPath(Options& options, const std::string& path) {
  std::string text =
      platform::ReadIniString(path, kGeneral, "WorkPath", "", kWorkPathReadMax);
  std::string normalized = NormalizeSavePath(text);
  if (text.empty() || normalized.size() > kWorkPathMax) {
    normalized = Options().WorkPath;
  }
  std::memcpy(options.WorkPath, normalized.c_str(), normalized.size() + 1);
}

}  // namespace

const ConnectOption kConnectOptions[kConnectOptionCount] = {
    {"ConnTimeout", &Options::ConnTimeout, 10, 90},
    {"DataTimeout", &Options::DataTimeout, 10, 90},
    {"RetryWait", &Options::RetryWait, 2, 10},
    {"WEB2RetryTimes", &Options::WEB2RetryTimes, 1, 99},
    {"WEB1RetryTimes", &Options::WEB1RetryTimes, 1, 99},
    {"PICRetryTimes", &Options::PICRetryTimes, 1, 99},
    {"MaxPictureKB", &Options::MaxPictureKB, 1024, 65536},
};

uint32_t DefaultValue(const ConnectOption& option) {
  return Options().*option.field;
}

uint32_t ClampConnectValue(const ConnectOption& option, uint32_t value) {
  if (value > option.high) value = option.high;
  if (value < option.low) value = option.low;
  return value;
}

uint32_t ConnectValueFromText(const ConnectOption& option, const std::string& text) {
  if (text.empty()) return DefaultValue(option);
  return ClampConnectValue(option,
                           static_cast<uint32_t>(platform::ParseIniInteger(text)));
}

uint32_t ConnectValueFromSpin(const ConnectOption& option, bool readable,
                              int32_t position) {
  return ClampConnectValue(option, readable ? static_cast<uint32_t>(position)
                                            : DefaultValue(option));
}

bool SetConnectOption(Options& options, const std::string& key,
                      const std::string& text) {
  for (const ConnectOption& c : kConnectOptions) {
    if (platform::SameIniName(key, c.key)) {
      options.*c.field = ConnectValueFromText(c, text);
      return true;
    }
  }
  return false;
}

std::string ConnectOptionsText(const Options& options) {
  std::string text;
  for (const ConnectOption& c : kConnectOptions) {
    if (!text.empty()) text += ' ';
    text += std::string(c.key) + "=" + std::to_string(options.*c.field);
  }
  return text;
}

void SetDefaultGeometry(Options& options, platform::ScreenSize screen) {
  const Options defaults;
  options.Width = defaults.Width;
  options.Height = defaults.Height;
  options.XPos = screen.width * 40 / 100 - defaults.Width / 2;
  options.YPos = screen.height * 40 / 100 - defaults.Height / 2;
  options.TLHeight = defaults.TLHeight;
}

void KeepWindowReachable(Options& options,
                         const std::vector<platform::ScreenArea>& workAreas,
                         platform::ScreenSize screen) {
  if (options.Width < kLeastWindowWidth || options.Height < kLeastWindowHeight) {
    SetDefaultGeometry(options, screen);
    return;
  }
  // Widened before adding, so huge stored values cannot overflow.
  int64_t left = options.XPos, top = options.YPos;
  int64_t right = left + options.Width, bar = top + kTitleBarHeight;
  for (const platform::ScreenArea& a : workAreas) {
    int64_t wide = std::min<int64_t>(right, a.right) - std::max<int64_t>(left, a.left);
    int64_t high = std::min<int64_t>(bar, a.bottom) - std::max<int64_t>(top, a.top);
    if (wide >= kTitleBarGrip && high >= kTitleBarHeight / 2) return;
  }
  SetDefaultGeometry(options, screen);
}

void TakeWindowGeometry(Options& options, const WindowRect* restored,
                        platform::ScreenSize screen) {
  if (options.KeepWnd == 0 || restored == nullptr) {
    SetDefaultGeometry(options, screen);
    return;
  }
  options.XPos = restored->left;
  options.YPos = restored->top;
  options.Width = restored->right - restored->left;
  options.Height = restored->bottom - restored->top;
}

bool LoadOptions(Options& options, const std::string& iniPath,
                 platform::ScreenSize screen) {
  options.shutdownWhenDone = 0;
  LoadFlags(options, iniPath, kWindowFlags);
  LoadGeometry(options, iniPath, screen);
  LoadFlags(options, iniPath, kGeneralFlags);
  LoadWorkPath(options, iniPath);
  for (const ConnectOption& c : kConnectOptions) {
    int32_t read = platform::ReadIniInt(iniPath, kConnect, c.key,
                                        static_cast<int32_t>(DefaultValue(c)));
    options.*c.field = ClampConnectValue(c, static_cast<uint32_t>(read));
  }
  return platform::FileExists(iniPath);
}

bool LoadOptions(Options& options, const std::string& iniPath) {
  return LoadOptions(options, iniPath, platform::PrimaryScreenSize());
}

bool SaveOptions(const Options& options, const std::string& iniPath) {
  bool ok = SaveFlags(options, iniPath, kWindowFlags);
  for (const GeometryKey& g : kGeometryKeys) {
    ok &= platform::WriteIniString(iniPath, kWindow, g.key,
                                   std::to_string(options.*g.field));
  }
  ok &= SaveFlags(options, iniPath, kGeneralFlags);
  std::string workPath(options.WorkPath,
                       strnlen(options.WorkPath, sizeof(options.WorkPath)));
  ok &= platform::WriteIniString(iniPath, kGeneral, "WorkPath", workPath);
  for (const ConnectOption& c : kConnectOptions) {
    // "%d", as every number of the file is written
    ok &= platform::WriteIniString(
        iniPath, kConnect, c.key,
        std::to_string(static_cast<int32_t>(options.*c.field)));
  }
  return ok;
}

bool AcceptWorkPath(const std::string& typed, std::string* workPath) {
  std::string normalized = NormalizeSavePath(typed);
  if (normalized.size() > kWorkPathMax || !IsValidSavePath(normalized)) return false;
  *workPath = normalized;
  return true;
}

}  // namespace harvio
