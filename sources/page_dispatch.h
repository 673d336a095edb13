// A page that a worker fetched completely goes to DispatchPage, which calls
// the parser of the task's source. Every parser follows one contract
// (PageParser): it reads the page, cuts out the URLs the source's pages carry
// and admits them into the task's queues through QueueUrl. That is its only
// effect besides writing into the page buffer, which is discarded afterwards.
//
// A page is whatever a server sent: parsers must never read or write outside
// [page, end], whatever bytes it holds.
#pragma once

#include "core/task_info.h"
#include "core/url_queue.h"

namespace harvio {

// Watches the admissions of one parse (harvio-cli parse prints them).
struct AddUrlTrace {
  virtual ~AddUrlTrace() = default;
  virtual void OnAddUrl(ItemKind queue, const char* url, const char* title,
                        const char* referer, bool checkDuplicate,
                        AddResult result) = 0;
};

struct PageContext {
  char* page;            // writable text, NUL-terminated
  char* end;             // the terminating NUL
  const UrlItem* item;   // the item the page came from
  ItemKind kind;         // kWeb2 or kWeb1
  UrlQueue* queues[3];   // the task's queues, indexed by ItemKind
  const TaskInfo* info;  // sourceId and the picture-format flags
  AddUrlTrace* trace = nullptr;
};

using PageParser = void (*)(const PageContext& ctx);

// Calls the parser of ctx.info->sourceId; an unknown source parses nothing.
void DispatchPage(const PageContext& ctx);

// The one way parsers admit what they find.
AddResult QueueUrl(const PageContext& ctx, ItemKind queue, const char* url,
                   const char* title, const char* referer,
                   bool checkDuplicate);

// The URL of the current item ("http://" or "https://", host, path), into a buffer of at least
// 1028 bytes.
void PageUrl(const UrlItem& item, char* out);

}  // namespace harvio
