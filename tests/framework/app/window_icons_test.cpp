#include <gtest/gtest.h>

#include "framework/app/window_icons.h"
#include "framework/core/resource_table.h"

namespace {

TEST(Resources, WindowIconsThatDoNotDecodeOrHaveTheWrongSideAreLeftOutWithAMessage) {
  static const unsigned char junk[] = {0x89, 'P', 'N', 'G'};
  const loom::app::EmbeddedResource* icon32 = loom::app::findResource(loom::app::embeddedResources(), 32, "ICON");
  ASSERT_NE(icon32, nullptr);
  const loom::app::EmbeddedResource entries[] = {{16, "ICON", junk, sizeof junk}, {48, "ICON", icon32->data, icon32->size}};
  testing::internal::CaptureStderr();
  EXPECT_TRUE(loom::app::loadWindowIcons({entries, 2}).empty());
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("window icon #16 ICON left out"), std::string::npos) << said;
  EXPECT_NE(said.find("window icon #48 ICON left out: is 32 x 32 px, not 48 x 48"), std::string::npos) << said;
}

}  // namespace
