// Code page conversions through iconv. glibc's "GBK" is Windows code page
// 936 including its single-byte euro sign at 0x80, so both builds convert the
// same bytes the same way.
#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace harvio::platform {
namespace {

// Converts `size` bytes; false on any invalid or incomplete sequence.
bool Convert(const char* to, const char* from, const char* data, size_t size,
             std::string* out) {
  out->clear();
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string result;
  char* in = const_cast<char*>(data);
  size_t in_left = size;
  char chunk[4096];
  bool ok = true;
  while (in_left > 0) {
    char* dst = chunk;
    size_t dst_left = sizeof chunk;
    size_t rc = iconv(cd, &in, &in_left, &dst, &dst_left);
    result.append(chunk, sizeof chunk - dst_left);
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      ok = false;
      break;
    }
  }
  iconv_close(cd);
  if (ok) out->swap(result);
  return ok;
}

}  // namespace

bool GbkToUtf8(const std::string& gbk, std::string* out) {
  return Convert("UTF-8", "GBK", gbk.data(), gbk.size(), out);
}

bool Utf8ToGbk(const std::string& utf8, std::string* out) {
  return Convert("GBK", "UTF-8", utf8.data(), utf8.size(), out);
}

bool ArgumentToGbk(const std::string& argument, std::string* out) {
  return Utf8ToGbk(argument, out);
}

bool GbkToUtf16(const std::string& gbk, std::u16string* out) {
  out->clear();
  std::string bytes;
  if (!Convert("UTF-16LE", "GBK", gbk.data(), gbk.size(), &bytes)) return false;
  out->resize(bytes.size() / 2);
  for (size_t i = 0; i < out->size(); ++i) {
    (*out)[i] = static_cast<char16_t>(
        static_cast<unsigned char>(bytes[2 * i]) |
        (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return true;
}

bool Utf16ToUtf8(const std::u16string& utf16, std::string* out) {
  std::string bytes;
  bytes.reserve(utf16.size() * 2);
  for (char16_t unit : utf16) {
    bytes.push_back(static_cast<char>(unit & 0xff));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return Convert("UTF-8", "UTF-16LE", bytes.data(), bytes.size(), out);
}

}  // namespace harvio::platform
