// The system's profile functions, in the process code page like every path
// and text of the program.
#include "platform/ini_file.h"

#include <vector>

#include "platform/win32/win_api.h"

namespace harvio::platform {

std::string ReadIniString(const std::string& path, const char* section,
                          const char* key, const char* fallback,
                          size_t maxLength) {
  std::vector<char> buffer(maxLength + 1);
  DWORD length = GetPrivateProfileStringA(section, key, fallback, buffer.data(),
                                          static_cast<DWORD>(buffer.size()),
                                          path.c_str());
  return std::string(buffer.data(), length < buffer.size() ? length : maxLength);
}

int32_t ReadIniInt(const std::string& path, const char* section,
                   const char* key, int32_t fallback) {
  return static_cast<int32_t>(
      GetPrivateProfileIntA(section, key, fallback, path.c_str()));
}

bool WriteIniString(const std::string& path, const char* section,
                    const char* key, const std::string& value) {
  return WritePrivateProfileStringA(section, key, value.c_str(), path.c_str()) != 0;
}

}  // namespace harvio::platform
