// A fresh home folder (holding Task\) for one test, removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/paths.h"

namespace harvio::testing {

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
  std::string TaskFile(const std::string& name) const {
    return native_ + "/Task/" + name;
  }

 private:
  std::string native_;
  std::string home_;
};

}  // namespace harvio::testing
