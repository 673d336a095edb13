// Conversions between code page 936 (the program's own texts) and Unicode.
// Every conversion names its code page; nothing relies on the locale.
// A failed conversion returns false and leaves `out` empty.
#pragma once

#include <string>

namespace harvio::platform {

bool GbkToUtf8(const std::string& gbk, std::string* out);
bool Utf8ToGbk(const std::string& utf8, std::string* out);
bool GbkToUtf16(const std::string& gbk, std::u16string* out);
bool Utf16ToUtf8(const std::u16string& utf16, std::string* out);

// A command-line argument in the program's code page: arguments arrive in
// UTF-8 on Linux and in the ANSI code page (936) on Windows.
bool ArgumentToGbk(const std::string& argument, std::string* out);

}  // namespace harvio::platform
