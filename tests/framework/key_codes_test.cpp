#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "framework/glfw/glfw_keys.h"
#include "framework/key_codes.h"

namespace {

int codeOf(int glfwKey) {
  return loom::app::keyCodeForVirtualKey(loom::app::glfw::virtualKeyForGlfwKey(glfwKey));
}

TEST(KeyCodes, KeysTheProgramAndItsUsersMeet) {
  EXPECT_EQ(codeOf(GLFW_KEY_ENTER), 13);
  EXPECT_EQ(codeOf(GLFW_KEY_KP_ENTER), 13);
  EXPECT_EQ(codeOf(GLFW_KEY_A), 'a');
  EXPECT_EQ(codeOf(GLFW_KEY_Z), 'z');
  EXPECT_EQ(codeOf(GLFW_KEY_KP_7), 263);
  EXPECT_EQ(codeOf(GLFW_KEY_LEFT_SHIFT), 304);
  EXPECT_EQ(codeOf(GLFW_KEY_RIGHT_SHIFT), 303);
  EXPECT_EQ(codeOf(GLFW_KEY_F15), 296);
  EXPECT_EQ(codeOf(GLFW_KEY_DELETE), 127);
}

TEST(KeyCodes, OutsideTheTableIsZero) {
  EXPECT_EQ(loom::app::keyCodeForVirtualKey(256), 0);
  EXPECT_EQ(loom::app::keyCodeForVirtualKey(-1), 0);
  EXPECT_EQ(loom::app::keyCodeForVirtualKey(255), 0);
  EXPECT_EQ(codeOf(GLFW_KEY_UNKNOWN), 0);
}

}  // namespace
