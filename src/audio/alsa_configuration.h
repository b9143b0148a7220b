// What ALSA's configuration says about the default PCM device, asked before
// the audio library is started. The library aborts the whole program while
// listing devices when no default is named (an unreadable or empty
// ALSA_CONFIG_PATH, say), and starting it costs tens of milliseconds of CPU
// (it opens every device it lists), too much to pay every few seconds while
// a sound server is down.
#pragma once

#include <string>

namespace inkvane {

bool alsaConfigurationHasDefaultDevice();

// Whether the default device would open now, found out cheaply: for a sound
// server's plugin, whether the server's socket accepts a connection (loading
// the plugin to find out costs about as much as starting the library); for
// any other device, whether ALSA opens it. Call only when
// alsaConfigurationHasDefaultDevice() is true.
bool alsaDefaultDeviceAnswers();

// Whether a server listens on the Unix socket at `path`. The file alone says
// nothing: a killed server leaves its socket file behind.
bool unixSocketAccepts(const std::string& path);

}  // namespace inkvane
