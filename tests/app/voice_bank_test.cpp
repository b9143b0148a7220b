// The synthesiser as the audio thread sees it: silence when muted or without
// voices, the per-buffer glide of pitch and loudness, which strings get a voice,
// and the table shared with the main thread without a lock.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "app/voice_bank.h"

using inkvane::FollowablePath;

namespace {

constexpr std::uint32_t kFrames = 512;

// One string of letters on a path, as the scene would hand it over.
struct TestString {
  std::vector<float> positions;
  std::vector<float> previous;
  bool held = false;
};

FollowablePath straightPath() {
  FollowablePath path;
  path.add(0, 0);
  path.add(4000, 0);
  return path;
}

// A string of two letters moving `speed` pixels a step on a straight path.
TestString moving(float at, float speed) { return {{at, at + 10}, {at - speed, at + 10 - speed}}; }

// Gives voices to sets of strings, all sets on the same path.
void computeVoices(VoiceBank& bank, const std::vector<std::vector<TestString>>& sets,
                   const FollowablePath& path, int* offered = nullptr) {
  bank.computeVoices([&](auto&& sing) {
    for (const auto& set : sets) {
      for (const TestString& s : set) {
        if (offered != nullptr) ++*offered;
        if (!sing(s.positions.data(), s.previous.data(), static_cast<int>(s.positions.size()), s.held, path)) {
          return;
        }
      }
    }
  });
}

std::vector<float> render(VoiceBank& bank, std::uint32_t frames = kFrames) {
  std::vector<float> buffer(frames, 7.0f);  // anything not written shows
  bank.renderAudio(frames, buffer.data(), 0.0);
  return buffer;
}

std::vector<float> silence(std::uint32_t frames = kFrames) { return std::vector<float>(frames, 0.0f); }

TEST(VoiceBank, SilentWhenMutedOrWithoutVoices) {
  const FollowablePath path = straightPath();
  VoiceBank bank;
  EXPECT_TRUE(bank.audioMuted());
  EXPECT_EQ(render(bank), silence());

  computeVoices(bank, {}, path);
  EXPECT_FALSE(bank.audioMuted());
  EXPECT_EQ(bank.voiceCount(), 0);
  EXPECT_EQ(render(bank), silence());

  computeVoices(bank, {{moving(100, 50)}}, path);
  EXPECT_NE(render(bank), silence());
  bank.mute();
  EXPECT_EQ(render(bank, 100), silence(100));
  // Muted, the voices do not move on.
  const float amplitude = relaxedLoad(bank.voice(0).amplitude);
  render(bank);
  EXPECT_EQ(relaxedLoad(bank.voice(0).amplitude), amplitude);
}

TEST(VoiceBank, PitchAndLoudnessGlideAFixedShareEveryBuffer) {
  const FollowablePath path = straightPath();
  VoiceBank bank;
  computeVoices(bank, {{moving(100, 50)}}, path);  // 220 Hz at full loudness
  const Voice& voice = bank.voice(0);
  const float increment = 220.0f / 44100.0f;

  render(bank);
  EXPECT_FLOAT_EQ(relaxedLoad(voice.amplitude), 0.05f);
  EXPECT_FLOAT_EQ(relaxedLoad(voice.phaseIncrement), increment * 0.05f);
  // Whatever the frame count, one step per call.
  render(bank, 3);
  EXPECT_FLOAT_EQ(relaxedLoad(voice.amplitude), 1.0f - 0.95f * 0.95f);
  for (int call = 2; call < 100; ++call) render(bank);
  EXPECT_NEAR(relaxedLoad(voice.amplitude), 1.0f - std::pow(0.95f, 100.0f), 1e-5f);
  EXPECT_NEAR(relaxedLoad(voice.phaseIncrement), increment * (1.0f - std::pow(0.95f, 100.0f)), 1e-7f);

  // Come to rest, the string fades by the same factor per buffer.
  computeVoices(bank, {{moving(100, 0)}}, path);
  const float before = relaxedLoad(voice.amplitude);
  for (int call = 0; call < 10; ++call) render(bank);
  EXPECT_NEAR(relaxedLoad(voice.amplitude), before * std::pow(0.95f, 10.0f), 1e-5f);
  EXPECT_GE(relaxedLoad(voice.phase), 0.0f);
  EXPECT_LT(relaxedLoad(voice.phase), 1.0f);
}

TEST(VoiceBank, SettledVoiceIsASineAtItsPitchAndLoudness) {
  FollowablePath path = straightPath();
  VoiceBank bank;
  TestString held = moving(100, 0);
  held.held = true;
  computeVoices(bank, {{held}}, path);
  for (int call = 0; call < 600; ++call) render(bank);  // 0.95^600: settled

  const std::vector<float> samples = render(bank, 44100);
  int upward = 0;
  float peak = 0.0f;
  for (std::size_t i = 1; i < samples.size(); ++i) {
    if (samples[i - 1] < 0.0f && samples[i] >= 0.0f) ++upward;
    peak = std::max(peak, std::fabs(samples[i]));
  }
  EXPECT_NEAR(upward, 220, 1);
  EXPECT_NEAR(peak, 0.5f, 1e-3f);
}

TEST(VoiceBank, OnlyTheFirst32StringsInSetOrderSound) {
  const FollowablePath path = straightPath();
  // Three sets of 15 strings; string n moves n pixels a step, so its loudness names it.
  std::vector<std::vector<TestString>> sets(3);
  for (int n = 0; n < 45; ++n) sets[n / 15].push_back(moving(100.0f + 20 * n, n));

  VoiceBank bank;
  int offered = 0;
  computeVoices(bank, sets, path, &offered);
  EXPECT_EQ(bank.voiceCount(), 32);
  EXPECT_EQ(offered, 32);  // told to stop once the table is full
  for (int k = 0; k < 32; ++k) {
    EXPECT_FLOAT_EQ(relaxedLoad(bank.voice(k).targetAmplitude), std::min(k, 50) / 50.0f) << k;
  }

  // Fewer strings next frame: only the leading voices sound.
  sets.resize(1);
  computeVoices(bank, sets, path);
  EXPECT_EQ(bank.voiceCount(), 15);
}

// The main thread rewrites the table every frame while the audio thread mixes
// it; run under ThreadSanitizer this shows the sharing is race free.
TEST(VoiceBank, MainAndAudioThreadsShareTheTableWithoutLock) {
  const FollowablePath path = straightPath();
  VoiceBank bank;
  std::atomic<bool> done{false};
  std::thread audio([&] {
    std::vector<float> buffer(kFrames);
    while (!done.load()) bank.renderAudio(kFrames, buffer.data(), 0.0);
  });
  std::vector<std::vector<TestString>> sets(1);
  for (int frame = 0; frame < 200; ++frame) {
    sets[0].assign(frame % 33, moving(100, frame % 7));
    computeVoices(bank, sets, path);
    if (frame % 50 == 49) bank.mute();
  }
  done = true;
  audio.join();
  EXPECT_EQ(bank.voiceCount(), 199 % 33);
}

}  // namespace
