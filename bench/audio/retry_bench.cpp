// What one attempt of the audio worker costs while the sound server is down:
// the check it makes before anything else, against what starting the audio
// library to find the same thing out costs. ALSA is given a configuration
// whose default device is the PipeWire plugin, and a runtime folder where no
// server listens, before the first benchmark runs.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include <portaudio.h>

#include "audio/alsa_configuration.h"
#include "audio/quiet_audio_libraries.h"

namespace {

struct ServerDown {
  ServerDown() {
    char pattern[] = "/tmp/strophe-retry-XXXXXX";
    folder = mkdtemp(pattern);
    std::ofstream(folder + "/asoundrc") << "pcm.default { type pipewire }\n";
    setenv("ALSA_CONFIG_PATH", (folder + "/asoundrc").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    unsetenv("PIPEWIRE_REMOTE");
    unsetenv("PIPEWIRE_RUNTIME_DIR");
    inkvane::quietAudioLibraries();
  }
  ~ServerDown() {
    unlink((folder + "/asoundrc").c_str());
    rmdir(folder.c_str());
  }
  std::string folder;
};

const ServerDown& serverDown() {
  static const ServerDown down;
  return down;
}

// What the worker does each second while the server is down.
void BM_RetryWhileServerIsDown(benchmark::State& state) {
  serverDown();
  for (auto _ : state) {
    bool answers = inkvane::alsaConfigurationHasDefaultDevice() && inkvane::alsaDefaultDeviceAnswers();
    benchmark::DoNotOptimize(answers);
  }
}
BENCHMARK(BM_RetryWhileServerIsDown)->Unit(benchmark::kMillisecond);

// What an attempt cost when it started the audio library to find out.
void BM_LibraryStartWhileServerIsDown(benchmark::State& state) {
  serverDown();
  for (auto _ : state) {
    if (Pa_Initialize() == paNoError) Pa_Terminate();
  }
}
BENCHMARK(BM_LibraryStartWhileServerIsDown)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
