// Byte-string helpers that know the double-byte characters of code page 936.
// A GBK character is a lead byte 0x81..0xFE followed by a trail byte
// 0x40..0xFE (not 0x7F); trail bytes overlap ASCII letters, "\\" and "|",
// so any byte-wise rewrite of ASCII must step over whole characters.
#pragma once

#include <cstddef>

namespace harvio {

// Length in bytes (1 or 2) of the character starting at `text`.
size_t GbkCharLength(const char* text);

// Turns A-Z into a-z, leaving double-byte characters alone.
void LowerAscii(char* text);

// Copies at most `capacity` - 1 bytes of `source` into `dest` and
// terminates it; a double-byte character that does not fit whole is left
// out rather than cut in half.
void CopyBounded(char* dest, size_t capacity, const char* source);

// Removes the spaces at both ends of `text`.
void TrimOuterSpaces(char* text);

// Turns every character of `text` that is one of the ASCII bytes in `blanks`
// into a space, then removes outer spaces. Double-byte characters are
// stepped over whole, so a trail byte equal to "\\" or "|" stays.
void BlankOutAndTrim(char* text, const char* blanks);

// A single byte that no name can hold: a control character, or a byte of
// 0x81 and above that is not part of a double-byte character.
bool IsUnusableSingle(unsigned char c);

// Turns into spaces what cannot become part of a path: unusable single
// bytes and double-byte characters that code page 936 does not map.
void BlankOutUnusableBytes(char* text);

// Makes a thread title usable as a folder name: unusable bytes, tabs, full
// stops, the double quote and * / : < > ? \ | become spaces, then outer
// spaces go.
void CleanTitle(char* title);

}  // namespace harvio
