// The program: text strings sliding along a path, played with the mouse.
// This class owns the whole scene for the life of the process and fills the
// framework's hooks: set-up, one simulation step per update, drawing, input.
#pragma once

#include <memory>

#include "app/acceleration_delegate.h"
#include "framework/app.h"
#include "framework/vector.h"

class Application : public loom::app::AppBasic, public inkvane::AccelerationDelegate {
 public:
  enum Mode { SKETCHING = 1, PLAYING = 2 };

  static constexpr const char* kTitle = "strophe | strophe.example.org";
  static constexpr int kCanvasSize = 512;  // pixels

  Application();
  ~Application() override;

  void prepareSettings(loom::app::Settings* settings) override;
  void setup() override;
  void resize() override;
  void update() override;
  void draw() override;
  void shutdown() override;

  void mouseDown(loom::app::MouseEvent event) override;
  void mouseUp(loom::app::MouseEvent event) override;
  void mouseDrag(loom::app::MouseEvent event) override;
  void touchesBegan(loom::app::TouchEvent event) override;
  void touchesMoved(loom::app::TouchEvent event) override;
  void touchesEnded(loom::app::TouchEvent event) override;
  void keyDown(loom::app::KeyEvent event) override;

  void accelerated(const inkvane::AccelEvent& event) override;

  // Empties the scene and waits for a new path to be drawn.
  void resetScene();

  // State, read by tests and by the scene.
  int getMode() const { return mode; }
  bool isResetRequested() const { return resetRequested; }
  loom::Vector2 getCanvasOffset() const { return canvasOffset; }
  loom::Vector2 getCanvasSize() const { return canvasSize; }
  loom::Vector2 getGravity() const { return gravity; }
  int getPressedCount() const { return pressedCount; }
  const int* getIdCounters() const { return idCounters.get(); }

 protected:
  loom::Vector2 canvasOffset;
  loom::Vector2 canvasSize;
  loom::Vector2 gravity;
  bool resetRequested = false;
  int mode = 0;
  int pressedCount = 0;
  std::unique_ptr<int[]> idCounters;  // [0] next finger id, [1] next string id
  float contentScale = 1.0f;

 private:
  void pointerMoved(float x, float y, int pointerId);
  void pointerReleased(int pointerId);
};
