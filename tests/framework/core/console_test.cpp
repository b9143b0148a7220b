#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/console.h"

TEST(Console, TextReachesTheSinkOnlyOnFlush) {
  std::vector<std::string> received;
  loom::setDebugSink([&](const std::string& text) { received.push_back(text); });
  loom::console() << "coins: " << 3;
  EXPECT_TRUE(received.empty());
  loom::console() << std::flush;
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0], "coins: 3");
  loom::console() << "line" << std::endl;
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[1], "line\n");
  loom::setDebugSink(nullptr);
  loom::console() << "dropped" << std::endl;
  EXPECT_EQ(received.size(), 2u);
}
