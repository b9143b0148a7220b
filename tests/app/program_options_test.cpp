// A text a person gives, from the arguments (or the page's query) to the
// strings laid on a path, against the embedded font loaded without GL.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/program_options.h"
#include "app/scene_settings.h"
#include "paths/followable_path.h"
#include "strings/given_text.h"
#include "strings/string_set.h"
#include "strings/text_strings.h"
#include "text/xfont.h"

namespace {

using Lines = std::vector<std::u16string>;

inkvane::XFont& font() {
  static inkvane::XFont font(inkvane::InputSource::getResource("../resources/Gelasio_Regular_64.fnt", 127, "DATA"),
                             inkvane::XFont::Properties{}, inkvane::XFontGl::headless());
  return font;
}

inkvane::TextChoice choose(std::vector<std::string> args) {
  args.insert(args.begin(), "strophe");
  return inkvane::chooseText(parseProgramOptions(args).text, SceneSettings().text, font());
}

inkvane::TextChoice chooseFromQuery(const std::string& query) { return choose(argumentsFromQuery(query)); }

TEST(GivenText, BadTextsAreMendedCutOrReplacedByTheBuiltInOne) {
  const Lines builtIn = inkvane::splitLines(SceneSettings().text, font());
  EXPECT_EQ(choose({}).lines, builtIn);
  EXPECT_TRUE(choose({"--ignored", "-x"}).notes.empty());
  const Lines greeting{u"Gr\u00FC\u00DFe", u"\u00E0 tous"};
  EXPECT_EQ(choose({"--text", "Gr\u00FC\u00DFe\\n\u00E0 tous"}).lines, greeting);
  EXPECT_EQ(choose({"--text=Gr\u00FC\u00DFe\n\u00E0  tous "}).lines, greeting);
  EXPECT_EQ(chooseFromQuery("?gate&text=Gr%C3%BC%C3%9Fe%5Cn%C3%A0+tous").lines, greeting);
  EXPECT_EQ(choose({"--text", "--help"}).lines, Lines{u"--help"}) << "a text is never an option";
  EXPECT_EQ(parseProgramOptions({"strophe", "--text", "-v", "-h"}).request, ProgramOptions::Request::Help);

  // Invalid UTF-8, controls and what the font lacks go; the rest stays.
  EXPECT_EQ(choose({"--text", "a\xC3(b\xFF\xED\xA0\x80\xF0\x9F\x98\x80" "c\\"}).lines, Lines{u"a(bc\\"});
  EXPECT_EQ(choose({"--text", "a\tb\rc\x7F\xC2\x85" "d\\x"}).lines, Lines{u"abcd\\x"});
  EXPECT_EQ(chooseFromQuery("text=x%ZZ%4").lines, Lines{u"xZZ"}) << "broken percent-encoding";
  EXPECT_EQ(chooseFromQuery("text=a%00b%0A%0D%C2").lines, Lines{u"ab"}) << "a NUL does not end the text";

  // Nothing to lay: the built-in text, said once.
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--text", ""}, {"--text"}, {"--text", "\xE4\xB8\x80\xE2\x96\xA1 \\n \x01"}, {"--text=\xFF\xFE"}}) {
    const inkvane::TextChoice choice = choose(args);
    EXPECT_EQ(choice.lines, builtIn) << args.back();
    ASSERT_EQ(choice.notes.size(), 1u) << args.back();
  }
  EXPECT_EQ(chooseFromQuery("?text=%E0%A4%A&gate").lines, builtIn);

  // Too long: cut after 8 lines and after 400 code points, said once.
  std::string tenLines;
  for (int i = 0; i < 10; ++i) tenLines += std::to_string(i) + "\\n";
  const inkvane::TextChoice lines = choose({"--text", tenLines});
  EXPECT_EQ(lines.lines.size(), 8u);
  EXPECT_EQ(lines.lines.back(), u"7");
  const inkvane::TextChoice codePoints = choose({"--text", std::string(300, 'x') + std::string(300, '\x01') +
                                                               "\\n" + std::string(1000, 'y')});
  ASSERT_EQ(codePoints.lines.size(), 2u);
  EXPECT_EQ(codePoints.lines[1], std::u16string(99, u'y')) << "the escape is one code point, controls none";
  for (const auto* choice : {&lines, &codePoints}) {
    ASSERT_EQ(choice->notes.size(), 1u);
    EXPECT_EQ(choice->notes[0].rfind("strophe --text: ", 0), 0u) << "neither a failure nor the sound's \"Error message:\"";
  }

  // The longest text on a stroke of 60 px is laid whole and slides without harm.
  std::string longest;
  for (int i = 0; i < 8; ++i) longest += std::string(49, 'W') + "\\n";
  const Lines longLines = choose({"--text", longest}).lines;
  auto path = std::make_shared<inkvane::FollowablePath>(inkvane::FollowablePath::Extrapolated);
  path->add(0, 0);
  path->add(60, 0);
  font().setSize(16.0f);
  inkvane::StringSet set(nullptr, path, 0.0f, font().getSpaceAdvance());
  inkvane::addTextStrings(font(), set, longLines, 0.0f, 16.0f);
  ASSERT_EQ(set.strings().size(), 8u);
  for (int step = 0; step < 120; ++step) set.update(0.0f, 1.0f, SceneSettings().step);
  for (const auto& string : set.strings()) {
    EXPECT_EQ(string->count, 49);
    for (int i = 0; i < string->count; ++i) ASSERT_TRUE(std::isfinite(string->positions[i]));
  }
}

}  // namespace
