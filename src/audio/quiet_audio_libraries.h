// The sound libraries under the audio loop write their own diagnostics to
// stderr: ALSA about every card and device name it probes, JACK about a server
// that is not running, the audio library itself ("Expression '…' failed in
// '…pa_linux_alsa.c'") whenever a device fails. Users of this program see only
// its own "Error message:" lines there, so those diagnostics are turned off,
// leaving file descriptor 2 as it is.
//
// ALSA and JACK have hooks for it. The audio library has none that Debian's
// build exports: it prints with vfprintf(stderr, …) through the dynamic
// linker. This program defines vfprintf itself and exports it, so that call
// binds here; a call made from the audio library's code is dropped, every other
// one is passed to the C library's. The program's own lines never come here
// (fprintf does not go through the exported vfprintf). A relay of a pipe on
// descriptor 2 would also catch the lines, but would have to tell the
// library's from the program's by their text, would lose what is queued in it
// when the process dies, and would leave the descriptor no longer a terminal.
#pragma once

namespace inkvane {

// Installs silent handlers in ALSA and, when the audio library brought JACK
// into the process, in JACK, and starts dropping the audio library's own
// prints. Safe to call from any thread, any number of times; only the first
// call does anything.
void quietAudioLibraries();

}  // namespace inkvane
