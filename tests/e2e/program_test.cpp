// The real strophe binary on the X server, driven and judged as a person would.
#include <gtest/gtest.h>

#include "e2e/x11_driver.h"

namespace {

using strophe_e2e::ProgramUnderTest;

TEST(Program, ShowsAWhiteCanvasAndExitsCleanlyWhenClosed) {
  ProgramUnderTest program(STROPHE_BINARY);
  ASSERT_TRUE(program.waitForWindow("strophe | "));
  int w = 0, h = 0;
  program.windowGeometry(&w, &h);
  EXPECT_EQ(w, 512);
  EXPECT_EQ(h, 512);
  strophe_e2e::sleepSeconds(0.5);
  auto image = program.capture();
  ASSERT_EQ(image.width, 512);
  const std::uint8_t* corner = image.at(2, 2);
  EXPECT_GT(corner[0], 240);
  EXPECT_GT(corner[1], 240);
  EXPECT_GT(corner[2], 240);
  program.requestClose();
  EXPECT_EQ(program.waitExit(10.0), 0);
}

}  // namespace
