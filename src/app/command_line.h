// The program's command line as each build has one: on the desktop its
// arguments and standard error; in the page the address's query
// (argumentsFromQuery) and no notes at all, since the page's standard error is
// the browser's console.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> programArguments(int argc, char** argv);

// Writes one line about the command line for the person who gave it.
void printCommandLineNote(const std::string& line);
