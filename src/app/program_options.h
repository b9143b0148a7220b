// What the program is asked for: on the desktop its command line, in the page
// its address's query, which stands for the same options.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ProgramOptions {
  enum class Request { Play, Help, Version };
  Request request = Request::Play;  // the first of -h/--help and -v/--version
  // The last --text TEXT or --text=TEXT, as given: untrusted bytes.
  std::optional<std::string> text;
};

// Reads `args` after the program's name (args[0]); any other argument is
// ignored. The value after --text is never read as an option, so a text may
// be "--help".
ProgramOptions parseProgramOptions(const std::vector<std::string>& args);

// The arguments the page's query (`location.search`, with or without its
// '?') stands for: its last `text=…` as --text=…, percent-decoded with '+' a
// space and a '%' not followed by two hex digits (and the one hex digit after
// it, if any) as U+FFFD. Every other field is left to the page.
std::vector<std::string> argumentsFromQuery(std::string_view query);
