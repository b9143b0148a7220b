// JACK is not linked by this program: it comes in as a dependency of the
// audio library's JACK host, so its hooks are looked up among the libraries
// already loaded and skipped when there are none.
//
// The interposed vfprintf keeps its own definition: the C library's header may
// declare an inline one when fortified.
#undef _FORTIFY_SOURCE
#include "audio/quiet_audio_libraries.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <link.h>
#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <mutex>

namespace inkvane {

namespace {

void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

void ignoreJackMessage(const char*) {}

using JackMessageHook = void (*)(void (*)(const char*));

void quietJackHook(const char* name) {
  if (auto hook = reinterpret_cast<JackMessageHook>(dlsym(RTLD_DEFAULT, name))) hook(&ignoreJackMessage);
}

// The addresses of the audio library's code; empty until quietAudioLibraries.
std::atomic<std::uintptr_t> audioCodeStart{0};
std::atomic<std::uintptr_t> audioCodeEnd{0};

// Finds the loaded object that holds `inside` and keeps the span of its
// executable segments.
int rememberCodeOf(dl_phdr_info* object, std::size_t, void* inside) {
  const auto address = reinterpret_cast<std::uintptr_t>(inside);
  bool holds = false;
  std::uintptr_t start = UINTPTR_MAX, end = 0;
  for (int i = 0; i < object->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = object->dlpi_phdr[i];
    if (segment.p_type != PT_LOAD) continue;
    const std::uintptr_t from = object->dlpi_addr + segment.p_vaddr, to = from + segment.p_memsz;
    if (address >= from && address < to) holds = true;
    if ((segment.p_flags & PF_X) != 0) {
      start = std::min(start, from);
      end = std::max(end, to);
    }
  }
  if (!holds || end == 0) return 0;
  audioCodeStart.store(start);
  audioCodeEnd.store(end);
  return 1;
}

bool fromAudioLibrary(const void* returnAddress) {
  const auto address = reinterpret_cast<std::uintptr_t>(returnAddress);
  return address >= audioCodeStart.load(std::memory_order_relaxed) &&
         address < audioCodeEnd.load(std::memory_order_relaxed);
}

}  // namespace

void quietAudioLibraries() {
  static std::once_flag once;
  std::call_once(once, [] {
    snd_lib_error_set_handler(&ignoreAlsaMessage);
    quietJackHook("jack_set_error_function");
    quietJackHook("jack_set_info_function");
    // The version text is the library's own data, wherever it is loaded and
    // whatever its file is called.
    dl_iterate_phdr(&rememberCodeOf, const_cast<char*>(Pa_GetVersionText()));
  });
}

}  // namespace inkvane

extern "C" int vfprintf(FILE* stream, const char* format, va_list arguments) {
  if (stream == stderr && inkvane::fromAudioLibrary(__builtin_return_address(0))) return 0;
  using Vfprintf = int (*)(FILE*, const char*, va_list);
  static const auto next = reinterpret_cast<Vfprintf>(dlsym(RTLD_NEXT, "vfprintf"));
  return next != nullptr ? next(stream, format, arguments) : -1;
}
