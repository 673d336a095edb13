#include "platform/guid.h"

#include <gtest/gtest.h>

#include <set>

namespace harvio::platform {
namespace {

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

TEST(Guid, RegistryFormUpperCase) {
  std::string g = NewGuidText();
  ASSERT_EQ(g.size(), 38u);
  EXPECT_EQ(g.front(), '{');
  EXPECT_EQ(g.back(), '}');
  for (size_t i = 1; i < 37; ++i) {
    if (i == 9 || i == 14 || i == 19 || i == 24) {
      EXPECT_EQ(g[i], '-') << g;
    } else {
      EXPECT_TRUE(IsUpperHex(g[i])) << g;
    }
  }
  EXPECT_EQ(g[15], '4') << g;  // random GUIDs carry version 4
}

TEST(Guid, FreshEveryTime) {
  std::set<std::string> seen;
  for (int i = 0; i < 2000; ++i) seen.insert(NewGuidText());
  EXPECT_EQ(seen.size(), 2000u);
}

}  // namespace
}  // namespace harvio::platform
