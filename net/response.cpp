#include "net/response.h"

#include <cctype>
#include <cstring>

#include "core/checkpoint.h"
#include "core/gbk_text.h"
#include "core/item_folder.h"
#include "core/picture_formats.h"
#include "core/task_store.h"
#include "core/url_location.h"
#include "sources/custom_parser.h"
#include "sources/page_dispatch.h"
#include "sources/text_helpers.h"

namespace harvio {
namespace {

constexpr uint32_t kHeaderStart = 13;     // after "HTTP/1.x NNN "
constexpr size_t kLongestValue = 1024;    // longer header values are ignored
constexpr uint32_t kSmallJpegLimit = 16384;
constexpr uint32_t kShortestBody = 1024;
constexpr uint32_t kNoNumberLength = 1023;  // a length of 0 or no number
constexpr uint32_t kMaxRedirectHops = 5;

const char kTxt[] = ".txt";
const char kJpg[] = ".jpg";
const char kGif[] = ".gif";
const char kPng[] = ".png";
const char kWebp[] = ".webp";

// The header fields of a response: the text after the status line up to
// the blank line (or the end of the block when it has none).
struct Fields {
  const char* begin;
  const char* end;
};

const char* FindText(const char* begin, const char* end, const char* text) {
  size_t length = std::strlen(text);
  for (const char* p = begin; p + length <= end; ++p) {
    if (std::memcmp(p, text, length) == 0) return p;
  }
  return nullptr;
}

// True when a field named `lowerName` (lower case, without the colon)
// starts at `at`. Header names are case-insensitive, and a name counts only
// at the start of a line, so a value that mentions a name is not taken for
// that field.
bool IsFieldAt(const Fields& fields, const char* at, const char* lowerName,
               size_t length) {
  if (at != fields.begin && at[-1] != '\n') return false;
  if (static_cast<size_t>(fields.end - at) <= length || at[length] != ':') {
    return false;
  }
  for (size_t i = 0; i < length; ++i) {
    if (std::tolower(static_cast<unsigned char>(at[i])) != lowerName[i]) {
      return false;
    }
  }
  return true;
}

// The value of the field `lowerName`, without the blanks after the colon;
// false when it is missing or too long.
bool HeaderValue(const Fields& fields, const char* lowerName,
                 std::string* value) {
  size_t length = std::strlen(lowerName);
  const char* start = fields.begin;
  while (start < fields.end &&
         !IsFieldAt(fields, start, lowerName, length)) {
    ++start;
  }
  if (start == fields.end) return false;
  start += length + 1;
  while (start < fields.end && (*start == ' ' || *start == '\t')) ++start;
  const char* stop = FindText(start, fields.end, "\r\n");
  if (stop == nullptr) stop = FindText(start, fields.end, "\n");
  if (stop == nullptr) stop = fields.end;
  if (static_cast<size_t>(stop - start) > kLongestValue) return false;
  value->assign(start, stop);
  return true;
}

// The three digits after "HTTP/1.x ", or -1.
int StatusCode(const char* text) {
  int code = 0;
  for (int i = 9; i < 12; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    code = code * 10 + (text[i] - '0');
  }
  return code;
}

// Where the header ends; *body receives the first byte after the blank line.
const char* HeaderEnd(const char* begin, const char* end, const char** body) {
  if (const char* crlf = FindText(begin, end, "\r\n\r\n")) {
    *body = crlf + 4;
    return crlf;
  }
  if (const char* lf = FindText(begin, end, "\n\n")) {
    *body = lf + 2;
    return lf;
  }
  return nullptr;
}

const char* ContentExtension(const Fields& fields) {
  std::string type;
  if (!HeaderValue(fields, "content-type", &type)) return nullptr;
  auto has = [&type](const char* text) {
    return type.find(text) != std::string::npos;
  };
  if (has("text/html") || has("text/plain")) return kTxt;
  if (has("image/jpeg")) return kJpg;
  if (has("image/gif")) return kGif;
  if (has("image/png")) return kPng;
  if (has("image/webp")) return kWebp;
  if (has(".jpg\"")) return kJpg;
  return nullptr;
}

bool TypeWanted(const TaskInfo& info, ItemKind kind, const char* ext) {
  if (kind != kPic) return ext == kTxt;
  if (ext == kJpg) return info.jpgLarge != 0 || info.jpgSmall != 0;
  if (ext == kGif) return WantsFormat(info, kGifFormat);
  if (ext == kPng) return WantsFormat(info, kPngFormat);
  return ext == kWebp && WantsFormat(info, kWebpFormat);
}

// The leading decimal digits, saturating; 0 and no number count as 1023.
uint32_t ReadLength(const std::string& text) {
  uint64_t length = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    length = length * 10 + static_cast<uint64_t>(c - '0');
    if (length > UINT32_MAX) return UINT32_MAX;
  }
  return length == 0 ? kNoNumberLength : static_cast<uint32_t>(length);
}

bool JpegSizeWanted(const TaskInfo& info, uint32_t length) {
  bool large = info.jpgLarge != 0;
  bool small = info.jpgSmall != 0;
  if (large && !small) return length >= kSmallJpegLimit;
  if (small && !large) return length < kSmallJpegLimit;
  return true;
}

// The most body bytes an item may have: a page 1 MiB, a picture what the
// options allow.
uint32_t BodyLimit(const Worker& w) {
  return w.kind_ == kPic ? w.options().MaxPictureKB * 1024 : kMaxBodyBytes;
}

// Reads the announced length into the item; false when it is refused.
bool AcceptLength(Worker& w, const Fields& fields, const char* ext) {
  std::string value;
  if (!HeaderValue(fields, "content-length", &value)) return true;
  uint32_t length = ReadLength(value);
  if (length < kShortestBody || length > BodyLimit(w)) return false;
  if (w.kind_ == kPic && ext == kJpg &&
      !JpegSizeWanted(w.task_.info, length)) {
    return false;
  }
  w.ChangeItem([length](UrlItem& i) { i.size = length; });
  return true;
}

// A URL as the run's memories know it: letter case ignored.
std::string UrlKey(const char* url) {
  char key[kWorkBuffer];
  CopyBounded(key, sizeof(key), url);
  LowerAscii(key);
  return key;
}

bool IsRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 ||
         status == 308;
}

// What a redirect may lead to: a picture only to a picture the task wants,
// and a page never from https to plain http: its links would carry what was
// fetched securely into the open.
bool IsFollowableTarget(const Worker& w, const char* to) {
  if (w.kind_ == kPic) return IsWantedPicture(to, w.task_.info);
  return !IsSecureLocation(w.item_->host) || SchemeLength(to) == 8;
}

// Notes that `from` redirected; true when `to` may be queued: it never
// redirected itself this run and the chain that reaches it has at most
// kMaxRedirectHops hops. So neither a loop nor an endless chain lasts.
bool MayFollowRedirect(TaskEngine& engine, const char* from, const char* to) {
  std::string fromKey = UrlKey(from), toKey = UrlKey(to);
  std::lock_guard<std::mutex> guard(engine.answersLock);
  engine.redirected.insert(fromKey);
  auto known = engine.redirectHops.find(fromKey);
  uint32_t hops = (known != engine.redirectHops.end() ? known->second : 0) + 1;
  if (hops > kMaxRedirectHops || engine.redirected.count(toKey) != 0) {
    return false;
  }
  engine.redirectHops[toKey] = hops;
  return true;
}

// A redirected item is queued under its new address in its own queue. A
// picture names the address that redirected as its referer; a page keeps
// the referer it had, as a browser does.
void QueueRedirect(Worker& w, const Fields& fields) {
  std::string location;
  if (!HeaderValue(fields, "location", &location)) return;
  char base[kWorkBuffer];
  PageUrl(*w.item_, base);
  char link[kWorkBuffer];
  CopyBounded(link, sizeof(link), location.c_str());
  ResolveUrl(link, base);
  if (link[0] == '\0' || !IsFollowableTarget(w, link) ||
      !MayFollowRedirect(w.engine_, base, link)) {
    return;
  }
  const char* referer = w.kind_ == kPic ? base : w.item_->referer;
  w.task_.queues[w.kind_].AddUrl(link, w.item_->title, referer, true);
}

// A refused range: the URL starts over as a fresh entry, once per run, so
// a server that cuts the body and then refuses its rest cannot loop.
void RequeueFresh(Worker& w) {
  char url[kWorkBuffer];
  PageUrl(*w.item_, url);
  {
    std::lock_guard<std::mutex> guard(w.engine_.answersLock);
    if (!w.engine_.requeuedFresh.insert(UrlKey(url)).second) return;
  }
  w.task_.queues[w.kind_].AddUrl(url, w.item_->title, w.item_->referer,
                                 false);
}

// A chunked body carries chunk sizes between its bytes: never a picture.
bool IsChunked(const Fields& fields) {
  std::string coding;
  return HeaderValue(fields, "transfer-encoding", &coding) &&
         coding.find("chunked") != std::string::npos;
}

// True when a Content-Range says the body starts at `start`; without one
// only a body from the first byte can be taken.
bool RangeStartsAt(const Fields& fields, uint32_t start) {
  std::string range;
  if (!HeaderValue(fields, "content-range", &range)) return start == 0;
  const char kUnit[] = "bytes ";
  size_t at = sizeof(kUnit) - 1;
  if (range.compare(0, at, kUnit) != 0) return false;
  uint64_t first = 0;
  size_t digits = 0;
  for (; at < range.size() && range[at] >= '0' && range[at] <= '9'; ++at) {
    first = first * 10 + static_cast<uint64_t>(range[at] - '0');
    if (first > UINT32_MAX) return false;
    ++digits;
  }
  return digits != 0 && at < range.size() && range[at] == '-' && first == start;
}

// A resumed body continues the file only when it starts at `done` and is
// as long as what is left.
bool ContinuesItem(const Fields& fields, const UrlItem& item) {
  std::string length;
  return RangeStartsAt(fields, item.done) &&
         (!HeaderValue(fields, "content-length", &length) ||
          ReadLength(length) == item.size - item.done);
}

// The answer belongs to other bytes than the file needs: the item forgets
// its progress and is tried again from the first byte.
void RestartFromZero(Worker& w) {
  w.ChangeItem([](UrlItem& i) { i.done = i.size = 0; });
  w.viewDone_ = 0;
  w.restartItem_ = true;
}

void WriteFailed(Worker& w) {
  w.writeFailed_ = true;
  w.RaiseStop(1);
}

// Continues the partial file the entry names. False when it cannot: the
// entry then forgets the name (a crash can leave a name whose file was
// never made), and progress without its file starts over from zero.
bool ReopenPartialFile(Worker& w, const std::string& folder) {
  UrlItem& item = *w.item_;
  if (IsPlainFileName(item.fileName)) {
    w.file_ = platform::File::Open(folder + item.fileName + ".!",
                                   platform::File::Mode::kWriteExisting);
    // A partial file shorter than its progress cannot be continued.
    if (w.file_.IsOpen() && w.file_.Size() >= item.done) return true;
    w.file_.Close();
  }
  w.ChangeItem([](UrlItem& i) { i.fileName[0] = '\0'; });
  if (item.done != 0) RestartFromZero(w);
  return false;
}

// A new partial file, named in the task's journal before it exists so
// that a crash never leaves it behind unnamed.
bool CreatePartialFile(Worker& w, const std::string& folder, const char* ext) {
  std::string name = NewGuidText() + ext;
  w.ChangeItem([&name](UrlItem& i) {
    CopyBounded(i.fileName, sizeof(i.fileName), name.c_str());
  });
  if (!JournalPartialFile(w.task_, w.kind_, *w.item_, folder + name)) {
    w.ChangeItem([](UrlItem& i) { i.fileName[0] = '\0'; });
    WriteFailed(w);
    return false;
  }
  w.task_.changes.fetch_add(1);
  w.SetViewFile(name.c_str());
  w.file_ = platform::File::Open(folder + name + ".!",
                                 platform::File::Mode::kCreateNew);
  return w.file_.IsOpen();
}

// Opens the item's partial file; *made tells a file just created, which
// is empty.
bool OpenPartialFile(Worker& w, const char* ext, bool* made) {
  std::string folder = ItemFolder(w.task_.info, *w.item_, w.kind_);
  if (!EnsureDirectories(folder)) return false;
  if (w.item_->fileName[0] != '\0' && ReopenPartialFile(w, folder)) return true;
  if (w.restartItem_) return false;
  *made = CreatePartialFile(w, folder, ext);
  return *made;
}

std::string PartialPath(Worker& w) {
  return ItemFolder(w.task_.info, *w.item_, w.kind_) + w.item_->fileName +
         ".!";
}

}  // namespace

bool AcceptResponse(Worker& w, uint32_t n) {
  if (n > kIoBytes) n = kIoBytes;
  char* text = w.ioBuffer_.get();
  text[n] = '\0';
  if (n <= kHeaderStart - 1) return false;
  UrlItem& item = *w.item_;
  w.overflowed_ = false;
  const char* blockEnd = text + n;
  const char* body = blockEnd;
  const char* headEnd = HeaderEnd(text + kHeaderStart, blockEnd, &body);
  Fields fields{text + kHeaderStart, headEnd != nullptr ? headEnd : blockEnd};
  int status = StatusCode(text);
  bool askedRange = item.size != 0 && item.done != 0;
  if (status == 206 &&
      !(askedRange ? ContinuesItem(fields, item) : RangeStartsAt(fields, 0))) {
    RestartFromZero(w);
    return false;
  }
  if (status == 200 || (status == 206 && !askedRange)) {
    // The transfer starts again from the first byte, with its own length.
    w.ChangeItem([](UrlItem& i) { i.done = i.size = 0; });
    w.viewDone_ = 0;
  } else if (status != 206) {
    if (IsRedirect(status)) QueueRedirect(w, fields);
    if (status == 416) RequeueFresh(w);
    return false;
  }
  const char* ext = ContentExtension(fields);
  if (ext == nullptr || IsChunked(fields) ||
      !TypeWanted(w.task_.info, w.kind_, ext)) {
    return false;
  }
  if (item.size == 0 && !AcceptLength(w, fields, ext)) return false;
  w.viewSize_ = item.size;
  if (headEnd == nullptr) return false;
  bool made = false;
  if (!w.file_.IsOpen() && !OpenPartialFile(w, ext, &made)) return false;
  // A file just made has nothing to cut: under Windows and Wine a cut is
  // one more call into the system for every picture.
  bool empty = made && item.done == 0;
  if (!empty && (!w.file_.Seek(item.done) || !w.file_.Truncate())) {
    WriteFailed(w);
    return false;
  }
  w.responseStart_ = item.done;
  uint32_t bodyBytes = static_cast<uint32_t>(blockEnd - body);
  return bodyBytes == 0 || AppendBody(w, body, bodyBytes);
}

namespace {

// How many of n body bytes that arrived the item takes: never more than
// announced (the announced bytes are the picture and the excess is left
// out). A body without length that passes what any item may have is tried
// again.
uint32_t TakenBodyBytes(Worker& w, uint32_t n) {
  if (w.task_.taskSet != nullptr) w.task_.taskSet->receivedBytes += n;
  w.viewDone_ += n;
  UrlItem& item = *w.item_;
  uint32_t limit = item.size != 0 ? item.size : BodyLimit(w);
  uint64_t have = uint64_t{item.done} + w.buffered_;
  uint32_t room = have < limit ? static_cast<uint32_t>(limit - have) : 0;
  if (n <= room) return n;
  if (item.size == 0) w.overflowed_ = true;
  return room;
}

}  // namespace

uint32_t BodyRoom(Worker& w) {
  if (w.buffered_ < kWriteBufferBytes) return kWriteBufferBytes - w.buffered_;
  bool written = w.file_.Write(w.writeBuffer_.get(), kWriteBufferBytes);
  w.buffered_ = 0;
  if (!written) {
    WriteFailed(w);
    return 0;
  }
  w.ChangeItem([](UrlItem& i) { i.done += kWriteBufferBytes; });
  w.task_.changes.fetch_add(1);
  return kWriteBufferBytes;
}

bool AppendBody(Worker& w, const char* bytes, uint32_t n) {
  n = TakenBodyBytes(w, n);
  while (n > 0) {
    uint32_t room = BodyRoom(w);
    if (room == 0) return false;
    uint32_t part = n < room ? n : room;
    std::memcpy(w.writeBuffer_.get() + w.buffered_, bytes, part);
    w.buffered_ += part;
    bytes += part;
    n -= part;
  }
  return true;
}

void KeepReceivedBody(Worker& w, uint32_t n) {
  w.buffered_ += TakenBodyBytes(w, n);
}

void ProcessPage(Worker& w) {
  UrlItem& item = *w.item_;
  uint32_t length = item.done;
  platform::Mapping mapping;
  char* text = w.writeBuffer_.get();
  // The buffer holds the whole page only when this response carried all of
  // it and nothing was written out before the finishing step.
  if (w.responseStart_ != 0 || length > kWriteBufferBytes) {
    mapping = platform::Mapping::MapReadWrite(w.file_, uint64_t{length} + 1);
    if (!mapping.IsValid() || mapping.Size() < uint64_t{length} + 1) return;
    text = mapping.Data();
  }
  text[length] = '\0';
  char* end = text + length;
  // Custom pages reach their parser without tabs and line breaks, so tags
  // broken over lines still match.
  if (w.task_.info.sourceId > 160) end = RemoveTabsAndLineBreaks(text, end);
  PageContext ctx{text,
                  end,
                  &item,
                  w.kind_,
                  {&w.task_.queues[0], &w.task_.queues[1], &w.task_.queues[2]},
                  &w.task_.info};
  DispatchPage(ctx);
}

ResumeCheck CheckPartialFile(Worker& w) {
  if (w.item_->fileName[0] == '\0') return ResumeCheck::kNothingToResume;
  std::string partial = IsPlainFileName(w.item_->fileName) ? PartialPath(w) : "";
  if (!partial.empty() && platform::FileExists(partial)) {
    return ResumeCheck::kNothingToResume;
  }
  if (w.kind_ == kPic && !partial.empty() &&
      platform::FileExists(partial.substr(0, partial.size() - 2))) {
    return ResumeCheck::kSaved;
  }
  w.ChangeItem([](UrlItem& i) {
    i.fileName[0] = '\0';
    i.done = i.size = 0;
  });
  return ResumeCheck::kStartedOver;
}

void RenamePicture(Worker& w) {
  if (!IsPlainFileName(w.item_->fileName)) return;
  std::string partial = PartialPath(w);
  platform::RenameNoOverwrite(partial, partial.substr(0, partial.size() - 2));
}

void DeletePartial(Worker& w) {
  if (!IsPlainFileName(w.item_->fileName)) return;
  platform::DeleteFile(PartialPath(w));
}

}  // namespace harvio
