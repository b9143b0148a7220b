// Loading the program's embedded assets by number and type.
#pragma once

#include <string>

#include "framework/core/data_source.h"

namespace loom::app {

// A data source over the embedded bytes; ResourceLoadExc when there is none.
DataSourceRef loadResource(int number, const std::string& type);

}  // namespace loom::app
