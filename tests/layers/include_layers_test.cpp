// Reads which library every file of src/ belongs to and which libraries each
// library uses (written by CMake from strophe_library's SOURCES and DEPS), then
// every quoted include of every file under src/.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Layers {
  std::map<std::string, std::set<std::string>> uses;  // library -> the libraries it names in DEPS
  std::map<std::string, std::string> owner;          // file under src/ -> its library
};

Layers readLayers() {
  Layers layers;
  std::ifstream in(STROPHE_LAYERS_FILE);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string kind, name, word;
    words >> kind >> name;
    if (kind == "library") {
      auto& uses = layers.uses[name];
      while (words >> word) uses.insert(word);
    } else if (kind == "file" && words >> word) {
      layers.owner[word] = name;
    }
  }
  return layers;
}

// Every library `library` may include headers of: itself and what its DEPS reach.
std::set<std::string> reach(const Layers& layers, const std::string& library) {
  std::set<std::string> seen{library};
  std::vector<std::string> open{library};
  while (!open.empty()) {
    const std::string next = open.back();
    open.pop_back();
    const auto it = layers.uses.find(next);
    if (it == layers.uses.end()) continue;
    for (const std::string& used : it->second)
      if (seen.insert(used).second) open.push_back(used);
  }
  return seen;
}

// The headers of src/ that `file` includes (paths under src/).
std::vector<std::string> includesOf(const fs::path& file, const fs::path& src) {
  static const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
  std::vector<std::string> found;
  std::ifstream in(file);
  std::string line;
  std::smatch match;
  while (std::getline(in, line))
    if (std::regex_search(line, match, include) && fs::exists(src / match[1].str())) found.push_back(match[1]);
  return found;
}

// A module is a header with its source file: "paths/followable_path".
std::string moduleOf(const std::string& file) { return fs::path(file).replace_extension().string(); }

TEST(IncludeLayers, EveryFileIncludesOnlyItsOwnAndLowerLayersAndNoModulesIncludeEachOther) {
  const Layers layers = readLayers();
  ASSERT_FALSE(layers.owner.empty()) << "no layers recorded in " << STROPHE_LAYERS_FILE;
  const fs::path src = fs::path(STROPHE_SOURCE_DIR) / "src";

  std::map<std::string, std::set<std::string>> moduleUses;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    const std::string extension = entry.path().extension().string();
    if (extension != ".h" && extension != ".cpp") continue;
    const std::string file = fs::relative(entry.path(), src).string();
    const auto owner = layers.owner.find(file);
    if (owner == layers.owner.end()) {
      ADD_FAILURE() << file << " belongs to no library: list it in its folder's strophe_library SOURCES";
      continue;
    }
    const std::set<std::string> allowed = reach(layers, owner->second);
    for (const std::string& header : includesOf(entry.path(), src)) {
      const auto headerOwner = layers.owner.find(header);
      if (headerOwner == layers.owner.end()) continue;  // reported as a file of its own
      EXPECT_TRUE(allowed.count(headerOwner->second))
          << file << " (" << owner->second << ") includes " << header << " of " << headerOwner->second
          << ", which its library's DEPS do not reach";
      if (moduleOf(header) != moduleOf(file)) moduleUses[moduleOf(file)].insert(moduleOf(header));
    }
  }

  // A depth-first search that reports the first cycle it closes.
  std::map<std::string, int> state;  // 1 on the current path, 2 done
  std::vector<std::string> path;
  std::function<void(const std::string&)> visit = [&](const std::string& module) {
    state[module] = 1;
    path.push_back(module);
    for (const std::string& used : moduleUses[module]) {
      if (state[used] == 1) {
        std::string cycle;
        for (auto it = std::find(path.begin(), path.end(), used); it != path.end(); ++it) cycle += *it + " -> ";
        ADD_FAILURE() << "modules include each other: " << cycle << used;
      } else if (state[used] == 0) {
        visit(used);
      }
    }
    path.pop_back();
    state[module] = 2;
  };
  for (const auto& [module, uses] : std::map(moduleUses))
    if (state[module] == 0) visit(module);
}

}  // namespace
