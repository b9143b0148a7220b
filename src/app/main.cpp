// Process entry: answers -v/--version and -h/--help on standard output; otherwise
// hands the application to the framework (other arguments are ignored). A
// failure that ends the run becomes one line on standard error and status 1.
#include <cstdio>
#include <cstring>

#include "app/application.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "-v") == 0 || std::strcmp(arg, "--version") == 0) {
      std::puts("strophe " STROPHE_VERSION);
      return 0;
    }
    if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
      std::puts("Usage: strophe [-h | --help | -v | --version]  (drag the letters; Return draws a new path)");
      return 0;
    }
  }
  return loom::app::runAppReportingFailure<Application>("strophe", argc, argv);
}
