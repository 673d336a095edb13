#include "app/ad_pages.h"

#include "core/gbk_text.h"

namespace harvio {
namespace {

// Bytes a path may hold that a URL reads otherwise.
bool NeedsEscape(char c) { return c == ' ' || c == '%' || c == '#'; }

// "\\" becomes "/"; a trail byte equal to "\\" stays with its character.
std::string UrlPath(const std::string& path) {
  std::string url;
  for (const char* p = path.c_str(); *p != '\0';) {
    size_t step = GbkCharLength(p);
    if (step == 1 && *p == '\\') {
      url += '/';
    } else if (step == 1 && NeedsEscape(*p)) {
      static const char kHex[] = "0123456789ABCDEF";
      url += '%';
      url += kHex[static_cast<unsigned char>(*p) >> 4];
      url += kHex[static_cast<unsigned char>(*p) & 15];
    } else {
      url.append(p, step);
    }
    p += step;
  }
  return url;
}

}  // namespace

std::string AdPageUrl(const std::string& programFolder, uint32_t number) {
  std::string page = programFolder + "ad\\" + std::to_string(number % kAdPageCount) + ".html";
  // "C:\\..." gives "file:///C:/...", a share "\\\\host\\..." gives "file://host/...".
  bool share = page.compare(0, 2, "\\\\") == 0;
  return share ? "file:" + UrlPath(page) : "file:///" + UrlPath(page);
}

}  // namespace harvio
