// The table of assets compiled into the executable, keyed by (number, type).
// The build generates its definition from assets/; loadResource looks here.
#pragma once

#include <cstddef>

namespace loom::app {

struct EmbeddedResource {
  int number;
  const char* type;
  const unsigned char* data;
  std::size_t size;
};

struct ResourceTable {
  const EmbeddedResource* entries;
  std::size_t count;
};

// Defined by the generated asset library.
ResourceTable embeddedResources();

// The entry with this number and type (types compare case-sensitively), or null.
const EmbeddedResource* findResource(const ResourceTable& table, int number, const char* type);

}  // namespace loom::app
