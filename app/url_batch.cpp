#include "app/url_batch.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/gbk_text.h"
#include "core/string_table.h"
#include "app/string_routines.h"
#include "sources/text_helpers.h"

namespace harvio {
namespace {

constexpr char kSeriesMark[] = "(*)";
constexpr size_t kEntryMax = 1024;
constexpr uint32_t kUrlInvalid = 1468;  // "URL 无效，请重新输入。"
constexpr uint32_t kTooManyUrls = 1469;  // "最多只能添加 * 个 URL。"

// Prefix and suffix around the first "(*)".
struct Series {
  std::string prefix;
  std::string suffix;
  uint32_t width;  // 0: no leading zeros
};

std::string SeriesUrl(const Series& s, uint32_t number) {
  char digits[16];
  std::snprintf(digits, sizeof(digits), "%0*u", static_cast<int>(s.width),
                number);
  return s.prefix + digits + s.suffix;
}

Series SplitSeries(const std::string& url, const UrlBatch& batch) {
  size_t mark = url.find(kSeriesMark);
  uint32_t width = std::max(CountDigits(batch.from), CountDigits(batch.to));
  return {url.substr(0, mark), url.substr(mark + 3),
          batch.fixedWidth ? width : 0};
}

// The dialog's spin controls stop at 9999; other callers are held to it.
UrlBatch Clamped(const UrlBatch& batch) {
  constexpr uint32_t kMaxBound = 9999;
  UrlBatch b = batch;
  b.from = std::min(b.from, kMaxBound);
  b.to = std::min(b.to, kMaxBound);
  return b;
}

std::string TooMany() { return StringWithNumber(kTooManyUrls, kMaxListUrls); }

}  // namespace

std::string NormalizeUrlEntry(const std::string& entry) {
  char text[kWorkBuffer];
  CopyBounded(text, kEntryMax + 1, entry.c_str());
  TrimSpaces(text);
  RemoveChars(text, " \t");
  return text;
}

std::string BatchPreview(const UrlBatch& typed) {
  UrlBatch batch = Clamped(typed);
  std::string url = NormalizeUrlEntry(batch.entry);
  if (!IsValidUrl(url.c_str())) return std::string();
  if (url.find(kSeriesMark) == std::string::npos) return url;
  Series s = SplitSeries(url, batch);
  return SeriesUrl(s, batch.from) + "\r\n...\r\n" + SeriesUrl(s, batch.to);
}

std::string AddUrlBatch(UrlQueue& list, const UrlBatch& typed) {
  UrlBatch batch = Clamped(typed);
  std::string url = NormalizeUrlEntry(batch.entry);
  if (!IsValidUrl(url.c_str())) return StringText(kUrlInvalid);
  uint64_t room = kMaxListUrls - std::min(list.Count(), kMaxListUrls);
  if (url.find(kSeriesMark) == std::string::npos) {
    if (room == 0) return TooMany();
    list.AddUrl(url.c_str(), "", "", true);
    return std::string();
  }
  uint32_t low = std::min(batch.from, batch.to);
  uint32_t high = std::max(batch.from, batch.to);
  if (uint64_t{high} - low + 1 > room) return TooMany();
  Series s = SplitSeries(url, batch);
  for (uint32_t n = low; n <= high; ++n) {
    list.AddUrl(SeriesUrl(s, n).c_str(), "", "", true);
  }
  return std::string();
}

}  // namespace harvio
