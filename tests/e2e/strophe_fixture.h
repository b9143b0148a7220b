// One run of the real program per test: on its own X server, with an audio
// device of the test's own (by default one that cannot open, so no test ever
// reaches a real sound card), its errors kept in a file.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "audio/recording_alsa.h"
#include "e2e/scene_pixels.h"
#include "e2e/x11_driver.h"

namespace strophe_e2e {

class StropheTest : public ::testing::Test {
 protected:
  void TearDown() override;

  // Starts the program with ALSA's configuration in `alsaConfig` (the folder
  // audiotest's writers fill), or one whose default device fails to open, and
  // `environment` added to its own; waits for the window and returns its
  // first capture showing the scene (empty when none came).
  Image start(const std::string& alsaConfig = "");
  // Starts it the same way with `options` and returns at once.
  void launch(const std::string& alsaConfig, LaunchOptions options);

  // What the program has written on standard error so far, up to 64 KiB: a
  // program that floods it must not flood the test's output too.
  std::string programErrors() const;

  audiotest::TempDir dir;
  std::unique_ptr<ProgramUnderTest> program;
  // Set before start: more of the program's environment, whether its X
  // server claims a window manager that counts activation requests, and its
  // desktop's Xft.dpi (0: unset, which reads as 96).
  std::map<std::string, std::string> environment;
  bool watchActivations = false;
  int xftDpi = 0;
  // Window pixels per point at that Xft.dpi.
  float scale() const { return xftDpi > 0 ? static_cast<float>(xftDpi) / 96.0f : 1.0f; }
};

}  // namespace strophe_e2e
