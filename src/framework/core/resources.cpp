#include "framework/core/resources.h"

#include <cstring>

#include "framework/core/exceptions.h"
#include "framework/core/resource_table.h"

namespace loom::app {

namespace {
std::string resourceMessage(int number, const std::string& type) {
  return "Failed to load resource: #" + std::to_string(number) + " type: " + type;
}
}  // namespace

ResourceLoadExc::ResourceLoadExc(int number, const std::string& type)
    : Exception(resourceMessage(number, type)) {}

const EmbeddedResource* findResource(const ResourceTable& table, int number, const char* type) {
  for (std::size_t i = 0; i < table.count; ++i) {
    const EmbeddedResource& r = table.entries[i];
    if (r.number == number && std::strcmp(r.type, type) == 0) return &r;
  }
  return nullptr;
}

DataSourceRef loadResource(int number, const std::string& type) {
  const EmbeddedResource* r = findResource(embeddedResources(), number, type.c_str());
  if (!r) throw ResourceLoadExc(number, type);
  return DataSourceBuffer::create(Buffer::borrowed(r->data, r->size));
}

}  // namespace loom::app
