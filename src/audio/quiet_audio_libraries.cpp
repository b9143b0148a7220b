// JACK is not linked by this program: it comes in as a dependency of the
// audio library's JACK host, so its hooks are looked up among the libraries
// already loaded and skipped when there are none.
#include "audio/quiet_audio_libraries.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>

#include <mutex>

namespace inkvane {

namespace {

void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

void ignoreJackMessage(const char*) {}

using JackMessageHook = void (*)(void (*)(const char*));

void quietJackHook(const char* name) {
  if (auto hook = reinterpret_cast<JackMessageHook>(dlsym(RTLD_DEFAULT, name))) hook(&ignoreJackMessage);
}

}  // namespace

void quietAudioLibraries() {
  static std::once_flag once;
  std::call_once(once, [] {
    snd_lib_error_set_handler(&ignoreAlsaMessage);
    quietJackHook("jack_set_error_function");
    quietJackHook("jack_set_info_function");
  });
}

}  // namespace inkvane
