// Runs a program as a child process with a few environment variables changed,
// for tests whose subject reads its environment once (audio start-up does).
#pragma once

#include <string>
#include <vector>

namespace audiotest {

struct ProcessResult {
  int exitCode = -1;  // -1 when the child died of a signal
  std::string out;    // everything it wrote to stdout
  std::string err;    // everything it wrote to stderr
};

// Runs argv[0] with the arguments argv[1...] in this process's environment,
// where every "NAME=value" of `environment` replaces or adds NAME. Its stdout
// and stderr go to stdout.txt and stderr.txt in outputDir. Waits for the end.
ProcessResult runProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                         const std::string& outputDir);

}  // namespace audiotest
