// harvio-cli parse --source ID --kind WEB2|WEB1 --url PAGEURL [--title T]
//                  [--formats LIST] FILE
//
// Parses a saved page as if a worker of a fresh task of that source had just
// fetched it from PAGEURL, and prints every admission the parser asks for,
// in order: queue, URL, title, referer, duplicate check, result.
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "core/url_queue.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "app/new_task.h"
#include "sources/page_dispatch.h"
#include "sources/text_helpers.h"

namespace harvio::cli {
namespace {

constexpr uint32_t kFirstCustomSource = 161;

class PrintingTrace : public AddUrlTrace {
 public:
  void OnAddUrl(ItemKind queue, const char* url, const char* title,
                const char* referer, bool checkDuplicate,
                AddResult result) override {
    static const char* const kQueues[] = {"WEB2", "WEB1", "PIC"};
    static const char* const kResults[] = {"admitted", "invalid",
                                           "duplicate"};
    Print(std::string(kQueues[queue]) + "\t" + url + "\t" + title + "\t" +
          referer + "\t" + (checkDuplicate ? "on" : "off") + "\t" +
          kResults[static_cast<int>(result)]);
  }
};

// The page as a worker holds it: at most kMaxBodyBytes, NUL-terminated.
bool ReadPage(const std::string& nativePath, std::vector<char>* page) {
  platform::File file = platform::File::Open(
      platform::FromNativePath(nativePath), platform::File::Mode::kReadExisting);
  int64_t size = file.IsOpen() ? file.Size() : -1;
  if (size < 0 || size > static_cast<int64_t>(kMaxBodyBytes)) return false;
  page->assign(static_cast<size_t>(size) + 1, '\0');
  size_t have = 0;
  while (have < static_cast<size_t>(size)) {
    int64_t n = file.Read(page->data() + have,
                          static_cast<uint32_t>(size - have));
    if (n <= 0) return false;
    have += static_cast<size_t>(n);
  }
  return true;
}

int Fail(const std::string& message) {
  PrintError("harvio-cli parse: " + message);
  return 2;
}

}  // namespace

int ParseCommand(CliContext& ctx) {
  std::string source, kindName, url, title, formats;
  bool complete = ctx.TakeValue("--source", &source) &&
                  ctx.TakeValue("--kind", &kindName) &&
                  ctx.TakeValue("--url", &url);
  ctx.TakeValue("--title", &title);
  ctx.TakeValue("--formats", &formats);
  if (!complete || ctx.args.size() != 1) {
    return Fail("usage: parse --source ID --kind WEB2|WEB1 --url PAGEURL "
                "[--title T] [--formats LIST] FILE");
  }
  TaskInfo info{};
  info.sourceId =
      static_cast<uint32_t>(std::strtoul(source.c_str(), nullptr, 10));
  FormatSet wanted = DefaultFormats(info.sourceId);
  if (!formats.empty() && !ParseFormatList(formats, &wanted)) {
    return Fail("--formats takes jpg-large,jpg-small,gif,png,webp or none");
  }
  StoreFormats(wanted, &info);
  if (kindName != "WEB2" && kindName != "WEB1") {
    return Fail("--kind is WEB2 or WEB1");
  }
  ItemKind kind = kindName == "WEB2" ? kWeb2 : kWeb1;
  std::string gbkTitle;
  if (!platform::ArgumentToGbk(title, &gbkTitle)) gbkTitle = title;

  // The item the page came from, made the way the queue makes it (which
  // also bounds and cleans the title).
  UrlQueue origin;
  origin.AddUrl(url.c_str(), gbkTitle.c_str(), "", false);
  const UrlItem* item = origin.TakeNext(1);
  if (item == nullptr) return Fail("not a page URL: " + url);

  std::vector<char> page;
  if (!ReadPage(ctx.args[0], &page)) {
    return Fail("cannot read a page of at most 1048576 bytes from " +
                ctx.args[0]);
  }
  char* end = page.data() + page.size() - 1;
  if (info.sourceId >= kFirstCustomSource) {
    end = RemoveTabsAndLineBreaks(page.data(), end);
  }
  UrlQueue queues[3];
  PrintingTrace trace;
  PageContext pageCtx{page.data(), end, item, kind,
                      {&queues[kWeb2], &queues[kWeb1], &queues[kPic]}, &info,
                      &trace};
  DispatchPage(pageCtx);
  return 0;
}

}  // namespace harvio::cli
