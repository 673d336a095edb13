// Initialisation files: "[Section]" lines, each followed by "Key=Value"
// lines. On Windows these are the system's own profile functions; elsewhere
// a reader and writer that keep the same rules and write the same bytes, so
// a settings file is the same whichever build wrote it. Section and key
// names match without regard to case; only the first section of a name
// counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace harvio::platform {

// The key's text (outer blanks gone, one pair of enclosing quotes removed),
// cut to `maxLength` bytes; `fallback` when the file, the section or the
// key is missing or the key has no text.
std::string ReadIniString(const std::string& path, const char* section,
                          const char* key, const char* fallback,
                          size_t maxLength);
// The key's text read as an integer the Windows way (ParseIniInteger);
// `fallback` when the file, the section or the key is missing or the key has
// no text.
int32_t ReadIniInt(const std::string& path, const char* section,
                   const char* key, int32_t fallback);
// Sets the key, adding the section or the key at the end where missing, and
// rewrites the file (creating it) unless the value is already there.
bool WriteIniString(const std::string& path, const char* section,
                    const char* key, const std::string& value);

// An integer text as Windows reads one: blanks and control characters
// skipped, an optional sign, then the leading decimal digits, wrapping
// around in 32 bits; no digits read as 0.
int32_t ParseIniInteger(const std::string& text);

// Section and key names compare without regard to ASCII letter case.
bool SameIniName(const std::string& name, const char* other);

// Longest text an integer key is read from (the rest is ignored).
constexpr size_t kIniIntegerTextMax = 29;

}  // namespace harvio::platform
