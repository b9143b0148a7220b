// Fuzzes a text a person gives, on the command line and in the page's query:
// any bytes become at most 8 lines of at most 400 code points in all, each a
// non-empty line of characters the font lays, with no control character and
// no space at either end, and are laid on a path as strings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/program_options.h"
#include "app/scene_settings.h"
#include "paths/followable_path.h"
#include "strings/given_text.h"
#include "strings/string_set.h"
#include "strings/text_strings.h"
#include "text/xfont.h"

namespace {

inkvane::XFont& font() {
  static inkvane::XFont font(inkvane::InputSource::getResource("../resources/Gelasio_Regular_64.fnt", 127, "DATA"),
                             inkvane::XFont::Properties{}, inkvane::XFontGl::headless());
  return font;
}

void check(const inkvane::TextChoice& choice) {
  if (choice.lines.empty() || choice.lines.size() > static_cast<std::size_t>(inkvane::kMaxGivenLines) ||
      choice.notes.size() > 2)
    std::abort();
  std::size_t total = 0;
  for (const std::u16string& line : choice.lines) {
    if (line.empty() || line.front() == u' ' || line.back() == u' ') std::abort();
    for (char16_t ch : line)
      if (ch < 0x20 || !font().hasCharacter(ch)) std::abort();
    total += line.size();
  }
  if (total > static_cast<std::size_t>(inkvane::kMaxGivenCodePoints)) std::abort();

  auto path = std::make_shared<inkvane::FollowablePath>(inkvane::FollowablePath::Extrapolated);
  path->add(0, 0);
  path->add(100, 50);
  inkvane::StringSet set(nullptr, path, 0.0f, font().getSpaceAdvance());
  inkvane::addTextStrings(font(), set, choice.lines, 0.0f, SceneSettings().fontSize);
  set.update(0.0f, 1.0f, SceneSettings().step);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string builtIn = SceneSettings().text;
  check(inkvane::chooseText(parseProgramOptions({"strophe", "--text", bytes}).text, builtIn, font()));
  check(inkvane::chooseText(parseProgramOptions(argumentsFromQuery(bytes)).text, builtIn, font()));
  return 0;
}
