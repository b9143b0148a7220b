#include <cstdio>

#include "app/command_line.h"

std::vector<std::string> programArguments(int argc, char** argv) { return {argv, argv + argc}; }

void printCommandLineNote(const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }
