// posix_spawn rather than fork: the test process may already run threads.
#include "audio/child_process.h"

#include <cerrno>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace audiotest {

namespace {

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string nameOf(const std::string& entry) { return entry.substr(0, entry.find('=')); }

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                         const std::string& outputDir) {
  std::vector<std::string> entries;
  for (char** e = environ; *e != nullptr; ++e) {
    bool replaced = false;
    for (const std::string& change : environment) replaced = replaced || nameOf(change) == nameOf(*e);
    if (!replaced) entries.emplace_back(*e);
  }
  entries.insert(entries.end(), environment.begin(), environment.end());

  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  std::vector<char*> env;
  for (const std::string& e : entries) env.push_back(const_cast<char*>(e.c_str()));
  env.push_back(nullptr);

  const std::string outPath = outputDir + "/stdout.txt";
  const std::string errPath = outputDir + "/stderr.txt";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  const int error = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) throw std::runtime_error("cannot run " + argv[0]);

  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  ProcessResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  return result;
}

}  // namespace audiotest
