// Reader for trace files: a little-endian int32 point count followed by that
// many (x, y) pairs of float32, no header and no padding.
#pragma once

#include <vector>

#include "framework/core/stream.h"
#include "framework/core/vector.h"

namespace inkvane {

// The trace's points, in order. A count larger than the remaining bytes can
// hold raises loom::StreamExc before anything is reserved; a negative count
// raises std::length_error; a stream that ends early raises loom::StreamExc.
std::vector<loom::Vector2> readTrace(loom::IStream& stream);

}  // namespace inkvane
