// A real sound server for one test: PipeWire and WirePlumber on a private
// runtime folder, session bus and state, with a mono null sink as the default
// output, an ALSA configuration that routes a program's default device to it,
// and recordings of what the sink plays (its monitor).
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace strophe_e2e {

class SoundServer {
 public:
  // Lays out the folders and configuration under `dir` and starts the
  // session bus; start() brings the server up.
  explicit SoundServer(const std::string& dir);
  ~SoundServer();
  SoundServer(const SoundServer&) = delete;
  SoundServer& operator=(const SoundServer&) = delete;

  // Starts the server and waits (bounded) until the null sink is the default
  // output. False, with the reason in *why, when it does not come up.
  bool start(std::string* why);
  // Kills the server outright, as a crash would, and reaps it.
  void kill();

  // What a client needs in its environment to reach the server, and the folder
  // whose ALSA configuration (audiotest::alsaConfigFile) routes to it.
  std::map<std::string, std::string> clientEnvironment() const;
  const std::string& alsaConfigDir() const { return alsaDir_; }

  // Records the sink's monitor for `seconds` (mono float at 44,100 Hz); empty
  // when the recorder could not run.
  std::vector<float> record(double seconds);
  // The same in steps: start (returning once the recorder takes the monitor's
  // samples), read what was recorded so far (as often as wanted), stop.
  void startRecording();
  std::vector<float> recorded() const;
  void stopRecording();

 private:
  pid_t spawn(const std::vector<std::string>& argv, const std::string& logName) const;

  std::string dir_, runtimeDir_, configDir_, alsaDir_, busAddress_;
  pid_t bus_ = -1, pipewire_ = -1, sessionManager_ = -1, recorder_ = -1;
};

}  // namespace strophe_e2e
