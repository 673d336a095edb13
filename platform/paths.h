// Where the program lives and which drives exist.
#pragma once

#include <string>

namespace harvio::platform {

// Directory of the running executable, ending in "\\".
std::string ExecutableDirectory();
// Upper-case letters of the logical drives that exist now ("CZ").
std::string LogicalDrives();
// A path as the user's system writes it (a POSIX path on Linux, UTF-8)
// turned into the program's form (a Windows path in code page 936), and back.
std::string FromNativePath(const std::string& native);
std::string ToNativePath(const std::string& path);

}  // namespace harvio::platform
