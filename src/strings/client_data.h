// Bases for the application's own data on strings and sets; the owner deletes
// the data through them.
#pragma once

namespace inkvane {

class StringData {
 public:
  virtual ~StringData() = default;
};

class StringSetData {
 public:
  virtual ~StringSetData() = default;
};

}  // namespace inkvane
