// The one HTTP/1.0 request a worker sends for its item: a GET for every
// item, or a form POST for the list pages of the 西陆 boards, whose paths
// carry the form value after a "*". Always "Connection: close", so the end
// of a response without a length is the end of the connection.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/task_info.h"

namespace harvio {

// Writes the request for `item` into `out` (no terminating NUL is needed by
// the sender, but one is written) and returns its length; 0 when it would
// not fit in `capacity` bytes, which a record's bounded fields never cause
// with the worker's 8193-byte buffer.
uint32_t ComposeRequest(const UrlItem& item, ItemKind kind, uint32_t sourceId,
                        char* out, size_t capacity);

}  // namespace harvio
