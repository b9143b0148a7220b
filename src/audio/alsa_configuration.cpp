// The server plugin's connection rules are read from its definition and the
// environment the way the plugin reads them; a definition that names the
// server some other way is opened instead, so the check is never wrong, only
// dearer.
#include "audio/alsa_configuration.h"

#include <alsa/asoundlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace inkvane {

namespace {

const char* stringField(snd_config_t* definition, const char* key) {
  snd_config_t* node = nullptr;
  const char* value = nullptr;
  if (snd_config_search(definition, key, &node) < 0 || snd_config_get_string(node, &value) < 0) return nullptr;
  return value;
}

// The Unix socket the PipeWire plugin of `definition` connects to, or "" when
// the device is not that plugin or the path cannot be told.
std::string pipewireSocket(snd_config_t* definition) {
  const char* type = stringField(definition, "type");
  if (type == nullptr || std::strcmp(type, "pipewire") != 0) return "";
  const char* name = stringField(definition, "server");
  if (name == nullptr) name = std::getenv("PIPEWIRE_REMOTE");
  if (name == nullptr || *name == '\0') name = "pipewire-0";
  if (*name == '/') return name;
  const char* folder = std::getenv("PIPEWIRE_RUNTIME_DIR");
  if (folder == nullptr) folder = std::getenv("XDG_RUNTIME_DIR");
  return folder != nullptr ? std::string(folder) + "/" + name : "";
}

}  // namespace

bool unixSocketAccepts(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  path.copy(address.sun_path, path.size());
  const int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const bool listening = probe >= 0 && connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  if (probe >= 0) close(probe);
  return listening;
}

bool alsaConfigurationHasDefaultDevice() {
  // Loads the configuration PortAudio would use, or the one already loaded.
  if (snd_config_update() < 0 || snd_config == nullptr) return false;
  snd_config_t* device = nullptr;
  return snd_config_search(snd_config, "pcm.default", &device) == 0;
}

bool alsaDefaultDeviceAnswers() {
  snd_config_t* definition = nullptr;
  if (snd_config_search_definition(snd_config, "pcm", "default", &definition) < 0) return false;
  const std::string socket = pipewireSocket(definition);
  snd_config_delete(definition);
  if (!socket.empty()) return unixSocketAccepts(socket);
  snd_pcm_t* pcm = nullptr;
  if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return false;
  snd_pcm_close(pcm);
  return true;
}

}  // namespace inkvane
