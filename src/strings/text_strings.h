// Turning a text into the strings of a set: lines cut at line feeds, cleaned
// against the font, and laid end to end along the set's path with the font's
// advances.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "paths/ribbon.h"
#include "strings/client_data.h"
#include "strings/glyph_string.h"

namespace inkvane {

class StringSet;
class XFont;

// What the application keeps on each string: the line it shows and the size
// it was laid out with.
class CustomStringData : public StringData {
 public:
  CustomStringData(std::u16string text, float fontSize) : text(std::move(text)), fontSize(fontSize) {}
  std::u16string text;
  float fontSize;
};

// What the application keeps on each set: the ribbon drawn under its text.
class CustomStringSetData : public StringSetData {
 public:
  Ribbon ribbon;
};

// Every line feed ends a line; lines that clean to nothing are dropped.
std::vector<std::u16string> splitLines(const std::u16string& text, const XFont& font);

// Characters the font cannot lay are dropped (an invisible square would still
// be a glyph that sings); a no-break space counts as a space; leading and
// trailing spaces go and runs of spaces shrink to one, which keeps the font's
// space advance.
std::u16string cleanLine(const std::u16string& line, const XFont& font);

// A string for `line` whose glyphs start at `start` pixels along the path and
// follow each other by the font's advances at `fontSize`.
std::unique_ptr<String> createString(XFont& font, const std::u16string& line, float start, float fontSize);

// Adds one string per line to the set, end to end from `start`, one gap apart.
void addTextStrings(XFont& font, StringSet& set, const std::vector<std::u16string>& lines, float start,
                    float fontSize);

}  // namespace inkvane
