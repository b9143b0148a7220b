// The application shell: settings, set-up order, the two modes and the reset.
#include "app/application.h"

#include <epoxy/gl.h>

#include "app/canvas.h"
#include "framework/app/window.h"
#include "framework/gl/gl_matrices.h"

Application::Application() = default;

Application::~Application() { audioLoop.stop(); }

void Application::prepareSettings(loom::app::Settings* settings) {
  settings->setWindowSize(scene.canvasSize, scene.canvasSize);
  settings->setHighDensityDisplayEnabled(true);
  settings->windowClass = "strophe";  // the desktop entry's StartupWMClass
  settings->appId = "org.strophe.Strophe";
}

void Application::setup() {
  getWindow()->setTitle(kTitle);
  releaseGlOnClose = getWindow()->signalClose.connect([this] { releaseGlObjects(); });
  contentScale = getWindow()->getContentScale();
  loadResources();
  chooseTextLines();
  canvasSize = loom::Vector2(scene.canvasSize, scene.canvasSize);
  createFirstSet();
  mode = PLAYING;
  voices.mute();
  soundStartPending = true;  // served by the first update after the first frame
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
  // Opening the sound device probes every card: on two cores that slows the
  // first frame down, and nothing is heard before the strings move anyway.
  if (soundStartPending && getElapsedFrames() >= 1) {
    soundStartPending = false;
    audioLoop.start(this);
  }
  if (mode != PLAYING) {
    voices.mute();
    return;
  }
  if (resetRequested) {
    resetRequested = false;
    resetScene();
    return;
  }
  simulate();
  computeVoices();
}

void Application::draw() {
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  auto window = getWindow();
  canvasOffset = canvasOffsetFor(window->getWidth(), window->getHeight(), canvasSize);
  loom::gl::translate(canvasOffset);
  if (mode == PLAYING)
    drawSets();
  else if (mode == SKETCHING)
    drawSketch();
  takeSceneSnapshot(drawnScene);
}

bool Application::pictureChanged() {
  takeSceneSnapshot(currentScene);
  return looksDifferent(drawnScene, currentScene);
}

void Application::takeSceneSnapshot(SceneSnapshot& into) {
  auto window = getWindow();
  takeSnapshot(mode, window ? window->getWidth() : 0, window ? window->getHeight() : 0, canvasSize, sketchEdits,
               stringSets, placesToDraw(), into);
}

void Application::shutdown() { audioLoop.stop(); }

void Application::resetScene() {
  auto window = getWindow();
  if (window) canvasSize = loom::Vector2(static_cast<float>(window->getWidth()), static_cast<float>(window->getHeight()));
  clearScene();
  mode = SKETCHING;
}

void Application::accelerated(loom::app::AccelerationEvent event) {
  accelerated(inkvane::AccelEvent{event.getData(), event.getPrevData()});
}

void Application::accelerated(const inkvane::AccelEvent& event) {
  gravity = loom::Vector2(event.data.x, -event.data.y);
  // Readings come many times between two updates: a calm one must not take
  // back the reset that a shake, or Return, asked for.
  if (isShake(event.data, event.prevData)) resetRequested = true;
}
