// Allocation of a string's per-glyph arrays, done once for its whole life.
#include "strings/glyph_string.h"

#include <algorithm>

namespace inkvane {

String::String(int glyphCapacity) {
  const auto n = static_cast<std::size_t>(std::max(glyphCapacity, 0));
  for (std::vector<float>* array :
       {&advances, &positions, &previousPositions, &forces, &tangentsX, &tangentsY, &spacings}) {
    array->assign(n, 0.0f);
  }
}

}  // namespace inkvane
