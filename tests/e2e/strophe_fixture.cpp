// The program's standard error goes to a file so that what ALSA prints about
// missing cards stays out of the test's output unless a test fails.
#include "e2e/strophe_fixture.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace strophe_e2e {

Image StropheTest::start(const std::string& alsaConfig) {
  std::string config = alsaConfig;
  if (config.empty()) {
    config = dir.path() + "/silent";
    audiotest::writeUnopenableAlsaConfig(config);
  }
  std::map<std::string, std::string> env = environment;
  env[audiotest::kAlsaConfigVariable] = config;
  program = std::make_unique<ProgramUnderTest>(STROPHE_BINARY, env, dir.path() + "/stderr.txt", watchActivations);
  if (!program->waitForWindow("strophe | ")) return Image{};
  return program->waitForCapture(showsScene);
}

std::string StropheTest::programErrors() const {
  std::ifstream file(dir.path() + "/stderr.txt");
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void StropheTest::TearDown() {
  if (HasFailure()) std::cerr << "strophe's standard error:\n" << programErrors() << "\n";
  program.reset();
}

}  // namespace strophe_e2e
