// Fuzz target: any bytes as a page of any source. The first byte picks the
// SourceId (all of 0..255, so every parser and the ids without one), the
// second the item kind, the picture formats and the page URL; the rest is
// the page, in a buffer of exactly its size plus the NUL so that any read or
// write past the page end is caught.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "core/url_queue.h"
#include "sources/page_dispatch.h"
#include "sources/text_helpers.h"

namespace {

using namespace harvio;

// Page URLs of several shapes, the last one as long as a path may be, so
// that resolved links run into the 1024-byte limit.
const std::string kPageUrls[] = {"http://www.example.com/a/b.html?x=1/2", "http://h.cn/",
                                 "http://bbs.example.cn/list.asp?boardid=3&page=2",
                                 "http://Example.COM/" + std::string(1004, 'p')};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  TaskInfo info{};
  info.sourceId = data[0];
  uint8_t mode = data[1];
  ItemKind kind = (mode & 1) != 0 ? kWeb1 : kWeb2;
  info.jpgLarge = (mode >> 1) & 1;
  info.jpgSmall = (mode >> 2) & 1;
  info.gif = (mode >> 3) & 1;

  UrlQueue origin;
  origin.AddUrl(kPageUrls[(mode >> 4) % 4].c_str(), "title", "", false);
  const UrlItem* item = origin.TakeNext(1);
  if (item == nullptr) __builtin_trap();  // every page URL above is valid

  size_t length = size - 2;
  std::unique_ptr<char[]> page(new char[length + 1]);
  std::memcpy(page.get(), data + 2, length);
  page[length] = '\0';
  char* end = page.get() + length;
  if (info.sourceId > 160) end = RemoveTabsAndLineBreaks(page.get(), end);

  UrlQueue queues[3];
  PageContext ctx{page.get(), end, item, kind,
                  {&queues[kWeb2], &queues[kWeb1], &queues[kPic]}, &info};
  DispatchPage(ctx);
  return 0;
}
