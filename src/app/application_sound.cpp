// The sound: every string's voice, derived once per frame on the main thread
// and synthesised on the audio thread.
#include "app/application.h"

void Application::computeVoices() {
  voices.computeVoices([this](auto&& sing) {
    for (const auto& set : stringSets) {
      for (const auto& string : set->strings()) {
        if (!sing(string->positions.data(), string->previousPositions.data(), string->count, string->held,
                  *set->path()))
          return;
      }
    }
  });
}

int Application::renderAudio(std::uint32_t frameCount, float* buffer, double streamTime) {
  return voices.renderAudio(frameCount, buffer, streamTime);
}

void Application::streamStarts() { voices.fadeIn(); }
