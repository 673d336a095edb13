#include "app/shell_texts.h"

#include "core/string_table.h"

namespace harvio {
namespace {

constexpr uint32_t kVersionWordId = 1491;
constexpr uint32_t kCountdownTextId = 1500;

}  // namespace

std::string AboutVersionLine() {
  return std::string(kProductName) + " " + StringText(kVersionWordId) + " " + kProductVersion;
}

bool CountdownStep(uint32_t* remaining) {
  if (*remaining > 0) *remaining -= 1;
  return *remaining == 0;
}

std::string CountdownText(uint32_t remaining) {
  return StringWithNumber(kCountdownTextId, remaining);
}

}  // namespace harvio
