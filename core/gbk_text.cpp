#include "core/gbk_text.h"

#include <cstring>
#include <string>

#include "platform/codepage.h"

namespace harvio {
namespace {

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsTrailByte(unsigned char c) {
  return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

}  // namespace

size_t GbkCharLength(const char* text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  return (IsLeadByte(p[0]) && IsTrailByte(p[1])) ? 2 : 1;
}

void LowerAscii(char* text) {
  for (char* p = text; *p != '\0'; p += GbkCharLength(p)) {
    if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
  }
}

void CopyBounded(char* dest, size_t capacity, const char* source) {
  size_t used = 0;
  while (source[used] != '\0') {
    size_t step = GbkCharLength(source + used);
    if (used + step >= capacity) break;
    used += step;
  }
  std::memcpy(dest, source, used);
  dest[used] = '\0';
}

void TrimOuterSpaces(char* text) {
  size_t begin = 0;
  while (text[begin] == ' ') ++begin;
  size_t end = std::strlen(text);
  while (end > begin && text[end - 1] == ' ') --end;
  std::memmove(text, text + begin, end - begin);
  text[end - begin] = '\0';
}

void BlankOutAndTrim(char* text, const char* blanks) {
  for (char* p = text; *p != '\0'; p += GbkCharLength(p)) {
    if (std::strchr(blanks, *p) != nullptr) *p = ' ';
  }
  TrimOuterSpaces(text);
}

bool IsUnusableSingle(unsigned char c) {
  return c < 0x20 || c == 0x7F || c >= 0x81;
}

void BlankOutUnusableBytes(char* text) {
  std::u16string wide;
  bool maps = platform::GbkToUtf16(text, &wide);
  for (char* p = text; *p != '\0';) {
    size_t length = GbkCharLength(p);
    bool unusable = length == 1
                        ? IsUnusableSingle(static_cast<unsigned char>(*p))
                        : !maps && !platform::GbkToUtf16(std::string(p, 2), &wide);
    if (unusable) std::memset(p, ' ', length);
    p += length;
  }
}

void CleanTitle(char* title) {
  // A lone lead byte at the end would take the folder separator after it
  // as its trail byte.
  BlankOutUnusableBytes(title);
  // Besides what a folder name cannot hold, tabs and full stops, which
  // titles should not bring into a folder name either.
  BlankOutAndTrim(title, "\t.\"*/:<>?\\|");
}

}  // namespace harvio
