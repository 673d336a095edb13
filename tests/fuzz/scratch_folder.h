// A scratch folder of one fuzz run, made once and shared by every input:
// its POSIX path and its program form ("Z:\\...\\").
#pragma once

#include <stdlib.h>

#include <string>

#include "platform/paths.h"

namespace harvio::fuzz {

struct ScratchFolder {
  std::string native;
  std::string home;
};

inline const ScratchFolder& Scratch(const char* pattern) {
  static const ScratchFolder folder = [pattern] {
    std::string name = pattern;
    ScratchFolder made;
    made.native = mkdtemp(&name[0]);
    made.home = platform::FromNativePath(made.native) + "\\";
    return made;
  }();
  return folder;
}

}  // namespace harvio::fuzz
