// A text a person gives in place of the built-in one (on the command line or in
// the page's address), as untrusted bytes: decoded, kept within bounds, and
// turned into the lines laid on every path, or the built-in text's when it
// holds nothing the font can show.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace inkvane {

class XFont;

constexpr int kMaxGivenLines = 8;
constexpr int kMaxGivenCodePoints = 400;

struct DecodedText {
  std::u16string text;
  bool cut = false;  // code points past kMaxGivenCodePoints were left out
};

// Reads `bytes` as UTF-8, each invalid sequence becoming U+FFFD (and so does
// a character beyond U+FFFF, which no font here has); the two characters `\n`
// become a line feed; control characters other than the line feed go; reading
// stops after kMaxGivenCodePoints.
DecodedText decodeGivenText(std::string_view bytes);

struct TextChoice {
  std::vector<std::u16string> lines;  // cleaned against the font, never empty ones
  // One line each for the person who gave the text: that it was cut, that
  // the built-in text is laid instead.
  std::vector<std::string> notes;
};

// The lines to lay: the given text's, at most kMaxGivenLines of them, or the
// built-in text's when none was given or it left no line to lay.
TextChoice chooseText(const std::optional<std::string>& given, const std::u16string& builtIn, const XFont& font);

}  // namespace inkvane
