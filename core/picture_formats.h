// The picture formats a task accepts. JPEG comes in two size classes, each
// with a field of its own in the TaskInfo (jpgLarge, jpgSmall); GIF, PNG and
// WebP share its field `gif`, one bit each: bit 0 GIF, bit 1 PNG, bit 2
// WebP. Task files written before PNG and WebP hold 0 or 1 there and read
// as they always did, and the TaskInfo keeps its size and layout.
#pragma once

#include <cstdint>

#include "core/task_info.h"

namespace harvio {

enum PictureFormat : uint32_t {
  kJpgLargeFormat = 0,  // JPEG of 16384 bytes and more
  kJpgSmallFormat = 1,  // JPEG under 16384 bytes
  kGifFormat = 2,
  kPngFormat = 3,
  kWebpFormat = 4,
  kFormatCount = 5,
};

// A set of formats: bit (1 << format) for each format in it.
using FormatSet = uint32_t;
constexpr FormatSet FormatBit(PictureFormat format) { return 1u << format; }
constexpr FormatSet kEveryFormat = (1u << kFormatCount) - 1;
// The formats the program knew before PNG and WebP.
constexpr FormatSet kClassicFormats = FormatBit(kJpgLargeFormat) |
                                      FormatBit(kJpgSmallFormat) |
                                      FormatBit(kGifFormat);

FormatSet TaskFormats(const TaskInfo& info);
void StoreFormats(FormatSet formats, TaskInfo* info);
bool WantsFormat(const TaskInfo& info, PictureFormat format);

}  // namespace harvio
