#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "framework/core/key_codes.h"
#include "framework/platform/glfw/glfw_keys.h"

namespace {

int codeOf(int glfwKey) {
  return loom::app::keyCodeForVirtualKey(loom::app::glfw::virtualKeyForGlfwKey(glfwKey));
}

TEST(KeyCodes, KeysTheProgramAndItsUsersMeetAndNothingOutsideTheTable) {
  EXPECT_EQ(codeOf(GLFW_KEY_ENTER), 13);
  EXPECT_EQ(codeOf(GLFW_KEY_KP_ENTER), 13);
  EXPECT_EQ(codeOf(GLFW_KEY_A), 'a');
  EXPECT_EQ(codeOf(GLFW_KEY_KP_7), 263);
  EXPECT_EQ(codeOf(GLFW_KEY_LEFT_SHIFT), 304);
  EXPECT_EQ(codeOf(GLFW_KEY_RIGHT_SHIFT), 303);
  EXPECT_EQ(codeOf(GLFW_KEY_UNKNOWN), 0);
  for (int outside : {-1, 255, 256}) EXPECT_EQ(loom::app::keyCodeForVirtualKey(outside), 0) << outside;
}

TEST(KeyCodes, MouseButtonsAsTheFrameworkNumbersThem) {
  using loom::app::glfw::frameworkButtonForGlfwButton;
  EXPECT_EQ(frameworkButtonForGlfwButton(GLFW_MOUSE_BUTTON_LEFT), 1);
  EXPECT_EQ(frameworkButtonForGlfwButton(GLFW_MOUSE_BUTTON_RIGHT), 2);
  EXPECT_EQ(frameworkButtonForGlfwButton(GLFW_MOUSE_BUTTON_MIDDLE), 4);
  EXPECT_EQ(frameworkButtonForGlfwButton(GLFW_MOUSE_BUTTON_4), 0);
}

}  // namespace
