#include "tests/boards/board_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/codepage.h"

namespace harvio::test {

std::string ReadBoardFile(const std::string& name) {
  std::ifstream in(std::string(HARVIO_BOARD_DATA) + "/" + name,
                   std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

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

BoardRun::BoardRun(uint32_t sourceId) : run(sourceId) {
  run.info.jpgSmall = 0;
  run.info.gif = 0;
}

std::vector<Admission> BoardRun::Parse(ItemKind kind, const std::string& url,
                                       const std::string& page,
                                       const std::string& title) {
  return run.Run(kind, Gbk(url).c_str(), Gbk(page), Gbk(title).c_str());
}

std::string BoardRun::Lines(ItemKind kind, const std::string& url,
                            const std::string& page, const std::string& title) {
  std::vector<Admission> calls = Parse(kind, url, page, title);
  ExpectQueuesHoldAdmitted(calls);
  return Utf8(AdmissionLines(calls));
}

void BoardRun::ExpectQueuesHoldAdmitted(const std::vector<Admission>& calls) {
  uint32_t admitted[3] = {0, 0, 0};
  for (const Admission& a : calls) {
    if (a.result == AddResult::kAdmitted) ++admitted[a.queue];
  }
  for (uint32_t q = kWeb2; q <= kPic; ++q) {
    EXPECT_EQ(run.queues[q].Count(), admitted[q]) << "queue " << q;
  }
}

}  // namespace harvio::test
