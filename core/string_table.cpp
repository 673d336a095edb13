#include "core/string_table.h"

#include <algorithm>
#include <iterator>

namespace harvio {
namespace {

struct StringEntry {
  uint32_t id;
  const char* text;  // code page 936
};

// Sorted by id; generated from res/strings.txt at build time.
constexpr StringEntry kStrings[] = {
#include "string_table.inc"
};

}  // namespace

const char* StringText(uint32_t id) {
  const StringEntry* end = std::end(kStrings);
  const StringEntry* found = std::lower_bound(
      std::begin(kStrings), end, id,
      [](const StringEntry& entry, uint32_t key) { return entry.id < key; });
  return found != end && found->id == id ? found->text : "";
}

std::string StringWithNumber(uint32_t id, int64_t number) {
  std::string text = StringText(id);
  // "*" cannot be a GBK trail byte (those start at 0x40), so a plain byte
  // search finds only a real star.
  size_t star = text.find('*');
  if (star != std::string::npos) text.replace(star, 1, std::to_string(number));
  return text;
}

}  // namespace harvio
