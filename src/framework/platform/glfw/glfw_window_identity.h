// How a window presents itself to the window manager: its X11 class, which
// desktop entries match (StartupWMClass), and its icons.
#pragma once

#include <GLFW/glfw3.h>

#include <string>
#include <vector>

#include "framework/platform/platform.h"

namespace loom::app::glfw {

// Sets the creation hints for WM_CLASS; call between glfwDefaultWindowHints
// and glfwCreateWindow. An empty name keeps the library's default.
void hintWindowClass(const std::string& className);

// Hands every icon to the window; icons whose pixel count does not match
// their size are skipped rather than read past their end.
void setWindowIcons(GLFWwindow* window, const std::vector<platform::WindowIcon>& icons);

}  // namespace loom::app::glfw
