// The helpers never know how large the caller's buffer is, only that it holds
// the string it was given. So a result is never longer than the string that
// came in (at most 1024 bytes are looked at; a longer string is cut there,
// inside its own storage).
#include "sources/text_helpers.h"

#include <cstring>
#include <string_view>

#include "core/gbk_text.h"
#include "core/picture_formats.h"

namespace harvio {
namespace {

// Length of `text`, reading at most kUrlMax bytes; a longer string is cut to
// kUrlMax so that every later step stays inside the work buffers.
size_t BoundedLength(char* text) {
  size_t n = strnlen(text, kUrlMax);
  text[n] = '\0';
  return n;
}

// Moves the string into `work` and empties it; returns its length, which is
// also the most the rebuilt string may hold.
size_t TakeIntoWork(char* text, char* work) {
  size_t n = BoundedLength(text);
  std::memcpy(work, text, n);
  work[n] = '\0';
  text[0] = '\0';
  return n;
}

// Appends up to n bytes of `from` to `out` (length `used`), never beyond
// `limit`; returns the new length and keeps `out` terminated.
size_t AppendBounded(char* out, size_t used, size_t limit, const char* from,
                     size_t n) {
  if (n > limit - used) n = limit - used;
  std::memcpy(out + used, from, n);
  used += n;
  out[used] = '\0';
  return used;
}

void ReplaceEach(char* text, const char* const (*pairs)[2], size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (std::strstr(text, pairs[i][0]) != nullptr) {
      ReplaceAll(text, pairs[i][0], pairs[i][1]);
    }
  }
}

}  // namespace

void ReplaceAll(char* text, const char* find, const char* replacement) {
  size_t findLen = std::strlen(find);
  if (findLen == 0) return;  // an empty text would match forever
  char work[kWorkBuffer];
  size_t limit = TakeIntoWork(text, work);
  size_t replacementLen = std::strlen(replacement);
  size_t used = 0;
  const char* from = work;
  for (const char* hit; (hit = std::strstr(from, find)) != nullptr;
       from = hit + findLen) {
    used = AppendBounded(text, used, limit, from, hit - from);
    used = AppendBounded(text, used, limit, replacement, replacementLen);
  }
  AppendBounded(text, used, limit, from, std::strlen(from));
}

void DecodePercentEscapes(char* text) {
  // "%25" first, so that a doubly escaped ":", "/" or "." ends as the
  // plain character.
  static const char* const kPairs[][2] = {
      {"%25", "%"}, {"%3a", ":"}, {"%2f", "/"}, {"%2e", "."},
      {"%3A", ":"}, {"%2F", "/"}, {"%2E", "."},
  };
  ReplaceEach(text, kPairs, sizeof kPairs / sizeof kPairs[0]);
}

void DecodeEntities(char* text) {
  // "&amp;" first, so that "&amp;lt;" ends as "<".
  static const char* const kPairs[][2] = {
      {"&amp;", "&"},   {"&#183;", "\xa1\xa4"},  // middle dot
      {"&#46;", "."},   {"&lt;", "<"},
      {"&gt;", ">"},    {"&quot;", "\""},
      {"&nbsp;", " "},
  };
  ReplaceEach(text, kPairs, sizeof kPairs / sizeof kPairs[0]);
}

void StripTags(char* text) {
  char work[kWorkBuffer];
  size_t limit = TakeIntoWork(text, work);
  size_t used = 0;
  const char* from = work;
  while (const char* open = std::strchr(from, '<')) {
    used = AppendBounded(text, used, limit, from, open - from);
    const char* close = std::strchr(open + 1, '>');
    if (close == nullptr) return;  // an unclosed tag drops the rest
    from = close + 1;
  }
  AppendBounded(text, used, limit, from, std::strlen(from));
}

void TrimSpaces(char* text) {
  BoundedLength(text);
  TrimOuterSpaces(text);
}

void SanitizeFolderName(char* text) {
  BoundedLength(text);
  BlankOutAndTrim(text, "\"*/:<>?\\|");
}

void UrlExtension(const char* url, char* out) {
  constexpr size_t kExtensionMax = 15;
  char work[kWorkBuffer];
  size_t n = strnlen(url, kUrlMax);
  std::memcpy(work, url, n);
  work[n] = '\0';
  if (char* query = std::strchr(work, '?')) *query = '\0';
  out[0] = '\0';
  const char* dot = std::strrchr(work, '.');
  if (dot == nullptr || std::strlen(dot) > kExtensionMax) return;
  size_t i = 0;
  for (; dot[i] != '\0'; ++i) {
    char c = dot[i];
    out[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  out[i] = '\0';
}

bool IsWantedPicture(const char* url, const TaskInfo& info) {
  char extension[16];
  UrlExtension(url, extension);
  if (std::strcmp(extension, ".bmp") == 0) return false;
  if (std::strcmp(extension, ".jpg") == 0) {
    return info.jpgLarge != 0 || info.jpgSmall != 0;
  }
  if (std::strcmp(extension, ".gif") == 0) return WantsFormat(info, kGifFormat);
  if (std::strcmp(extension, ".png") == 0) return WantsFormat(info, kPngFormat);
  if (std::strcmp(extension, ".webp") == 0) {
    return WantsFormat(info, kWebpFormat);
  }
  return true;
}

char* RemoveTabsAndLineBreaks(char* text, char* end) {
  char* out = text;
  for (const char* in = text; in < end; ++in) {
    if (*in != '\t' && *in != '\r' && *in != '\n') *out++ = *in;
  }
  *out = '\0';
  return out;
}

const char* FindMarker(const char* from, const char* end, const char* marker) {
  std::string_view text(from, static_cast<size_t>(end - from));
  size_t at = text.find(marker);
  return at == std::string_view::npos ? nullptr : from + at;
}

}  // namespace harvio
