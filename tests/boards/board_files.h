// Sample board pages and their expected admissions, kept readable as UTF-8
// files and turned into the sites' GBK bytes when a test reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/task_info.h"
#include "tests/sources/page_run.h"

namespace harvio::test {

// The whole file under tests/data/boards, as stored.
std::string ReadBoardFile(const std::string& name);
std::string Gbk(const std::string& utf8);
std::string Utf8(const std::string& gbk);

// A parse as a forum task does it: JPEG pictures wanted, GIF not.
struct BoardRun {
  explicit BoardRun(uint32_t sourceId);
  // `url`, `page` and `title` are UTF-8.
  std::vector<Admission> Parse(ItemKind kind, const std::string& url,
                               const std::string& page,
                               const std::string& title = "");
  // The recorded admissions as UTF-8 lines of the .expected files.
  std::string Lines(ItemKind kind, const std::string& url,
                    const std::string& page, const std::string& title = "");
  // Entries each real queue holds, against the admissions reported.
  void ExpectQueuesHoldAdmitted(const std::vector<Admission>& calls);

  PageRun run;
};

}  // namespace harvio::test
