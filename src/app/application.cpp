#include "app/application.h"

#include <epoxy/gl.h>

#include "app/canvas.h"
#include "framework/gl_matrices.h"
#include "framework/key_codes.h"
#include "framework/window.h"

Application::Application() : idCounters(new int[2]{0, 0}) {}

Application::~Application() = default;

void Application::prepareSettings(loom::app::Settings* settings) {
  settings->setWindowSize(kCanvasSize, kCanvasSize);
  settings->setHighDensityDisplayEnabled(true);
}

void Application::setup() {
  getWindow()->setTitle(kTitle);
  contentScale = getWindow()->getContentScale();
  canvasSize = loom::Vector2(kCanvasSize, kCanvasSize);
  mode = PLAYING;
  gravity = loom::Vector2(0, 0);
  resetRequested = false;

  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
}

void Application::resize() {
  loom::gl::setMatricesWindow(getWindow()->getWidth(), getWindow()->getHeight(), true);
}

void Application::update() {
  if (mode != PLAYING) return;
  if (resetRequested) {
    resetRequested = false;
    resetScene();
    return;
  }
}

void Application::draw() {
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  auto window = getWindow();
  canvasOffset = canvasOffsetFor(window->getWidth(), window->getHeight(), canvasSize);
  loom::gl::translate(canvasOffset);
}

void Application::shutdown() {}

void Application::resetScene() {
  auto window = getWindow();
  if (window) canvasSize = loom::Vector2(static_cast<float>(window->getWidth()), static_cast<float>(window->getHeight()));
  mode = SKETCHING;
}

void Application::accelerated(const inkvane::AccelEvent& event) {
  gravity = loom::Vector2(event.data.x, -event.data.y);
  resetRequested = isShake(event.data, event.prevData);
}

void Application::mouseDown(loom::app::MouseEvent event) {
  pointerMoved(static_cast<float>(event.getX()), static_cast<float>(event.getY()), 0);
  pressedCount += 1;
}

void Application::mouseDrag(loom::app::MouseEvent event) {
  pointerMoved(static_cast<float>(event.getX()), static_cast<float>(event.getY()), 0);
}

void Application::mouseUp(loom::app::MouseEvent) { pointerReleased(0); }

void Application::touchesBegan(loom::app::TouchEvent event) {
  for (const auto& touch : event.getTouches()) {
    pointerMoved(touch.getX(), touch.getY(), static_cast<int>(touch.getId()) - 1);
    pressedCount += 1;
  }
}

void Application::touchesMoved(loom::app::TouchEvent event) {
  for (const auto& touch : event.getTouches())
    pointerMoved(touch.getX(), touch.getY(), static_cast<int>(touch.getId()) - 1);
}

void Application::touchesEnded(loom::app::TouchEvent event) {
  for (const auto& touch : event.getTouches()) pointerReleased(static_cast<int>(touch.getId()) - 1);
}

void Application::keyDown(loom::app::KeyEvent event) {
  if (event.getCode() == loom::app::key::RETURN) resetRequested = true;
}

void Application::pointerMoved(float, float, int) {}

void Application::pointerReleased(int) {
  pressedCount -= 1;
  if (pressedCount == 0) idCounters[0] = 0;
}
