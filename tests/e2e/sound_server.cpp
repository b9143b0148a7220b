// Each process gets the private folders through its environment only: the
// machine's own session (if any) is never reached. Logs go to files in the
// server's folder, for reading when a test fails.
#include "e2e/sound_server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "audio/alsa_configuration.h"
#include "audio/recording_alsa.h"
#include "e2e/x11_driver.h"

extern char** environ;

namespace fs = std::filesystem;

namespace strophe_e2e {

namespace {

constexpr const char* kSinkName = "strophe-null";

// Polls `done` every 50 ms for up to `seconds` of wall time. A check that
// takes time itself (a query process on a busy machine) counts against it, so
// the bound holds however slow the checks are.
template <typename Done>
bool waitUntil(double seconds, Done done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    sleepSeconds(0.05);
  }
  return true;
}

// Waits (bounded) for `pid` to end; its exit status, or -1.
int reap(pid_t pid, double seconds) {
  int status = 0;
  if (!waitUntil(seconds, [&] { return waitpid(pid, &status, WNOHANG) == pid; })) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void end(pid_t* pid, int signal) {
  if (*pid <= 0) return;
  ::kill(*pid, signal);
  if (reap(*pid, 3.0) == -1) {
    ::kill(*pid, SIGKILL);
    waitpid(*pid, nullptr, 0);
  }
  *pid = -1;
}

// The last line of a log, for a message that outlives the test's folder.
std::string lastLine(const std::string& path) {
  std::ifstream file(path);
  std::string line, last;
  while (std::getline(file, line))
    if (!line.empty()) last = line;
  return last;
}

// The float samples of a WAV file's data chunk; what was written of it when
// the file was not closed properly.
std::vector<float> readWavFloats(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::size_t data = bytes.find("data", 12);
  if (data == std::string::npos || bytes.size() < data + 8) return {};
  std::vector<float> samples((bytes.size() - data - 8) / sizeof(float));
  if (!samples.empty()) std::memcpy(samples.data(), bytes.data() + data + 8, samples.size() * sizeof(float));
  return samples;
}

}  // namespace

SoundServer::SoundServer(const std::string& dir)
    : dir_(dir), runtimeDir_(dir + "/runtime"), configDir_(dir + "/config"), alsaDir_(dir + "/alsa-client") {
  fs::create_directories(runtimeDir_);
  fs::permissions(runtimeDir_, fs::perms::owner_all);
  fs::create_directories(configDir_ + "/pipewire/pipewire.conf.d");
  std::ofstream(configDir_ + "/pipewire/pipewire.conf.d/null-sink.conf")
      << "context.objects = [\n"
         "  { factory = adapter args = { factory.name = support.null-audio-sink node.name = \""
      << kSinkName
      << "\"\n"
         "      media.class = Audio/Sink audio.position = [ MONO ] object.linger = true } }\n"
         "]\n";
  audiotest::writeAlsaConfig(alsaDir_, "{ type pipewire }");
  busAddress_ = "unix:path=" + dir + "/bus";
  bus_ = spawn({"dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + busAddress_}, "bus.log");
}

SoundServer::~SoundServer() {
  kill();
  end(&bus_, SIGTERM);
}

bool SoundServer::start(std::string* why) {
  if (bus_ <= 0 || !waitUntil(5.0, [&] { return fs::exists(dir_ + "/bus"); })) {
    *why = "the session bus did not start (see " + dir_ + "/bus.log)";
    return false;
  }
  pipewire_ = spawn({"pipewire"}, "pipewire.log");
  // WirePlumber gives up at once on a server that does not answer yet.
  if (pipewire_ <= 0 || !waitUntil(5.0, [&] { return inkvane::unixSocketAccepts(runtimeDir_ + "/pipewire-0"); })) {
    *why = "PipeWire did not start: " + lastLine(dir_ + "/pipewire.log");
    return false;
  }
  sessionManager_ = spawn({"wireplumber"}, "wireplumber.log");
  // The session manager picks the only sink as the default output; each
  // query starts a process, which a loaded machine can take seconds over.
  const bool ready = sessionManager_ > 0 && waitUntil(20.0, [&] {
    pid_t query = spawn({"wpctl", "inspect", "@DEFAULT_AUDIO_SINK@"}, "wpctl.log");
    const int status = query > 0 ? reap(query, 3.0) : -1;
    if (status == -1) end(&query, SIGKILL);
    return status == 0;
  });
  if (!ready) *why = "WirePlumber set no default sink: " + lastLine(dir_ + "/wireplumber.log");
  return ready;
}

void SoundServer::kill() {
  stopRecording();
  end(&sessionManager_, SIGKILL);
  end(&pipewire_, SIGKILL);
}

std::map<std::string, std::string> SoundServer::clientEnvironment() const {
  return {{"XDG_RUNTIME_DIR", runtimeDir_}, {audiotest::kAlsaConfigVariable, audiotest::alsaConfigFile(alsaDir_)}};
}

std::vector<float> SoundServer::record(double seconds) {
  startRecording();
  if (recorder_ <= 0) return {};
  sleepSeconds(seconds);
  stopRecording();
  return recorded();
}

void SoundServer::startRecording() {
  stopRecording();
  fs::remove(dir_ + "/monitor.wav");
  recorder_ = spawn({"pw-record", "--target", kSinkName, "-P", "{ stream.capture.sink = true }", "--rate", "44100",
                     "--channels", "1", "--format", "f32", dir_ + "/monitor.wav"},
                    "pw-record.log");
  // pw-record is linked to the monitor some time after it starts, longer on a
  // busy machine; what plays before then is never recorded. The idle sink's
  // silence arriving in the file shows the link is made.
  if (recorder_ > 0) waitUntil(10.0, [this] { return recorded().size() >= 512; });
}

std::vector<float> SoundServer::recorded() const { return readWavFloats(dir_ + "/monitor.wav"); }

void SoundServer::stopRecording() { end(&recorder_, SIGINT); }

pid_t SoundServer::spawn(const std::vector<std::string>& argv, const std::string& logName) const {
  // WirePlumber keeps what it restores (stream volumes, default nodes) under
  // the state and data homes: the developer's own, and those of every other
  // test, must not reach this server.
  const std::map<std::string, std::string> env = {{"XDG_RUNTIME_DIR", runtimeDir_},
                                                  {"XDG_CONFIG_HOME", configDir_},
                                                  {"XDG_STATE_HOME", dir_ + "/state"},
                                                  {"XDG_DATA_HOME", dir_ + "/data"},
                                                  {"DBUS_SESSION_BUS_ADDRESS", busAddress_}};
  std::vector<std::string> entries;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry(*e);
    if (env.count(entry.substr(0, entry.find('='))) == 0) entries.push_back(entry);
  }
  for (const auto& [name, value] : env) entries.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> args = argv;
  std::vector<char*> argp;
  for (std::string& arg : args) argp.push_back(arg.data());
  argp.push_back(nullptr);

  const std::string log = dir_ + "/" + logName;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return spawned == 0 ? pid : -1;
}

}  // namespace strophe_e2e
