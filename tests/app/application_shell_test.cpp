// The application shell on a real window: settings, set-up, modes, reset and
// the white canvas.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include "app/application.h"
#include "app/canvas.h"
#include "framework/app/window.h"
#include "support/private_x_server.h"

namespace {

TEST(Canvas, OffsetCentresTheCanvasToHalfPixels) {
  loom::Vector2 canvas(512, 512);
  EXPECT_EQ(canvasOffsetFor(512, 512, canvas), loom::Vector2(0, 0));
  EXPECT_EQ(canvasOffsetFor(513, 513, canvas), loom::Vector2(0.5f, 0.5f));
  EXPECT_EQ(canvasOffsetFor(800, 600, canvas), loom::Vector2(144, 44));
}

class ShellApp : public Application {
 public:
  void setup() override {
    titleBeforeSetup = getWindow()->getTitle();
    Application::setup();
  }
  void resize() override {
    ++resizes;
    Application::resize();
  }
  void update() override {
    if (resizes == 0) updateBeforeResize = true;
    Application::update();
  }
  void shutdown() override {
    ++shutdowns;
    Application::shutdown();
  }
  std::string titleBeforeSetup = "unset";
  int resizes = 0;
  int shutdowns = 0;
  bool updateBeforeResize = false;
};

// On an X server of its own at 100 %, whatever the developer's desktop.
class Shell : public ::testing::Test {
 protected:
  void SetUp() override {
    display.makeDefault();
    ASSERT_TRUE(app.startUp("Application", {}));
  }
  void TearDown() override { app.shutDown(); }
  strophe_test::PrivateXServer display{96};  // outlives the application
  ShellApp app;
};

TEST_F(Shell, OpensA512WindowWhoseTitleSetupSets) {
  auto window = app.getWindow();
  EXPECT_EQ(window->getWidth(), 512);
  EXPECT_EQ(window->getHeight(), 512);
  EXPECT_EQ(app.titleBeforeSetup, "");
  EXPECT_EQ(window->getTitle(), Application::kTitle);
  EXPECT_EQ(std::string(Application::kTitle).rfind("strophe | ", 0), 0u);
  EXPECT_TRUE(app.getSettings().highDensityDisplay);
  EXPECT_EQ(app.getMode(), Application::PLAYING);
  EXPECT_EQ(app.resizes, 1);
}

std::vector<unsigned char> readBack() {
  glFinish();
  std::vector<unsigned char> pixels(512 * 512 * 4);
  glReadPixels(0, 0, 512, 512, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

TEST_F(Shell, DrawsTheSceneOnWhiteAndAnEmptyWhiteCanvasWhileSketching) {
  app.runFrame(false);
  EXPECT_FALSE(app.updateBeforeResize);
  // The swap leaves the back buffer undefined: draw once more without swapping.
  app.draw();
  auto playing = readBack();
  int white = 0;
  for (std::size_t i = 0; i < playing.size(); i += 4)
    white += playing[i] == 255 && playing[i + 1] == 255 && playing[i + 2] == 255;
  EXPECT_GT(white, 512 * 512 * 8 / 10);
  EXPECT_LT(white, 512 * 512) << "the scene is drawn on the white";
  EXPECT_EQ(app.getCanvasOffset(), loom::Vector2(0, 0));

  app.getWindow()->key(13, '\r', true, 0);
  app.runFrame(false);
  app.draw();
  auto sketching = readBack();
  for (std::size_t i = 0; i < sketching.size(); ++i) ASSERT_EQ(sketching[i], 255) << "at byte " << i;
}

TEST_F(Shell, AShakeOfTheWindowsAccelerometerRequestsAResetThatCalmReadingsLeavePending) {
  auto window = app.getWindow();
  window->accelerated(1.0, 2.0, 0.0);  // the first reading is its own previous one
  window->accelerated(1.0, 2.0, 3.0);  // squared change exactly 9
  EXPECT_FALSE(app.isResetRequested());
  EXPECT_EQ(app.getGravity(), loom::Vector2(1.0f, -2.0f));
  window->accelerated(-2.0, 2.0, 3.1);  // squared change 9.01
  EXPECT_TRUE(app.isResetRequested());
  // Readings come faster than updates; Return's request must outlive them too.
  window->accelerated(-2.0, 2.0, 3.1);
  EXPECT_TRUE(app.isResetRequested()) << "a calm reading leaves the reset pending";
  app.runFrame(false);
  EXPECT_EQ(app.getMode(), Application::SKETCHING);
}

TEST_F(Shell, ClosingTheWindowCallsShutdownOnce) {
  app.runFrame(false);
  app.getWindow()->closeRequested();
  EXPECT_TRUE(app.isQuitRequested());
  // Deleted while the window's context was still there.
  EXPECT_FALSE(app.getLineTexture() || app.getDotTexture() || app.getFont());
  app.shutDown();
  app.shutDown();
  EXPECT_EQ(app.shutdowns, 1);
}

}  // namespace
