// Board pages are kept readable as UTF-8 (the sample files under
// tests/data/boards and the pages the tests build) and turned into the
// sites' GBK bytes for parsing.
#pragma once

#include <cstdint>
#include <string>

#include "core/task_info.h"

namespace harvio::test {

std::string Gbk(const std::string& utf8);
std::string Utf8(const std::string& gbk);

// The admissions a new task of `sourceId` makes from `page`, fetched from
// `url` as an item of `kind` with `title`: all UTF-8, one harvio-cli parse
// line each.
std::string BoardLines(uint32_t sourceId, ItemKind kind, const std::string& url,
                       const std::string& page, const std::string& title = "");

}  // namespace harvio::test
