// Trace files: their layout, and the malformed ones that must fail cleanly.
#include <gtest/gtest.h>

#include <stdexcept>

#include "framework/exceptions.h"
#include "paths/followable_path.h"
#include "trace_bytes.h"

using inkvane::FollowablePath;
using paths_test::bufferSource;
using paths_test::traceBytes;

namespace {

TEST(TraceFile, ReadsPointsInOrderAndIgnoresTrailingBytes) {
  auto bytes = traceBytes({{1, 2}, {4, 6}, {4, 6.5f}});
  bytes.insert(bytes.end(), {0xde, 0xad, 0xbe});
  const FollowablePath path(FollowablePath::Clamped, bufferSource(bytes));
  EXPECT_EQ(path.mode(), FollowablePath::Clamped);
  ASSERT_EQ(path.count(), 3);
  EXPECT_EQ(path.xs(), (std::vector<float>{1, 4, 4}));
  EXPECT_EQ(path.ys(), (std::vector<float>{2, 6, 6.5f}));
  EXPECT_FLOAT_EQ(path.totalLength(), 5.5f);
}

TEST(TraceFile, ZeroCountIsAnEmptyPath) {
  const FollowablePath path(FollowablePath::Extrapolated, bufferSource(traceBytes({})));
  EXPECT_EQ(path.count(), 0);
  EXPECT_EQ(path.totalLength(), 0.0f);
}

TEST(TraceFile, MalformedFilesFailWithoutReadingPastTheEnd) {
  // Shorter than the count field.
  EXPECT_THROW(FollowablePath(FollowablePath::Extrapolated, bufferSource({1, 0})), loom::StreamExc);
  // Last point cut in half.
  auto truncated = traceBytes({{1, 2}, {3, 4}});
  truncated.resize(truncated.size() - 2);
  EXPECT_THROW(FollowablePath(FollowablePath::Extrapolated, bufferSource(truncated)), loom::StreamExc);
  // Two billion points claimed by a 4-byte file: refused before reserving 16 GB.
  EXPECT_THROW(FollowablePath(FollowablePath::Extrapolated, bufferSource(traceBytes({}, 2000000000))),
               loom::StreamExc);
  EXPECT_THROW(FollowablePath(FollowablePath::Extrapolated, bufferSource(traceBytes({{1, 2}}, -1 - 4))),
               std::length_error);
}

}  // namespace
