#include "strings/given_text.h"

#include "strings/text_strings.h"

namespace inkvane {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point that starts at bytes[at], and how many bytes it takes: an
// invalid sequence is replaced by U+FFFD and takes the bytes that began it
// validly (at least one), so decoding resumes at the first that did not fit.
char32_t decodeOne(std::string_view bytes, std::size_t at, std::size_t* length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(at);
  *length = 1;
  if (lead < 0x80) return lead;
  int more = 0;
  unsigned char low = 0x80, high = 0xBF;  // bounds of the first continuation byte
  char32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    more = 1;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    more = 2;
    code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    more = 3;
    code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return kReplacement;
  }
  for (int k = 1; k <= more; ++k) {
    if (at + k >= bytes.size()) return kReplacement;
    const unsigned char next = byte(at + k);
    if (next < low || next > high) return kReplacement;
    code = (code << 6) | (next & 0x3F);
    *length = static_cast<std::size_t>(k) + 1;
    low = 0x80;
    high = 0xBF;
  }
  return code;
}

bool isControl(char32_t code) { return code < 0x20 || (code >= 0x7F && code <= 0x9F); }

}  // namespace

DecodedText decodeGivenText(std::string_view bytes) {
  DecodedText out;
  int count = 0;
  bool backslash = false;  // one was read and not written yet: it may begin `\n`
  const auto keep = [&](char32_t code) {
    if (code != u'\n' && isControl(code)) return true;
    if (count == kMaxGivenCodePoints) {
      out.cut = true;
      return false;
    }
    ++count;
    out.text.push_back(code > 0xFFFF ? char16_t{0xFFFD} : static_cast<char16_t>(code));
    return true;
  };
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t length = 1;
    const char32_t code = decodeOne(bytes, at, &length);
    at += length;
    if (backslash) {
      backslash = false;
      if (code == u'n') {
        if (!keep(u'\n')) return out;
        continue;
      }
      if (!keep(u'\\')) return out;
    }
    if (code == u'\\') {
      backslash = true;
      continue;
    }
    if (!keep(code)) return out;
  }
  if (backslash) keep(u'\\');
  return out;
}

TextChoice chooseText(const std::optional<std::string>& given, const std::u16string& builtIn, const XFont& font) {
  TextChoice choice;
  if (given) {
    const DecodedText decoded = decodeGivenText(*given);
    choice.lines = splitLines(decoded.text, font);
    bool cut = decoded.cut;
    if (choice.lines.size() > static_cast<std::size_t>(kMaxGivenLines)) {
      choice.lines.resize(kMaxGivenLines);
      cut = true;
    }
    if (cut)
      choice.notes.push_back("strophe --text: the text is cut after " + std::to_string(kMaxGivenLines) + " lines or " +
                             std::to_string(kMaxGivenCodePoints) + " characters");
    if (!choice.lines.empty()) return choice;
    choice.notes.push_back("strophe --text: nothing in the text is in the font; the built-in text is laid instead");
  }
  choice.lines = splitLines(builtIn, font);
  return choice;
}

}  // namespace inkvane
