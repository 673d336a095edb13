// What one entry of the Add-URL dialog adds to a custom source's URL list:
// a single URL, or a numbered series when the URL holds "(*)" (expanded
// from the smaller to the larger bound, optionally zero-padded to the
// width of the longer bound as entered). The list holds at most 256 URLs;
// an entry that would pass that is refused whole.
#pragma once

#include <cstdint>
#include <string>

#include "core/url_queue.h"

namespace harvio {

constexpr uint32_t kMaxListUrls = 256;

struct UrlBatch {
  std::string entry;  // as typed
  uint32_t from = 0;  // "从", 0..9999
  uint32_t to = 0;    // "到", 0..9999
  bool fixedWidth = false;
};

// Outer blanks trimmed, then every blank and tab removed.
std::string NormalizeUrlEntry(const std::string& entry);
// The dialog's preview: empty for an invalid entry; for a series the
// first URL (from "从") and the last (from "到"), one per line.
std::string BatchPreview(const UrlBatch& batch);
// Adds the entry's URLs to `list` (no title, no referer, duplicates
// dropped). Empty on success, else the message to show.
std::string AddUrlBatch(UrlQueue& list, const UrlBatch& batch);

}  // namespace harvio
