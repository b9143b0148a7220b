#include "strings/text_strings.h"

#include "strings/string_set.h"
#include "text/xfont.h"

namespace inkvane {

std::vector<std::u16string> splitLines(const std::u16string& text, const XFont& font) {
  std::vector<std::u16string> lines;
  std::size_t begin = 0;
  while (begin <= text.size()) {
    std::size_t end = text.find(u'\n', begin);
    if (end == std::u16string::npos) end = text.size();
    std::u16string line = cleanLine(text.substr(begin, end - begin), font);
    if (!line.empty()) lines.push_back(std::move(line));
    begin = end + 1;
  }
  return lines;
}

std::u16string cleanLine(const std::u16string& line, const XFont& font) {
  std::u16string out;
  bool spaceDue = false;  // a space was met after text: written before the next character
  for (char16_t ch : line) {
    if (ch == u' ' || ch == u'\u00A0') {
      spaceDue = !out.empty();
    } else if (font.hasCharacter(ch)) {
      if (spaceDue) out.push_back(u' ');
      spaceDue = false;
      out.push_back(ch);
    }
  }
  return out;
}

std::unique_ptr<String> createString(XFont& font, const std::u16string& line, float start, float fontSize) {
  font.setSize(fontSize);
  const int n = static_cast<int>(line.size());
  auto string = std::make_unique<String>(n);
  float sum = 0.0f;
  for (int i = 0; i < n; ++i) {
    float advance = font.getGlyphAdvance(font.getGlyphIndex(line[static_cast<std::size_t>(i)]));
    string->positions[i] = start + sum;
    string->previousPositions[i] = start + sum;
    string->advances[i] = advance;
    string->spacings[i] = i > 0 ? string->positions[i] - string->positions[i - 1] : 0.0f;
    sum += advance;
  }
  string->length = sum;
  string->count = n;
  string->data = std::make_unique<CustomStringData>(line, fontSize);
  return string;
}

void addTextStrings(XFont& font, StringSet& set, const std::vector<std::u16string>& lines, float start,
                    float fontSize) {
  for (const std::u16string& line : lines) {
    set.addString(createString(font, line, start, fontSize));
    start += font.getStringAdvance(line) + set.gap();
  }
}

}  // namespace inkvane
