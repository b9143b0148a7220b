#include <gtest/gtest.h>

#include <vector>

#include "framework/core/data_source.h"
#include "framework/core/exceptions.h"
#include "framework/core/resources.h"

namespace {

loom::IStreamRef memStream(const std::vector<std::uint8_t>& bytes) {
  return loom::DataSourceBuffer::create(loom::Buffer(bytes))->createStream();
}

TEST(Stream, ReadsPastTheEndThrowAndReadNothing) {
  auto s = memStream({0x01, 0x02, 0x03, 0x04, 0xff, 0xff, 0xff, 0xff, 5, 6});
  EXPECT_EQ(s->readInt32(), 0x04030201) << "little-endian";
  EXPECT_EQ(s->readInt32(), -1);
  std::uint8_t out[4] = {9, 9, 9, 9};
  EXPECT_THROW(s->readData(out, 3), loom::StreamExc);
  EXPECT_THROW(s->readInt32(), loom::StreamExc);
  EXPECT_EQ(s->tell(), 8u) << "a failed read must not move the position";
  EXPECT_EQ(out[0], 9) << "nor write anything";
  EXPECT_FALSE(s->isEof());
  s->readData(out, 2);
  EXPECT_EQ(out[0], 5);
  EXPECT_TRUE(s->isEof());
  EXPECT_THROW(s->readData(out, 1), loom::StreamExc);
}

TEST(Stream, FixedStringStopsAtFirstZeroButConsumesAll) {
  auto s = memStream({'X', 'F', 0, 'Z', 'Q', 'A'});
  EXPECT_EQ(s->readFixedString(5), "XF");
  EXPECT_EQ(s->tell(), 5u);
  EXPECT_EQ(s->readFixedString(1), "A");
  auto t = memStream({'a', 'b'});
  EXPECT_THROW(t->readFixedString(3), loom::StreamExc);
  EXPECT_EQ(t->tell(), 0u);
}

TEST(Stream, FileSourceReadsTheFilesBytes) {
  // The trace file is embedded as it is: both sources give the same bytes.
  auto source = loom::DataSourcePath::create(STROPHE_SOURCE_DIR "/assets/traces/trace_2.dat");
  EXPECT_TRUE(source->isFilePath());
  const loom::Buffer embedded = loom::app::loadResource(132, "DATA")->getBuffer();
  const loom::Buffer read = source->getBuffer();
  ASSERT_EQ(read.size(), embedded.size());
  EXPECT_TRUE(std::equal(read.data(), read.data() + read.size(), embedded.data()));
  auto s = source->createStream();
  EXPECT_EQ(s->size(), embedded.size());
  EXPECT_EQ(s->readInt32(), 611);
  EXPECT_THROW(loom::DataSourcePath::create("/nonexistent/strophe")->createStream(), loom::StreamExc);
}

}  // namespace
