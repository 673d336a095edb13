// What the core tests share: readable UTF-8 turned into the program's GBK
// bytes, and a fresh home folder (holding Task\) removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/codepage.h"
#include "platform/paths.h"

namespace harvio::testing {

inline std::string Gbk(const std::string& utf8) {
  std::string gbk;
  platform::Utf8ToGbk(utf8, &gbk);
  return gbk;
}

class TempHome {
 public:
  TempHome() {
    char pattern[] = "/tmp/harvio-core-XXXXXX";
    native_ = mkdtemp(pattern);
    home_ = platform::FromNativePath(native_) + "\\";
  }
  ~TempHome() { std::filesystem::remove_all(native_); }
  const std::string& home() const { return home_; }       // program form
  const std::string& native() const { return native_; }   // POSIX form
  std::string TaskFile(const std::string& name) const { return native_ + "/Task/" + name; }

 private:
  std::string native_;
  std::string home_;
};

}  // namespace harvio::testing
