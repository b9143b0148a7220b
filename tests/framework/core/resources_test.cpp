#include <gtest/gtest.h>

#include "framework/core/exceptions.h"
#include "framework/core/resource_table.h"
#include "framework/core/resources.h"

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

}  // namespace
