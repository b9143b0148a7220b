// The program: text strings sliding along a path, played with the mouse.
// This class owns the whole scene for the life of the process and fills the
// framework's hooks: set-up, one simulation step per update, drawing, input
// and the voices the audio thread sings.
#pragma once

#include <boost/signals2/connection.hpp>

#include <memory>
#include <string>
#include <vector>

#include "app/acceleration_delegate.h"
#include "app/scene_settings.h"
#include "app/scene_snapshot.h"
#include "app/voice_bank.h"
#include "audio/audio_loop_delegate.h"
#include "audio/audio_loop_impl_msw.h"
#include "fingers/id_counters.h"
#include "framework/app/app.h"
#include "framework/core/vector.h"
#include "paths/path_sketch.h"
#include "resources/texture.h"
#include "resources/texture_manager.h"
#include "strings/string_set.h"
#include "text/font_manager.h"

class Application : public loom::app::AppBasic,
                    public inkvane::AudioLoopDelegate,
                    public inkvane::AccelerationDelegate {
 public:
  enum Mode { SKETCHING = 1, PLAYING = 2 };

  static constexpr const char* kTitle = "strophe | " STROPHE_DOMAIN;

  Application();
  ~Application() override;

  void prepareSettings(loom::app::Settings* settings) override;
  void setup() override;
  void resize() override;
  void update() override;
  void draw() override;
  bool pictureChanged() override;
  void shutdown() override;

  void mouseDown(loom::app::MouseEvent event) override;
  void mouseUp(loom::app::MouseEvent event) override;
  void mouseDrag(loom::app::MouseEvent event) override;
  void touchesBegan(loom::app::TouchEvent event) override;
  void touchesMoved(loom::app::TouchEvent event) override;
  void touchesEnded(loom::app::TouchEvent event) override;
  void keyDown(loom::app::KeyEvent event) override;

  // The window's accelerometer readings reach the scene's delegate hook.
  void accelerated(loom::app::AccelerationEvent event) override;
  void accelerated(const inkvane::AccelEvent& event) override;

  // Called on the audio thread for every buffer.
  int renderAudio(std::uint32_t frameCount, float* buffer, double streamTime) override;
  // Called on the audio thread when a stream (the first, or one reopened after
  // a loss) starts.
  void streamStarts() override;

  // Empties the scene and waits for a new path to be drawn.
  void resetScene();
  // Builds a playing set with the text on `path` and appends it.
  void createStringSet(const inkvane::FollowablePathRef& path);
  // Turns the finished stroke into a set, or discards a stroke too short for one.
  void finishSketch();
  // Derives up to 32 voices from the strings, in set order then string order.
  void computeVoices();

  // State, read by tests.
  const SceneSettings& getSceneSettings() const { return scene; }
  int getMode() const { return mode; }
  bool isResetRequested() const { return resetRequested; }
  loom::Vector2 getCanvasOffset() const { return canvasOffset; }
  loom::Vector2 getCanvasSize() const { return canvasSize; }
  loom::Vector2 getGravity() const { return gravity; }
  int getPressedCount() const { return pressedCount; }
  const inkvane::IdCounters& getIdCounters() const { return idCounters; }
  const std::vector<std::shared_ptr<inkvane::StringSet>>& getStringSets() const { return stringSets; }
  const inkvane::PathSketch& getSketch() const { return sketch; }
  float getGap() const { return gap; }
  inkvane::XFont* getFont() const { return font; }
  const inkvane::TextureRef& getLineTexture() const { return lineTexture; }
  const inkvane::TextureRef& getDotTexture() const { return dotTexture; }
  const VoiceBank& getVoices() const { return voices; }

 protected:
  // Before everything built from it.
  const SceneSettings scene{};

  // Shell.
  loom::Vector2 canvasOffset;
  loom::Vector2 canvasSize;
  loom::Vector2 gravity;
  bool resetRequested = false;
  int mode = 0;
  int pressedCount = 0;
  inkvane::IdCounters idCounters{0, 0};  // [0] next finger id, [1] next string id
  float contentScale = 1.0f;  // pixels per point at set-up; the sprites chosen then stay
  // The scene as last drawn, and as it is now (kept to reuse its storage).
  SceneSnapshot drawnScene, currentScene;
  std::uint64_t sketchEdits = 0;
  // Where the strings and end stops are, and where they are drawn (see followPlaces).
  std::vector<float> actualPlaces, shownPlaces;

  // Scene.
  inkvane::TextureManager textureManager;
  inkvane::FontManager fontManager;
  inkvane::XFont* font = nullptr;
  float gap = 0.0f;
  // Laid on every path: the text the program was given (--text), or the built-in one.
  std::vector<std::u16string> textLines;
  std::vector<std::shared_ptr<inkvane::StringSet>> stringSets;
  inkvane::PathSketch sketch{scene.sketchStep, scene.ribbonHalfWidth, scene.ribbonTextureScale, scene.smoothingTolerance};
  inkvane::TextureRef lineTexture;
  inkvane::TextureRef dotTexture;
  // Textures and the font go when the window closes, while its context is
  // still there to delete them in.
  boost::signals2::scoped_connection releaseGlOnClose;

  // Sound. The loop is declared after the voices so it stops before they go.
  VoiceBank voices;
  inkvane::AudioLoopImplMsw audioLoop;
  bool soundStartPending = false;

 private:
  // Scene steps.
  void loadResources();
  void releaseGlObjects();
  void chooseTextLines();
  void createFirstSet();
  void simulate();
  void drawSets();
  void drawSketch();
  void drawRibbon(const inkvane::Ribbon& ribbon);
  void drawStops(const inkvane::StringSet& set, const float* endPlaces);
  void drawText(const inkvane::StringSet& set, const float* stringPlaces);
  void clearScene();
  void takeSceneSnapshot(SceneSnapshot& into);
  void followShownPlaces();
  // Shown places that match the sets, even before their first step.
  const std::vector<float>& placesToDraw();

  // Input routing.
  void pointerMoved(float x, float y, int pointerId);
  void pointerReleased(int pointerId);
};
