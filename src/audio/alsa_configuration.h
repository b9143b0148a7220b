// Whether ALSA's configuration names a default PCM device. PortAudio's ALSA
// host aborts the whole program while listing devices when it does not (an
// unreadable or empty ALSA_CONFIG_PATH, say), so the worker asks first.
#pragma once

namespace inkvane {

bool alsaConfigurationHasDefaultDevice();

}  // namespace inkvane
