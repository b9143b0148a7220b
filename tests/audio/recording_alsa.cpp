// Each configuration replaces the system one whole: layered over it, ALSA
// would also load whatever the machine configures (a sound server's plugins,
// with threads of their own) while the audio library lists devices.
#include "audio/recording_alsa.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

namespace fs = std::filesystem;

namespace audiotest {

std::string alsaConfigFile(const std::string& dir) { return dir + "/alsa/asoundrc"; }

void writeAlsaConfig(const std::string& dir, const std::string& pcm) {
  fs::create_directories(fs::path(dir) / "alsa");
  std::ofstream file(alsaConfigFile(dir));
  file << "pcm.default " << pcm << "\n";
  if (!file) throw std::runtime_error("cannot write the ALSA configuration in " + dir);
}

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/strophe-audio-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create " + pattern);
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void writeRecordingAlsaConfig(const std::string& dir, const std::string& file) {
  writeAlsaConfig(dir, "{ type file slave.pcm { type null } file \"" + (file.empty() ? dir + "/out_%r_%c_%f.raw" : file) +
                         "\" format \"raw\" }");
}

void writeUnopenableAlsaConfig(const std::string& dir) {
  writeAlsaConfig(dir, "{ type hw card 99 }");
}

int errorLines(const std::string& err) {
  int lines = 0;
  std::istringstream text(err);
  for (std::string line; std::getline(text, line); ++lines) {
    if (line.rfind("Error message: ", 0) != 0) return -1;
  }
  return lines;
}

std::vector<float> readFloatSamples(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<float> samples(fs::file_size(path) / sizeof(float));
  file.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * sizeof(float)));
  return samples;
}

}  // namespace audiotest
