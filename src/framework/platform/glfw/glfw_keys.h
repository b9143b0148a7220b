// Names a GLFW key by the virtual-key number the framework's code table expects.
#pragma once

namespace loom::app::glfw {

// 0 for keys without a virtual-key number.
int virtualKeyForGlfwKey(int glfwKey);

}  // namespace loom::app::glfw
