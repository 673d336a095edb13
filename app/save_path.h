// Save folders typed by the user: cleaned the same way everywhere (options,
// wizard, properties, harvio-cli) and accepted only as "X:\" followed by
// folder names that Windows can create.
#pragma once

#include <string>

namespace harvio {

// Tabs and dots become blanks, outer blanks go, a final "\\" is added.
std::string NormalizeSavePath(const std::string& text);
// A drive that exists now, ":\\", then names each ending in "\\"; at most
// 127 bytes so that it fits a task's savePath.
bool IsValidSavePath(const std::string& path);

}  // namespace harvio
