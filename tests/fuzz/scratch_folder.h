// A scratch folder of one fuzz run, made once and shared by every input:
// its POSIX path and its program form ("Z:\\...\\"). Every input writes and
// removes files there, so it goes to memory (/dev/shm) where there is one:
// on a busy disk the file system, not the code, would set the pace.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "platform/paths.h"

namespace harvio::fuzz {

struct ScratchFolder {
  std::string native, home;
};

inline const ScratchFolder& Scratch(const char* name) {
  static const ScratchFolder folder = [name] {
    std::string path = (access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : "/tmp/") +
                       std::string(name) + "-XXXXXX";
    ScratchFolder made;
    made.native = mkdtemp(&path[0]);
    made.home = platform::FromNativePath(made.native) + "\\";
    return made;
  }();
  return folder;
}

}  // namespace harvio::fuzz
