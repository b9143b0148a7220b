// The program on a real sound server that goes away while it plays: it keeps
// drawing, writes at most a few error lines, goes back to its usual CPU use,
// closes at once, and is heard again when the server comes back.
#include <gtest/gtest.h>

#include <memory>

#include "audio/recorded_sound.h"
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

TEST_F(LostSoundServer, RestartedServerIsHeardAgainWithinThreeSeconds) {
  ASSERT_GT(startOnServer().width, 0);
  ASSERT_TRUE(heard(1.0)) << "the program was not heard while its words slide";
  server->kill();
  sleepSeconds(1.0);
  std::string why;
  ASSERT_TRUE(server->start(&why)) << why;
  EXPECT_TRUE(heard(3.0)) << "not heard within 3 s of the server's return";
  // The loss once, the recovery not at all.
  EXPECT_EQ(audiotest::errorLines(programErrors()), 1);
  program->requestClose();
  EXPECT_EQ(program->waitExit(1.0), 0);
}

}  // namespace
}  // namespace strophe_e2e
