// Gives a process an ALSA configuration of its own, complete in itself (the
// machine's is not read, so no plugin installed there is loaded): a default
// device that records what is played into a raw file, one that cannot open,
// or one of the caller's. Set kAlsaConfigVariable to alsaConfigFile(folder)
// in the playing process's environment before it starts audio.
#pragma once

#include <string>
#include <vector>

namespace audiotest {

// ALSA reads this file instead of the system configuration.
constexpr const char* kAlsaConfigVariable = "ALSA_CONFIG_PATH";

// <dir>/alsa/asoundrc, the file the writers below fill.
std::string alsaConfigFile(const std::string& dir);

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it when
// this goes out of scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Writes <dir>/alsa/asoundrc: the default PCM writes every frame played, as
// is, to `file`, by default <dir>/out_<rate>_<channels>_<format>.raw (e.g.
// out_44100_1_FLOAT_LE.raw), over the null device. That device has no clock,
// so a player runs as fast as it can unless `file` is a pipe drained at the
// pace of a sound card: bound the run by time or size.
void writeRecordingAlsaConfig(const std::string& dir, const std::string& file = "");

// Writes <dir>/alsa/asoundrc whose default PCM is a hardware device on a card
// that does not exist, so opening it fails.
void writeUnopenableAlsaConfig(const std::string& dir);

// Writes <dir>/alsa/asoundrc whose default PCM is `pcm` (an ALSA definition
// such as "{ type null }").
void writeAlsaConfig(const std::string& dir, const std::string& pcm);

// The number of lines in a player's stderr when all are its own
// "Error message: " lines; -1 when anything else (a library's chatter) is
// there too.
int errorLines(const std::string& err);

// The samples of a raw recording of little-endian 32-bit floats.
std::vector<float> readFloatSamples(const std::string& path);

}  // namespace audiotest
