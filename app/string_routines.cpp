#include "app/string_routines.h"

#include <cstring>
#include <string>

#include "core/gbk_text.h"

namespace harvio {

void ReplaceChar(char* text, char c) {
  for (char* p = text; *p != '\0'; p += GbkCharLength(p)) {
    if (*p == c) *p = ' ';
  }
}

void TabsToBlanks(char* text) { ReplaceChar(text, '\t'); }

void PlusToBlanks(char* text) { ReplaceChar(text, '+'); }

void CollapseBlanks(char* text, bool withPlus) {
  // A blank is never a trail byte, so splitting at blanks is safe bytewise.
  char* out = text;
  bool wordsBefore = false;
  for (char* p = text; *p != '\0';) {
    while (*p == ' ') ++p;
    if (*p == '\0') break;
    if (wordsBefore && withPlus) *out++ = '+';
    while (*p != '\0' && *p != ' ') *out++ = *p++;
    wordsBefore = true;
  }
  *out = '\0';
}

void RemoveChars(char* text, const char* set) {
  char* out = text;
  for (const char* p = text; *p != '\0';) {
    size_t step = GbkCharLength(p);
    bool drop = step == 1 && std::strchr(set, *p) != nullptr;
    if (!drop) {
      std::memmove(out, p, step);
      out += step;
    }
    p += step;
  }
  *out = '\0';
}

bool SubstituteStar(char* text, size_t capacity, uint32_t number) {
  char* star = std::strchr(text, '*');  // "*" is never a trail byte
  if (star == nullptr) return false;
  std::string result(text, star);
  result += std::to_string(number);
  result += star + 1;
  if (result.size() >= capacity) return false;
  std::memcpy(text, result.c_str(), result.size() + 1);
  return true;
}

uint32_t CountDigits(uint32_t number) {
  uint32_t digits = 1;
  while (number >= 10) {
    number /= 10;
    ++digits;
  }
  return digits;
}

}  // namespace harvio
