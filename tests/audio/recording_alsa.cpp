// A configuration of the test's own replaces the default device without
// touching anything global; ALSA_CONFIG_PATH would replace the whole system one.
#include "audio/recording_alsa.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

namespace fs = std::filesystem;

namespace audiotest {

namespace {

void writeAsoundrc(const std::string& dir, const std::string& defaultPcm) {
  fs::create_directories(fs::path(dir) / "alsa");
  std::ofstream file(fs::path(dir) / "alsa" / "asoundrc");
  file << "pcm.!default " << defaultPcm << "\n";
  if (!file) throw std::runtime_error("cannot write the ALSA configuration in " + dir);
}

}  // namespace

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
  writeAsoundrc(dir, "{ type file slave.pcm \"null\" file \"" + (file.empty() ? dir + "/out_%r_%c_%f.raw" : file) +
                         "\" format \"raw\" }");
}

void writeUnopenableAlsaConfig(const std::string& dir) {
  writeAsoundrc(dir, "{ type hw card 99 }");
}

std::vector<float> readFloatSamples(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<float> samples(fs::file_size(path) / sizeof(float));
  file.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * sizeof(float)));
  return samples;
}

}  // namespace audiotest
