#include "app/program_options.h"

#include <algorithm>

namespace {

constexpr std::string_view kTextOption = "--text";
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";  // U+FFFD

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string percentDecoded(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (c == '+') {
      out.push_back(' ');
    } else if (c != '%') {
      out.push_back(c);
    } else {
      const int high = i + 1 < field.size() ? hexValue(field[i + 1]) : -1;
      const int low = i + 2 < field.size() ? hexValue(field[i + 2]) : -1;
      if (high >= 0 && low >= 0) {
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
      } else {
        out.append(kReplacementUtf8);
        if (high >= 0) ++i;
      }
    }
  }
  return out;
}

}  // namespace

ProgramOptions parseProgramOptions(const std::vector<std::string>& args) {
  ProgramOptions options;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == kTextOption) {
      // Nothing after it is an empty text, which lays the built-in one.
      options.text = i + 1 < args.size() ? args[++i] : std::string();
    } else if (arg.compare(0, kTextOption.size() + 1, std::string(kTextOption) + "=") == 0) {
      options.text = arg.substr(kTextOption.size() + 1);
    } else if (options.request != ProgramOptions::Request::Play) {
      continue;
    } else if (arg == "-h" || arg == "--help") {
      options.request = ProgramOptions::Request::Help;
    } else if (arg == "-v" || arg == "--version") {
      options.request = ProgramOptions::Request::Version;
    }
  }
  return options;
}

std::vector<std::string> argumentsFromQuery(std::string_view query) {
  if (!query.empty() && query.front() == '?') query.remove_prefix(1);
  std::optional<std::string> text;
  while (!query.empty()) {
    const std::size_t end = std::min(query.find('&'), query.size());
    const std::string_view field = query.substr(0, end);
    query.remove_prefix(std::min(end + 1, query.size()));
    const std::size_t equals = field.find('=');
    if (field.substr(0, equals) == "text")
      text = equals == std::string_view::npos ? std::string() : percentDecoded(field.substr(equals + 1));
  }
  if (!text) return {};
  return {std::string(kTextOption) + "=" + *text};
}
