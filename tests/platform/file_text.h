// Whole files as byte strings, for tests that compare what was written.
#pragma once

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

}  // namespace harvio
