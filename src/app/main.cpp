// Process entry: answers -v/--version and -h/--help on standard output;
// otherwise hands the application to the framework with the arguments it
// reads its options from (see program_options.h; other arguments are
// ignored). A failure that ends the run becomes one line on standard error
// and status 1.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/application.h"
#include "app/command_line.h"
#include "app/program_options.h"

int main(int argc, char** argv) {
  std::vector<std::string> args = programArguments(argc, argv);
  switch (parseProgramOptions(args).request) {
    case ProgramOptions::Request::Version:
      std::puts("strophe " STROPHE_VERSION);
      return 0;
    case ProgramOptions::Request::Help:
      std::puts("Usage: strophe [-h | --help | -v | --version]  (drag the letters; Return draws a new path)\n"
                "       strophe --text TEXT  (lays TEXT instead of the built-in words; \\n starts a new line)");
      return 0;
    case ProgramOptions::Request::Play:
      break;
  }
  // As strings: a NUL the page's query decodes to must not end its text.
  return loom::app::runAppReportingFailure<Application>("strophe", std::move(args));
}
