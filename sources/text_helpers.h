// Small text routines shared by the parsers, the engine and the task dialogs.
// All work in place on NUL-terminated byte strings in code page 936 and
// allocate nothing. Those that go through a 1028-byte work buffer accept
// strings of at most 1024 bytes and never write past that.
#pragma once

#include <cstddef>

#include "core/task_info.h"

namespace harvio {

constexpr size_t kWorkBuffer = 1028;

void ReplaceAll(char* text, const char* find, const char* replacement);
void DecodePercentEscapes(char* text);
void DecodeEntities(char* text);
void StripTags(char* text);
void TrimSpaces(char* text);
void SanitizeFolderName(char* text);
// Extension of a URL ("." included, lower-cased) into a 16-byte buffer.
void UrlExtension(const char* url, char* out);
bool IsWantedPicture(const char* url, const TaskInfo& info);

// Removes every tab, CR and LF byte from [text, end) in place, as a custom
// source's page gets it; writes a NUL at the new end and returns it.
char* RemoveTabsAndLineBreaks(char* text, char* end);

// First occurrence of `marker` in [from, end), or nullptr. Unlike strstr it
// neither stops at a NUL byte inside a page nor reads past `end`.
const char* FindMarker(const char* from, const char* end, const char* marker);

}  // namespace harvio
