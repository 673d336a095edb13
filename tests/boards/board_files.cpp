#include "tests/boards/board_files.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "tests/sources/page_run.h"

namespace harvio::test {

std::string Gbk(const std::string& utf8) {
  std::string out;
  EXPECT_TRUE(platform::Utf8ToGbk(utf8, &out)) << utf8;
  return out;
}

std::string Utf8(const std::string& gbk) {
  std::string out;
  EXPECT_TRUE(platform::GbkToUtf8(gbk, &out));
  return out;
}

std::string BoardLines(uint32_t sourceId, ItemKind kind, const std::string& url,
                       const std::string& page, const std::string& title) {
  PageRun run(sourceId);
  return Utf8(AdmissionLines(
      run.Run(kind, Gbk(url).c_str(), Gbk(page), Gbk(title).c_str())));
}

}  // namespace harvio::test
