// What the core and app tests share: readable UTF-8 turned into the
// program's GBK bytes, a fresh home folder (holding Task\) and a task's
// fields.
#pragma once

#include <cstdint>
#include <string>

#include "core/gbk_text.h"
#include "core/task_info.h"
#include "platform/codepage.h"
#include "tests/platform/temp_dir.h"

namespace harvio::testing {

inline std::string Gbk(const std::string& utf8) {
  std::string gbk;
  platform::Utf8ToGbk(utf8, &gbk);
  return gbk;
}

using TempHome = platform::TempDir;

// The fields a test names; the rest zero, as a new task's.
inline TaskInfo InfoOf(uint32_t sourceId, const char* keyword = "",
                       const char* savePath = "Z:\\pics\\", uint32_t threads = 15) {
  TaskInfo info{};
  info.sourceId = sourceId;
  info.threadCount = threads;
  CopyBounded(info.keyword, sizeof(info.keyword), keyword);
  CopyBounded(info.savePath, sizeof(info.savePath), savePath);
  return info;
}

}  // namespace harvio::testing
