#include <gtest/gtest.h>

#include "framework/exceptions.h"
#include "framework/resource_table.h"
#include "framework/resources.h"
#include "framework/window_icons.h"

namespace {

TEST(Resources, LookupMatchesNumberAndType) {
  static const unsigned char a[] = {1, 2, 3};
  static const unsigned char b[] = {4};
  const loom::app::EmbeddedResource entries[] = {{127, "DATA", a, 3}, {128, "PNG", b, 1}};
  loom::app::ResourceTable table{entries, 2};
  EXPECT_EQ(loom::app::findResource(table, 127, "DATA"), &entries[0]);
  EXPECT_EQ(loom::app::findResource(table, 128, "PNG"), &entries[1]);
  EXPECT_EQ(loom::app::findResource(table, 128, "DATA"), nullptr);
  EXPECT_EQ(loom::app::findResource(table, 127, "data"), nullptr);
  EXPECT_EQ(loom::app::findResource(table, 1, "DATA"), nullptr);
}

TEST(Resources, MissingResourceRaisesWithExactMessage) {
  try {
    loom::app::loadResource(4242, "DATA");
    FAIL() << "expected ResourceLoadExc";
  } catch (const loom::app::ResourceLoadExc& e) {
    EXPECT_STREQ(e.what(), "Failed to load resource: #4242 type: DATA");
  }
}

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
