// The program on a real sound server that goes away while it plays: it keeps
// drawing, writes at most a few error lines, goes back to its usual CPU use,
// closes at once, and is heard again when the server comes back, fading in.
#include <gtest/gtest.h>

#include <signal.h>

#include <cmath>
#include <memory>

#include "audio/recorded_sound.h"
#include "e2e/scene_path.h"
#include "e2e/sound_server.h"
#include "e2e/strophe_fixture.h"

namespace strophe_e2e {
namespace {

class LostSoundServer : public StropheTest {
 protected:
  void SetUp() override {
    server = std::make_unique<SoundServer>(dir.path() + "/server");
    std::string why;
    if (!server->start(&why)) GTEST_SKIP() << "no sound server can run here: " << why;
  }

  Image startOnServer() {
    environment = server->clientEnvironment();
    return start(server->alsaConfigDir());
  }

  bool heard(double seconds) {
    const std::vector<float> played = server->record(seconds);
    return audiotest::peak(played, 0, played.size()) > 0.0f;
  }

  // CPU seconds the program used per second over the next `seconds`.
  double cpuRate(double seconds) {
    const double before = cpuSeconds(program->pid());
    sleepSeconds(seconds);
    return (cpuSeconds(program->pid()) - before) / seconds;
  }

  std::unique_ptr<SoundServer> server;
};

TEST_F(LostSoundServer, ProgramKeepsDrawingStaysQuietAndIdleAndClosesAtOnce) {
  ASSERT_GT(startOnServer().width, 0);
  ASSERT_TRUE(heard(1.5)) << "the program was not heard while its words slide";
  EXPECT_EQ(audiotest::errorLines(programErrors()), 0);
  const double playing = cpuRate(2.0);

  server->kill();
  const double lost = cpuRate(5.0);
  EXPECT_LE(lost, 2.0 * playing) << "CPU seconds per second: " << playing << " playing, " << lost << " after";
  const int lines = audiotest::errorLines(programErrors());
  EXPECT_GE(lines, 1) << "the loss was not reported";
  EXPECT_LE(lines, 3);

  // By now the words swing about their resting places and pass through the
  // same picture again and again, so two captures can match while the program
  // draws. A Return must clear the canvas: only a running frame loop shows
  // that. Asserted, so a stalled program is still there for the state report.
  program->typeReturn();
  ASSERT_GT(program->waitForCapture(showsBlankCanvas).width, 0) << "the program stopped drawing";
  program->requestClose();
  EXPECT_EQ(program->waitExit(1.0), 0);
}

// A held string sings at a steady loudness, which would come back as a click
// if the tone resumed where it stopped.
TEST_F(LostSoundServer, AfterHalfAMinuteWithoutTheServerTheHeldToneFadesBackIn) {
  ASSERT_GT(startOnServer().width, 0);
  const auto path = builtInPath();
  const float rear = stillRearOfText(*program, *path);
  ASSERT_FALSE(std::isnan(rear));
  const auto middle = pointsAlong(*path, rear + 35.0f, rear + 35.0f, 1.0f).front();
  program->moveTo(middle.first, middle.second);
  program->press();
  ASSERT_TRUE(heard(1.0)) << "the held string was not heard";
  const double playing = cpuRate(2.0);

  server->kill();
  const double lost = cpuRate(30.0);
  EXPECT_LE(lost, 2.0 * playing) << "CPU seconds per second: " << playing << " playing, " << lost << " without server";
  // The program waits, stopped, until the recorder listens, so the recording
  // holds the first samples it plays again.
  ::kill(program->pid(), SIGSTOP);
  std::string why;
  const bool back = server->start(&why);
  if (back) server->startRecording();
  sleepSeconds(1.0);
  ::kill(program->pid(), SIGCONT);
  ASSERT_TRUE(back) << why;

  std::vector<float> played;
  std::size_t first = 0;
  constexpr std::size_t kBuffer = 512;
  for (double waited = 0.0; waited < 15.0; waited += 0.25) {
    sleepSeconds(0.25);
    played = server->recorded();
    first = audiotest::firstNonZero(played);
    if (first + kBuffer <= played.size()) break;
  }
  server->stopRecording();
  ASSERT_LE(first + kBuffer, played.size()) << "not heard within 15 s of the server's return";
  // At full loudness the held tone's first buffer would peak near 0.1.
  EXPECT_LT(audiotest::peak(played, first, kBuffer), 0.01f) << "the held tone did not fade in";
  // The loss once, the recovery not at all.
  EXPECT_EQ(audiotest::errorLines(programErrors()), 1) << programErrors();
  program->release();
  program->requestClose();
  EXPECT_EQ(program->waitExit(1.0), 0);
}

}  // namespace
}  // namespace strophe_e2e
