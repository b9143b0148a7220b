#include "support/gl_test_context.h"

#include <GLFW/glfw3.h>

#include <stdexcept>

namespace strophe_test {

struct GlTestContext::Impl {
  GLFWwindow* window = nullptr;
};

GlTestContext::GlTestContext(int width, int height)
    : impl_(std::make_unique<Impl>()), width_(width), height_(height) {
  if (!glfwInit()) throw std::runtime_error("GLFW could not initialise (is there a display?)");
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  glfwWindowHint(GLFW_DEPTH_BITS, 16);
  glfwWindowHint(GLFW_STENCIL_BITS, 8);
  glfwWindowHint(GLFW_SAMPLES, 0);
  impl_->window = glfwCreateWindow(width, height, "", nullptr, nullptr);
  if (!impl_->window) throw std::runtime_error("no OpenGL context could be created");
  glfwMakeContextCurrent(impl_->window);
}

GlTestContext::~GlTestContext() {
  glfwMakeContextCurrent(nullptr);
  glfwDestroyWindow(impl_->window);
}

void GlTestContext::makeCurrent() { glfwMakeContextCurrent(impl_->window); }

}  // namespace strophe_test
