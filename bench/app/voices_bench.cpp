// Cost of the sound on each thread: the audio thread's buffer of 32 voices ×
// 512 frames (the budget is the 11.6 ms buffer period), and the main thread's
// per-frame voices for the five strings (22 letters) of the built-in text.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "app/voice_bank.h"
#include "app/voice_mix.h"

namespace {

constexpr std::uint32_t kFrames = 512;

// A closed-looking curve of 611 points and about 3,800 pixels inside the
// canvas, bending gently and sharply by turns like the built-in trace.
inkvane::FollowablePath scenePath() {
  inkvane::FollowablePath path;
  for (int i = 0; i < 611; ++i) {
    const float t = 6.2831853f * i / 610.0f;
    path.add(256.0f + 200.0f * std::sin(3.0f * t), 256.0f + 210.0f * std::sin(2.0f * t + 0.5f));
  }
  return path;
}

// The built-in text's lines as strings of 9, 3, 3, 2 and 5 letters, moving.
struct SceneString {
  std::vector<float> positions;
  std::vector<float> previous;
};

std::vector<SceneString> sceneStrings() {
  std::vector<SceneString> strings;
  float at = 40.0f;
  for (int letters : {9, 3, 3, 2, 5}) {
    SceneString s;
    for (int j = 0; j < letters; ++j, at += 14.0f) {
      s.positions.push_back(at);
      s.previous.push_back(at - 1.5f);
    }
    at += 30.0f;
    strings.push_back(s);
  }
  return strings;
}

void computeScene(VoiceBank& bank, const std::vector<SceneString>& strings, const inkvane::FollowablePath& path,
                  int copies) {
  bank.computeVoices([&](auto&& sing) {
    for (int c = 0; c < copies; ++c) {
      for (const SceneString& s : strings) {
        if (!sing(s.positions.data(), s.previous.data(), static_cast<int>(s.positions.size()), false, path)) return;
      }
    }
  });
}

void BM_RenderAudio32Voices(benchmark::State& state) {
  const inkvane::FollowablePath path = scenePath();
  VoiceBank bank;
  computeScene(bank, sceneStrings(), path, 7);  // 35 strings: all 32 voices sound
  std::vector<float> buffer(kFrames);
  for (int call = 0; call < 100; ++call) bank.renderAudio(kFrames, buffer.data(), 0.0);
  for (auto _ : state) {
    bank.renderAudio(kFrames, buffer.data(), 0.0);
    benchmark::DoNotOptimize(buffer.data());
  }
}
BENCHMARK(BM_RenderAudio32Voices);

// The plain loop the block mix replaces, for comparison.
void BM_MixSampleBySample32Voices(benchmark::State& state) {
  Oscillators voices;
  voices.count = kMaxVoices;
  for (int k = 0; k < kMaxVoices; ++k) {
    voices.phaseIncrement[k] = (220.0f + 100.0f * k) / 44100.0f;
    voices.amplitude[k] = 0.5f;
  }
  std::vector<float> buffer(kFrames);
  for (auto _ : state) {
    mixSampleBySample(voices, buffer.data(), kFrames);
    benchmark::DoNotOptimize(buffer.data());
  }
}
BENCHMARK(BM_MixSampleBySample32Voices);

void BM_ComputeVoicesBuiltInText(benchmark::State& state) {
  const inkvane::FollowablePath path = scenePath();
  const std::vector<SceneString> strings = sceneStrings();
  VoiceBank bank;
  for (auto _ : state) computeScene(bank, strings, path, 1);
}
BENCHMARK(BM_ComputeVoicesBuiltInText);

}  // namespace
