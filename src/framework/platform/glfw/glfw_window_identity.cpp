#include "framework/platform/glfw/glfw_window_identity.h"

namespace loom::app::glfw {

void hintWindowClass(const std::string& className) {
  if (className.empty()) return;
  glfwWindowHintString(GLFW_X11_CLASS_NAME, className.c_str());
  glfwWindowHintString(GLFW_X11_INSTANCE_NAME, className.c_str());
}

void setWindowIcons(GLFWwindow* window, const std::vector<platform::WindowIcon>& icons) {
  std::vector<GLFWimage> images;
  for (const platform::WindowIcon& icon : icons) {
    if (icon.width <= 0 || icon.height <= 0 ||
        icon.rgba.size() != static_cast<std::size_t>(icon.width) * static_cast<std::size_t>(icon.height) * 4)
      continue;
    // GLFW only reads the pixels, and copies them before returning.
    images.push_back({icon.width, icon.height, const_cast<unsigned char*>(icon.rgba.data())});
  }
  if (!images.empty()) glfwSetWindowIcon(window, static_cast<int>(images.size()), images.data());
}

}  // namespace loom::app::glfw
