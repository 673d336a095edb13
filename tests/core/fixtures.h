// What the core and app tests share: readable UTF-8 turned into the
// program's GBK bytes, and a fresh home folder (holding Task\).
#pragma once

#include <string>

#include "platform/codepage.h"
#include "tests/platform/temp_dir.h"

namespace harvio::testing {

inline std::string Gbk(const std::string& utf8) {
  std::string gbk;
  platform::Utf8ToGbk(utf8, &gbk);
  return gbk;
}

using TempHome = platform::TempDir;

}  // namespace harvio::testing
