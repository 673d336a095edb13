#include "platform/ini_file.h"

#include <cstring>

namespace harvio::platform {
namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool SameIniName(const std::string& name, const char* other) {
  if (name.size() != std::strlen(other)) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (UpperAscii(name[i]) != UpperAscii(other[i])) return false;
  }
  return true;
}

int32_t ParseIniInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  uint32_t total = 0;  // unsigned, so overflow wraps as it does on Windows
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    total = total * 10u + static_cast<uint32_t>(text[i] - '0');
  }
  return static_cast<int32_t>(negative ? 0u - total : total);
}

}  // namespace harvio::platform
