// The page's address is its command line: a link with ?text=… is one a person
// can send. The query is read by the program and goes nowhere but the canvas.
#include <emscripten/emscripten.h>

#include "app/command_line.h"
#include "app/program_options.h"

EM_JS(int, strophe_page_query_bytes, (), { return lengthBytesUTF8(window.location.search); });

EM_JS(void, strophe_page_query_copy, (char* out, int size), { stringToUTF8(window.location.search, out, size); });

std::vector<std::string> programArguments(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  const int bytes = strophe_page_query_bytes();
  std::string query(static_cast<std::size_t>(bytes) + 1, '\0');  // with room for the terminator written
  strophe_page_query_copy(query.data(), bytes + 1);
  query.resize(static_cast<std::size_t>(bytes));
  for (std::string& arg : argumentsFromQuery(query)) args.push_back(std::move(arg));
  return args;
}

void printCommandLineNote(const std::string&) {}
