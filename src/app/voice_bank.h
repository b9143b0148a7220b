// The application's 32 voices and the two flags the audio thread reads: once
// per frame the main thread derives pitches and loudness targets from the
// strings, and the audio thread mixes them into every buffer without a lock.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "app/string_voice.h"
#include "app/voice.h"
#include "framework/core/debug_assert.h"
#include "paths/followable_path.h"

class VoiceBank {
 public:
  // Muted, no voice sounding, every voice at rest. The table is built here, in
  // place, and never moves: the audio thread may read it at any time.
  VoiceBank() = default;
  VoiceBank(const VoiceBank&) = delete;
  VoiceBank& operator=(const VoiceBank&) = delete;

  // Silence from the next buffer on, until computeVoices.
  void mute() { audioMuted_.store(true, std::memory_order_relaxed); }

  // Unmutes and gives one voice to each string, in the order forEachString
  // offers them. forEachString(sing) calls sing(positions, previousPositions,
  // count, held, path) for every string, sets in order and strings in order;
  // sing returns false once all voices are taken, and strings offered after
  // that stay silent.
  template <typename ForEachString>
  void computeVoices(ForEachString&& forEachString) {
    audioMuted_.store(false, std::memory_order_relaxed);
    int taken = 0;
    forEachString([&](const float* positions, const float* previousPositions, int count, bool held,
                      const inkvane::FollowablePath& path) {
      if (taken < kMaxVoices) {
        setVoice(taken++, stringVoice(positions, previousPositions, count, held, path));
      }
      return taken < kMaxVoices;
    });
    voiceCount_.store(taken, std::memory_order_relaxed);
  }

  // The audio thread's synthesiser: fills all frameCount samples (mono, 44,100
  // Hz) and moves every sounding voice towards its targets by one step per
  // call. No allocation, no lock, no I/O. streamTime is not used.
  int renderAudio(std::uint32_t frameCount, float* buffer, double streamTime);
  // On the audio thread, between buffers: every voice starts again from
  // silence, as at start, and glides up to its loudness over the next
  // buffers; a tone resumed at the loudness it had when sound was lost would
  // begin with a click. Pitches and phases are kept.
  void fadeIn();

  bool audioMuted() const { return audioMuted_.load(std::memory_order_relaxed); }
  int voiceCount() const { return voiceCount_.load(std::memory_order_relaxed); }
  const Voice& voice(int index) const {
    STROPHE_ASSERT(index >= 0 && index < kMaxVoices);
    return voices_[index];
  }

 private:
  void setVoice(int index, StringVoice sung);

  std::array<Voice, kMaxVoices> voices_;
  std::atomic<bool> audioMuted_{true};
  std::atomic<int> voiceCount_{0};  // leading voices that sound, 0 to kMaxVoices
};
