// The sound libraries under the audio loop write their own diagnostics to
// stderr: ALSA about every card and device name it probes, JACK about a server
// that is not running. Users of this program see only its own
// "Error message:" lines there, so those diagnostics are turned off through
// each library's own hook, leaving file descriptor 2 as it is.
#pragma once

namespace inkvane {

// Installs silent handlers in ALSA and, when the audio library brought JACK
// into the process, in JACK. Safe to call from any thread, any number of
// times; only the first call does anything.
void quietAudioLibraries();

}  // namespace inkvane
