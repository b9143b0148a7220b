// Keeps the audio library's device thread from spinning when an ALSA device
// dies under an open stream (a sound server that quits, for one).
//
// Debian's build of the library has a fault in its ALSA host: when
// snd_pcm_poll_descriptors_revents fails while a buffer's worth of frames is
// still counted from the previous round, the error path checks that some
// device is marked ready, finds none, and jumps back to its own error label,
// forever: a whole core busy, one debug line per turn on stderr, and a thread
// that no cancel reaches, so aborting the stream waits for it for good.
//
// This program defines snd_pcm_poll_descriptors_revents itself and exports it,
// so the dynamic linker binds the library's call to it instead of to ALSA's.
// It calls ALSA's function and, when that fails, reports "no events" instead
// and pauses for one buffer period. The library then takes its ordinary path
// of waiting on the device again: it polls (where a cancel can reach it),
// never marks the dead device ready, renders nothing and prints nothing. The
// audio loop notices that buffers stopped and aborts the stream, which cancels
// the thread inside its poll.
#pragma once

namespace inkvane {

// How many failures of ALSA's poll-event call were turned into "no events"
// since the process started. Read by the audio loop to name a lost stream's
// cause; also what links the interposed function into every program that
// plays sound.
long absorbedAlsaPollFailures();

}  // namespace inkvane
