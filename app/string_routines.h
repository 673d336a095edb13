// Small in-place routines of the task dialogs, on NUL-terminated byte
// strings in code page 936. Double-byte characters are stepped over whole,
// so a trail byte is never taken for the ASCII byte it resembles.
#pragma once

#include <cstddef>
#include <cstdint>

namespace harvio {

// Every `c` becomes a blank.
void ReplaceChar(char* text, char c);
void TabsToBlanks(char* text);
void PlusToBlanks(char* text);
// Splits at blanks, drops empty words and joins the words with "+" when
// `withPlus`, else with nothing. The text never grows.
void CollapseBlanks(char* text, bool withPlus);
// Deletes every single-byte character found in `set`.
void RemoveChars(char* text, const char* set);
// Replaces the first "*" by `number` in decimal, keeping the text within
// `capacity` bytes (NUL included); false when there is no "*" or no room.
bool SubstituteStar(char* text, size_t capacity, uint32_t number);
// Decimal digits of `number`; 1 for 0.
uint32_t CountDigits(uint32_t number);

}  // namespace harvio
