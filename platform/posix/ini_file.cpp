// A reader and writer of initialisation files that follows the Windows
// profile functions as Wine implements them, so harvio-cli and harvio.exe
// read a file alike and leave the same bytes: the whole file is parsed into
// sections and keys, blank lines are dropped, blanks around names and
// values go, and every write that changes a value rewrites the file with
// "\r\n" line ends. Texts are bytes in the program's code page.
#include <algorithm>
#include <optional>
#include <vector>

#include "platform/files.h"
#include "platform/ini_file.h"

namespace harvio::platform {
namespace {

// Larger files are not settings files; they are neither read nor rewritten.
constexpr int64_t kIniFileMax = 16 << 20;

struct IniKey {
  std::string name;
  std::optional<std::string> value;  // none for a line without "="
};

struct IniSection {
  std::string name;  // empty for the lines before the first section
  std::vector<IniKey> keys;
};

using IniFile = std::vector<IniSection>;

bool IsIniSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

const char* SkipSpaces(const char* begin, const char* end) {
  while (begin < end && IsIniSpace(*begin)) ++begin;
  return begin;
}

std::string Trim(const char* begin, const char* end) {
  begin = SkipSpaces(begin, end);
  while (end > begin && IsIniSpace(end[-1])) --end;
  return std::string(begin, end);
}

// False when the file is there but cannot be read whole.
bool ReadWholeFile(const std::string& path, std::string* text, bool* exists) {
  text->clear();
  *exists = FileExists(path);
  if (!*exists) return true;
  File file = File::Open(path, File::Mode::kReadExisting);
  int64_t size = file.IsOpen() ? file.Size() : -1;
  if (size < 0 || size > kIniFileMax) return false;
  text->resize(static_cast<size_t>(size));
  int64_t done = 0;
  while (done < size) {
    int64_t got = file.Read(&(*text)[static_cast<size_t>(done)],
                            static_cast<uint32_t>(size - done));
    if (got <= 0) break;
    done += got;
  }
  text->resize(static_cast<size_t>(done));
  return done == size;
}

// One key line: the name before the first "=", the value after it.
IniKey ParseKeyLine(const std::string& line) {
  size_t equals = line.find('=');
  if (equals == std::string::npos) return IniKey{line, std::nullopt};
  const char* text = line.c_str();
  return IniKey{Trim(text, text + equals),
                Trim(text + equals + 1, text + line.size())};
}

// Any "\r" or "\n" ends a line.
IniFile Parse(const std::string& text) {
  IniFile file(1);
  bool afterNameless = false;  // the last key kept has no name
  size_t start = 0;
  while (start < text.size()) {
    size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    std::string line = Trim(text.c_str() + start, text.c_str() + end);
    start = end + 1;
    if (line.empty()) continue;
    size_t close = line.rfind(']');
    if (line[0] == '[' && close != std::string::npos) {
      file.push_back(IniSection{line.substr(1, close - 1), {}});
      afterNameless = false;
      continue;
    }
    IniKey key = ParseKeyLine(line);
    // A run of nameless lines ("=x") keeps only its first.
    if (!key.name.empty() || !afterNameless) {
      afterNameless = key.name.empty();
      file.back().keys.push_back(std::move(key));
    }
  }
  return file;
}

std::string Serialize(const IniFile& file) {
  std::string text;
  for (const IniSection& section : file) {
    if (!section.name.empty()) text += "[" + section.name + "]\r\n";
    for (const IniKey& key : section.keys) {
      text += key.name;
      if (key.value) text += "=" + *key.value;
      text += "\r\n";
    }
  }
  return text;
}

IniSection* FindSection(IniFile& file, const char* name) {
  for (IniSection& section : file) {
    if (SameIniName(section.name, name)) return &section;
  }
  return nullptr;
}

IniKey* FindKey(IniSection& section, const char* name) {
  for (IniKey& key : section.keys) {
    if (SameIniName(key.name, name)) return &key;
  }
  return nullptr;
}

// The stored value; none when the file, section or key is missing or the
// key's line has no "=".
std::optional<std::string> LookUp(const std::string& path, const char* section,
                                  const char* key) {
  std::string text;
  bool exists = false;
  if (!ReadWholeFile(path, &text, &exists) || !exists) return std::nullopt;
  IniFile file = Parse(text);
  IniSection* found = FindSection(file, section);
  IniKey* entry = found != nullptr ? FindKey(*found, key) : nullptr;
  return entry != nullptr ? entry->value : std::nullopt;
}

std::string StripQuotes(const std::string& value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
      value.back() == value[0]) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Through a temporary file, so a failed write leaves the old file whole.
bool WriteWholeFile(const std::string& path, const std::string& text) {
  std::string temporary = path + ".new";
  DeleteFile(temporary);
  File file = File::Open(temporary, File::Mode::kCreateNew);
  bool written = file.IsOpen() &&
                 file.Write(text.data(), static_cast<uint32_t>(text.size()));
  file.Close();
  if (written && ReplaceFile(temporary, path)) return true;
  DeleteFile(temporary);
  return false;
}

}  // namespace

std::string ReadIniString(const std::string& path, const char* section,
                          const char* key, const char* fallback,
                          size_t maxLength) {
  std::optional<std::string> value = LookUp(path, section, key);
  std::string text = value ? StripQuotes(*value) : fallback;
  return text.substr(0, maxLength);
}

int32_t ReadIniInt(const std::string& path, const char* section,
                   const char* key, int32_t fallback) {
  std::string text = ReadIniString(path, section, key, "", kIniIntegerTextMax);
  return text.empty() ? fallback : ParseIniInteger(text);
}

bool WriteIniString(const std::string& path, const char* section,
                    const char* key, const std::string& value) {
  std::string text;
  bool exists = false;
  if (!ReadWholeFile(path, &text, &exists)) return false;
  IniFile file = Parse(text);
  // Like Windows, leading blanks of a value are dropped, trailing ones kept.
  std::string stored(SkipSpaces(value.c_str(), value.c_str() + value.size()),
                     value.c_str() + value.size());
  IniSection* found = FindSection(file, section);
  if (found == nullptr) {
    file.push_back(IniSection{section, {}});
    found = &file.back();
  }
  IniKey* entry = FindKey(*found, key);
  if (entry == nullptr) {
    found->keys.push_back(IniKey{key, std::nullopt});
    entry = &found->keys.back();
  } else if (entry->value == stored) {
    return true;  // nothing changes, the file stays as it is
  }
  entry->value = stored;
  return WriteWholeFile(path, Serialize(file));
}

}  // namespace harvio::platform
