// Readable UTF-8 in tests, turned into the program's GBK bytes.
#pragma once

#include <string>

#include "platform/codepage.h"

namespace harvio::testing {

inline std::string Gbk(const std::string& utf8) {
  std::string gbk;
  platform::Utf8ToGbk(utf8, &gbk);
  return gbk;
}

}  // namespace harvio::testing
