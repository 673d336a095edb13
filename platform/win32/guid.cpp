#include "platform/guid.h"

#include <objbase.h>

#include "platform/win32/win_api.h"

namespace harvio::platform {

std::string NewGuidText() {
  GUID guid;
  if (FAILED(CoCreateGuid(&guid))) return std::string();
  wchar_t wide[40];
  if (StringFromGUID2(guid, wide, 40) != 39) return std::string();
  // Registry form is plain ASCII, upper case already.
  std::string text;
  for (int i = 0; i < 38; ++i) text.push_back(static_cast<char>(wide[i]));
  return text;
}

}  // namespace harvio::platform
