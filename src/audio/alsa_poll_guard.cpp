// The interposed ALSA call. Its name and signature are ALSA's, declared here
// with the library's own types so the header's declaration and this
// definition are one function.
#include "audio/alsa_poll_guard.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <time.h>

#include <atomic>

namespace inkvane {

namespace {

std::atomic<long> absorbedFailures{0};

// One 512-frame buffer at 44,100 Hz: the device thread wakes no more often
// than it would while playing.
constexpr long kPauseNanoseconds = 11'600'000;

using ReventsFunction = int (*)(snd_pcm_t*, struct pollfd*, unsigned int, unsigned short*);

// ALSA's own definition: the next one after this executable in the dynamic
// linker's search order. Looked up on first use, on the device thread.
ReventsFunction alsaRevents() {
  static const auto function = reinterpret_cast<ReventsFunction>(dlsym(RTLD_NEXT, "snd_pcm_poll_descriptors_revents"));
  return function;
}

}  // namespace

long absorbedAlsaPollFailures() { return absorbedFailures.load(std::memory_order_relaxed); }

}  // namespace inkvane

extern "C" int snd_pcm_poll_descriptors_revents(snd_pcm_t* pcm, struct pollfd* pfds, unsigned int nfds,
                                                unsigned short* revents) {
  const inkvane::ReventsFunction alsa = inkvane::alsaRevents();
  const int result = alsa != nullptr ? alsa(pcm, pfds, nfds, revents) : -ENOSYS;
  if (result >= 0) return result;
  // A device that failed once keeps failing (a server's stream does not come
  // back on the same handle), so this is reached about once a buffer period
  // until the stream is aborted. The pause is what keeps that from spinning
  // when the device's descriptors stay readable.
  inkvane::absorbedFailures.fetch_add(1, std::memory_order_relaxed);
  if (revents != nullptr) *revents = 0;
  const timespec pause{0, inkvane::kPauseNanoseconds};
  nanosleep(&pause, nullptr);
  return 0;
}
