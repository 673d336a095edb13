// Conversions through the system's code page tables, each naming its code
// page, and strict: an invalid sequence or a character without a form in
// the target code page fails the conversion, as on the other systems.
#include "platform/codepage.h"

#include "platform/win32/win_api.h"

namespace harvio::platform {
namespace {

constexpr UINT kGbk = 936;

bool ToWide(UINT code_page, const std::string& text, std::wstring* out) {
  out->clear();
  if (text.empty()) return true;
  int length = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(),
                                   static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return false;
  out->resize(static_cast<size_t>(length));
  return MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(),
                             static_cast<int>(text.size()), &(*out)[0], length) == length;
}

bool FromWide(UINT code_page, const wchar_t* wide, size_t size, std::string* out) {
  out->clear();
  if (size == 0) return true;
  // UTF-8 reports lone surrogates through the flag; code page 936 reports
  // unmappable characters through the default-character flag.
  DWORD flags = code_page == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL used_default = FALSE;
  BOOL* used = code_page == CP_UTF8 ? nullptr : &used_default;
  int length = WideCharToMultiByte(code_page, flags, wide, static_cast<int>(size),
                                   nullptr, 0, nullptr, used);
  if (length <= 0 || used_default) return false;
  std::string result(static_cast<size_t>(length), '\0');
  if (WideCharToMultiByte(code_page, flags, wide, static_cast<int>(size), &result[0],
                          length, nullptr, used) != length || used_default) {
    return false;
  }
  out->swap(result);
  return true;
}

}  // namespace

bool GbkToUtf8(const std::string& gbk, std::string* out) {
  std::wstring wide;
  out->clear();
  return ToWide(kGbk, gbk, &wide) && FromWide(CP_UTF8, wide.data(), wide.size(), out);
}

bool Utf8ToGbk(const std::string& utf8, std::string* out) {
  std::wstring wide;
  out->clear();
  return ToWide(CP_UTF8, utf8, &wide) && FromWide(kGbk, wide.data(), wide.size(), out);
}

bool ArgumentToGbk(const std::string& argument, std::string* out) {
  // The C runtime hands over the ANSI form; check it is valid GBK.
  std::wstring wide;
  out->clear();
  if (!ToWide(kGbk, argument, &wide)) return false;
  *out = argument;
  return true;
}

bool GbkToUtf16(const std::string& gbk, std::u16string* out) {
  std::wstring wide;
  out->clear();
  if (!ToWide(kGbk, gbk, &wide)) return false;
  out->assign(wide.begin(), wide.end());
  return true;
}

bool Utf16ToUtf8(const std::u16string& utf16, std::string* out) {
  std::wstring wide(utf16.begin(), utf16.end());
  return FromWide(CP_UTF8, wide.data(), wide.size(), out);
}

}  // namespace harvio::platform
