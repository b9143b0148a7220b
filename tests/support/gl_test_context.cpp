#include "support/gl_test_context.h"

#include <epoxy/gl.h>

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

int texturesAliveSince(unsigned int& mark) {
  GLuint next = 0;
  glGenTextures(1, &next);
  int alive = 0;
  for (GLuint name = mark + 1; name < next; ++name) alive += glIsTexture(name) ? 1 : 0;
  mark = next;
  return alive;
}

}  // namespace strophe_test
