// The floor the program is measured against: a bare window of the same size,
// with the same kind of GL context and the same frame pacing, that either
// clears to white and swaps every frame ("clear") or only waits ("wait").
// Usage: floor_window clear|wait
#include <epoxy/gl.h>
// After the loader, which must come before any GL header.
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstring>

#include "framework/core/frame_pacing.h"

int main(int argc, char** argv) {
  const bool clear = argc > 1 && std::strcmp(argv[1], "clear") == 0;
  if (argc != 2 || (!clear && std::strcmp(argv[1], "wait") != 0)) {
    std::fprintf(stderr, "usage: floor_window clear|wait\n");
    return 2;
  }
  if (!glfwInit()) {
    std::fprintf(stderr, "floor_window: cannot open the display\n");
    return 1;
  }
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  glfwWindowHint(GLFW_DEPTH_BITS, 16);
  glfwWindowHint(GLFW_STENCIL_BITS, 8);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_ANY_PROFILE);
  GLFWwindow* window = glfwCreateWindow(512, 512, clear ? "floor | clear" : "floor | wait", nullptr, nullptr);
  if (!window) {
    std::fprintf(stderr, "floor_window: cannot create the window\n");
    glfwTerminate();
    return 1;
  }
  if (const GLFWvidmode* mode = glfwGetVideoMode(glfwGetPrimaryMonitor()))
    glfwSetWindowPos(window, (mode->width - 512) / 2, (mode->height - 512) / 2);
  glfwMakeContextCurrent(window);
  glfwSwapInterval(0);
  glfwShowWindow(window);
  glfwFocusWindow(window);

  const double period = 1.0 / 60.0;
  double due = glfwGetTime();
  while (!glfwWindowShouldClose(window)) {
    if (clear) {
      glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
      glClear(GL_COLOR_BUFFER_BIT);
      glfwSwapBuffers(window);
    }
    const double now = glfwGetTime();
    due = loom::app::nextFrameTime(due, now, period);
    if (loom::app::frameWait(due, now, true) <= 0.0) {
      glfwPollEvents();
      continue;
    }
    for (double left = due - now; left > 0.0 && !glfwWindowShouldClose(window); left = due - glfwGetTime())
      glfwWaitEventsTimeout(left);
  }
  glfwDestroyWindow(window);
  glfwTerminate();
  return 0;
}
