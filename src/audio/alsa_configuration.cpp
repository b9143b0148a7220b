#include "audio/alsa_configuration.h"

#include <alsa/asoundlib.h>

namespace inkvane {

bool alsaConfigurationHasDefaultDevice() {
  // Loads the configuration PortAudio would use, or the one already loaded.
  if (snd_config_update() < 0 || snd_config == nullptr) return false;
  snd_config_t* device = nullptr;
  return snd_config_search(snd_config, "pcm.default", &device) == 0;
}

}  // namespace inkvane
