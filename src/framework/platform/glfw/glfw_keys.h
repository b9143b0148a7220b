// Names GLFW's keys, mouse buttons and modifier bits as the framework does. Shared by every
// backend built on a GLFW: the desktop's and the page's.
#pragma once

namespace loom::app::glfw {

// 0 for keys without a virtual-key number.
int virtualKeyForGlfwKey(int glfwKey);

// The framework's number for a GLFW mouse button (left 1, right 2, middle 4),
// 0 for the others.
int frameworkButtonForGlfwButton(int glfwButton);

// The framework's SHIFT/ALT/CTRL/META bits for GLFW's modifier bits.
unsigned modifierBitsForGlfwMods(int mods);

}  // namespace loom::app::glfw
