// The program's standard error goes to a file so that what ALSA prints about
// missing cards stays out of the test's output unless a test fails.
#include "e2e/strophe_fixture.h"

#include <iostream>

namespace strophe_e2e {

void StropheTest::launch(const std::string& alsaConfig, LaunchOptions options) {
  std::string config = alsaConfig;
  if (config.empty()) {
    config = dir.path() + "/silent";
    audiotest::writeUnopenableAlsaConfig(config);
  }
  std::map<std::string, std::string> full = environment;
  full[audiotest::kAlsaConfigVariable] = audiotest::alsaConfigFile(config);
  options.watchActivations = options.watchActivations || watchActivations;
  if (options.xftDpi == 0) options.xftDpi = xftDpi;
  // A file per Xft.dpi: a test may run the program at several.
  const std::string errors = options.xftDpi > 0 ? "/stderr_" + std::to_string(options.xftDpi) + ".txt" : "/stderr.txt";
  program = std::make_unique<ProgramUnderTest>(STROPHE_BINARY, full, dir.path() + errors, options);
}

Image StropheTest::start(const std::string& alsaConfig) {
  launch(alsaConfig, {});
  if (!program->waitForWindow("strophe | ")) return Image{};
  return program->waitForCapture(showsScene);
}

std::string StropheTest::programErrors() const { return program ? program->errors() : std::string(); }

void StropheTest::TearDown() {
  if (HasFailure() && program) std::cerr << "strophe " << program->stateReport();
  program.reset();
}

}  // namespace strophe_e2e
