// Data sources and locators for the three kinds of input source.
#include "resources/input_source.h"

#include "framework/core/resources.h"

namespace inkvane {

InputSource::InputSource(int kind, std::string resourceName, int mswId, std::string mswType,
                         std::filesystem::path filePath, std::string filePathHint)
    : kind_(kind),
      resourceName_(std::move(resourceName)),
      mswId_(mswId),
      mswType_(std::move(mswType)),
      filePath_(std::move(filePath)),
      filePathHint_(std::move(filePathHint)) {}

InputSourceRef InputSource::getResource(const std::string& resourceName, int mswId, const std::string& mswType) {
  return std::make_shared<InputSource>(RESOURCE_MSW, resourceName, mswId, mswType, std::filesystem::path(),
                                       resourceName);
}

InputSourceRef InputSource::getFile(const std::filesystem::path& filePath) {
  return std::make_shared<InputSource>(FILE, std::string(), 0, std::string(), filePath, filePath.string());
}

namespace {
bool fileExists(const std::filesystem::path& path) {
  std::error_code ignored;
  return !path.empty() && std::filesystem::exists(path, ignored);
}
}  // namespace

loom::DataSourceRef InputSource::loadDataSource() const {
  switch (kind_) {
    case RESOURCE:
    case FILE:
      if (!fileExists(filePath_)) throw loom::app::AssetLoadExc(std::filesystem::path(filePathHint_).string());
      return loom::DataSourcePath::create(filePath_.string());
    case RESOURCE_MSW:
      return loom::app::loadResource(mswId_, mswType_);
    default:
      return nullptr;
  }
}

std::string InputSource::getURI() const {
  switch (kind_) {
    case RESOURCE:
      return "res://" + resourceName_;
    case RESOURCE_MSW:
      return "res_msw://" + std::to_string(mswId_) + "/" + mswType_;
    case FILE: {
      if (!fileExists(filePath_)) return "file:://undefined";
      std::error_code error;
      const std::filesystem::path absolute = std::filesystem::absolute(filePath_, error);
      return "file://" + (error ? filePath_ : absolute).string();
    }
    default:
      return std::string();
  }
}

}  // namespace inkvane
