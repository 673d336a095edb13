// Fresh GUIDs name task files and downloaded files.
#pragma once

#include <string>

namespace harvio::platform {

// Registry form: braces, upper-case hexadecimal, 38 characters.
std::string NewGuidText();

}  // namespace harvio::platform
