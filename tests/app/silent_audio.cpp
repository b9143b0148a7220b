// The application opens the default sound device at set-up. Before any test
// runs, point ALSA at a configuration whose default device cannot open, so
// these tests never touch a real sound card and the program runs silent.
#include <cstdlib>

namespace {
const bool kSilenced =
    ::setenv("ALSA_CONFIG_PATH", STROPHE_SOURCE_DIR "/tests/app/silent_audio/alsa/asoundrc", 1) == 0;
}  // namespace
