// The usage tips that the browser pane at the top of the main window shows:
// "ad\\0.html" to "ad\\9.html", shipped in the program's folder.
#pragma once

#include <cstdint>
#include <string>

namespace harvio {

constexpr uint32_t kAdPageCount = 10;

// The file URL of page `number` modulo 10 under `programFolder` (program
// form, ending in "\\"): "file:///C:/Program%20Files/Harvio/ad/3.html".
// Double-byte characters stay as they are; the browser receives the URL in
// UTF-16 and reads them as the folder's own characters.
std::string AdPageUrl(const std::string& programFolder, uint32_t number);

}  // namespace harvio
