#include "app/shell_texts.h"

#include <gtest/gtest.h>

#include <vector>

namespace harvio {
namespace {

TEST(Countdown, ShowsThirtyDownToOneThenEnds) {
  uint32_t remaining = kCountdownStart;
  std::vector<uint32_t> shown;
  while (!CountdownStep(&remaining)) {
    ASSERT_LT(shown.size(), 40u);
    shown.push_back(remaining);
  }
  ASSERT_EQ(30u, shown.size());
  EXPECT_EQ(30u, shown.front());
  EXPECT_EQ(1u, shown.back());
  // A step after the end never wraps around to a long wait.
  EXPECT_TRUE(CountdownStep(&remaining));
  EXPECT_EQ(0u, remaining);
  // 所有任务已完成，系统将在 30 秒后自动关闭。
  EXPECT_EQ(
      "\xcb\xf9\xd3\xd0\xc8\xce\xce\xf1\xd2\xd1\xcd\xea\xb3\xc9\xa3\xac\xcf\xb5\xcd\xb3"
      "\xbd\xab\xd4\xda 30 \xc3\xeb\xba\xf3\xd7\xd4\xb6\xaf\xb9\xd8\xb1\xd5\xa1\xa3",
      CountdownText(30));
}

}  // namespace
}  // namespace harvio
