#include "core/picture_formats.h"

namespace harvio {
namespace {

// Where each format lives in the `gif` field.
constexpr uint32_t kGifFieldShift = kGifFormat;

}  // namespace

FormatSet TaskFormats(const TaskInfo& info) {
  FormatSet formats = (info.gif << kGifFieldShift) & kEveryFormat;
  if (info.jpgLarge != 0) formats |= FormatBit(kJpgLargeFormat);
  if (info.jpgSmall != 0) formats |= FormatBit(kJpgSmallFormat);
  return formats;
}

void StoreFormats(FormatSet formats, TaskInfo* info) {
  info->jpgLarge = (formats & FormatBit(kJpgLargeFormat)) != 0 ? 1 : 0;
  info->jpgSmall = (formats & FormatBit(kJpgSmallFormat)) != 0 ? 1 : 0;
  info->gif = (formats & kEveryFormat) >> kGifFieldShift;
}

bool WantsFormat(const TaskInfo& info, PictureFormat format) {
  return (TaskFormats(info) & FormatBit(format)) != 0;
}

}  // namespace harvio
