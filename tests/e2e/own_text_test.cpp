// A person's own words: `strophe --text` lays them instead of the built-in
// text, at start and on every new path, each stepped to the frame it is laid
// in through the frame gate, so the letters still lie where they were laid.
#include <gtest/gtest.h>

#include "app/scene_settings.h"
#include "e2e/scene_path.h"
#include "e2e/stroke.h"
#include "e2e/strophe_fixture.h"
#include "strings/text_strings.h"
#include "text/xfont.h"

namespace strophe_e2e {
namespace {

using OwnText = StropheTest;

// How long `text` is laid: its lines' advances, one space apart.
float laidLength(const std::u16string& text) {
  inkvane::XFont font(inkvane::InputSource::getResource("../resources/Gelasio_Regular_64.fnt", 127, "DATA"),
                      inkvane::XFont::Properties{}, inkvane::XFontGl::headless());
  font.setSize(SceneSettings().fontSize);
  const std::vector<std::u16string> lines = inkvane::splitLines(text, font);
  float length = static_cast<float>(lines.size() - 1) * font.getSpaceAdvance();
  for (const std::u16string& line : lines) length += font.getStringAdvance(line);
  return length;
}

float inkSpan(const std::vector<float>& along) { return along.empty() ? 0.0f : along.back() - along.front(); }

TEST_F(OwnText, TheGivenWordsAreLaidAtStartAndOnEveryNewPath) {
  LaunchOptions options;
  options.frameGate = true;
  options.args = {"--text", "Gr\u00FC\u00DFe\\n\u00E0 tous"};
  launch("", options);
  ASSERT_TRUE(program->waitForWindow("strophe | "));
  const Image first = program->waitForCapture(showsScene);
  ASSERT_GT(first.width, 0) << "no text at start";
  const float given = laidLength(u"Gr\u00FC\u00DFe\n\u00E0 tous"), builtIn = laidLength(SceneSettings().text);
  ASSERT_GT(builtIn - given, 60.0f);
  const float atStart = inkSpan(lettersAlong(first, *builtInPath(), 20.0f, kPlayground));
  EXPECT_NEAR(atStart, given, 10.0f) << "the built-in text spans " << builtIn;

  program->typeReturn();
  ASSERT_TRUE(program->advanceFrames(2));
  ASSERT_TRUE(showsBlankCanvas(program->capture()));
  const inkvane::FollowablePath stroke = sCurve();
  const auto points = pointsAlong(stroke, 0.0f, stroke.totalLength(), 6.0f);
  program->moveTo(points.front().first, points.front().second);
  program->press();
  for (const auto& [x, y] : points) {
    program->moveTo(x, y);
    ASSERT_TRUE(program->advanceFrames(1));
  }
  program->release();
  ASSERT_TRUE(program->advanceFrames(1));
  const Image laid = program->capture();
  ASSERT_TRUE(showsScene(laid)) << "no text on the new path";
  const std::vector<float> letters = lettersAlong(laid, stroke, 25.0f);
  EXPECT_GT(letters.size(), countInk(laid).letter * 95 / 100) << "the letters lie on the new path";
  EXPECT_NEAR(inkSpan(letters), given, 10.0f);
  EXPECT_EQ(programErrors().find("strophe --text:"), std::string::npos) << "nothing to say about this text";
}

}  // namespace
}  // namespace strophe_e2e
