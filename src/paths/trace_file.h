// Reader for trace files: a little-endian int32 point count followed by that
// many (x, y) pairs of float32, no header and no padding.
#pragma once

#include "framework/stream.h"

namespace inkvane {

class FollowablePath;

// Appends the trace's points to path. A count larger than the remaining bytes
// can hold raises loom::StreamExc before anything is reserved; a negative count
// raises std::length_error; a stream that ends early raises loom::StreamExc.
void readTrace(loom::IStream& stream, FollowablePath& path);

}  // namespace inkvane
