// Where a piece of data lives (an embedded resource, an application resource
// file or a file), with the locator string that font and texture caches key on.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "framework/core/data_source.h"
#include "framework/core/exceptions.h"

namespace inkvane {

class InputSource;
using InputSourceRef = std::shared_ptr<InputSource>;

class InputSource {
 public:
  enum Kind { RESOURCE = 0, RESOURCE_MSW = 1, FILE = 2 };

  InputSource(int kind, std::string resourceName, int mswId, std::string mswType,
              std::filesystem::path filePath, std::string filePathHint);

  // An embedded resource found by number and type; the name is its hint.
  static InputSourceRef getResource(const std::string& resourceName, int mswId, const std::string& mswType);
  // A file in the file system; the path as given is its hint.
  static InputSourceRef getFile(const std::filesystem::path& filePath);

  // Null for a kind outside the three; AssetLoadExc when a file is missing;
  // ResourceLoadExc when an embedded resource is.
  loom::DataSourceRef loadDataSource() const;
  // "res://name", "res_msw://<number>/<type>", "file://<absolute path>",
  // "file:://undefined" for a missing file, "" for an unknown kind.
  std::string getURI() const;
  std::filesystem::path getFilePath() const { return filePath_; }
  std::string getFilePathHint() const { return filePathHint_; }
  int getKind() const { return kind_; }

 private:
  int kind_;
  std::string resourceName_;
  int mswId_;
  std::string mswType_;
  std::filesystem::path filePath_;
  std::string filePathHint_;
};

}  // namespace inkvane
