// A fresh directory for one test, removed with everything in it afterwards,
// and whole files as byte strings, named in the program's form.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/paths.h"

namespace harvio {

inline std::string FileText(const std::string& path) {
  std::ifstream in(platform::ToNativePath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void SetFileText(const std::string& path, const std::string& text) {
  std::ofstream(platform::ToNativePath(path), std::ios::binary) << text;
}

namespace platform {

class TempDir {
 public:
  TempDir()
      : native_((std::filesystem::temp_directory_path() / "harvio-test-XXXXXX").string()) {
    if (mkdtemp(native_.data()) == nullptr) native_.clear();
  }
  ~TempDir() {
    std::error_code ignored;
    if (!native_.empty()) std::filesystem::remove_all(native_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory in the program's form, ending in "\\".
  std::string Path() const { return FromNativePath(native_) + "\\"; }
  const std::string& Native() const { return native_; }

 private:
  std::string native_;
};

}  // namespace platform
}  // namespace harvio
