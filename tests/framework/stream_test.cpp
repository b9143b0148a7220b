#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/data_source.h"
#include "framework/exceptions.h"

namespace {

loom::IStreamRef memStream(const std::vector<std::uint8_t>& bytes) {
  return loom::DataSourceBuffer::create(loom::Buffer(bytes))->createStream();
}

TEST(Stream, ReadPastTheEndThrowsAndReadsNothing) {
  auto s = memStream({1, 2, 3, 4, 5, 6});
  std::uint8_t out[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  s->readData(out, 4);
  EXPECT_EQ(s->tell(), 4u);
  EXPECT_THROW(s->readData(out, 3), loom::StreamExc);
  EXPECT_EQ(s->tell(), 4u) << "a failed read must not move the position";
  EXPECT_EQ(out[0], 1);
  EXPECT_FALSE(s->isEof());
  s->readData(out, 2);
  EXPECT_EQ(out[0], 5);
  EXPECT_TRUE(s->isEof());
  EXPECT_THROW(s->readData(out, 1), loom::StreamExc);
}

TEST(Stream, Int32IsLittleEndian) {
  auto s = memStream({0x01, 0x02, 0x03, 0x04, 0xff, 0xff, 0xff, 0xff});
  EXPECT_EQ(s->readInt32(), 0x04030201);
  EXPECT_EQ(s->readInt32(), -1);
  EXPECT_THROW(s->readInt32(), loom::StreamExc);
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

TEST(Stream, FileSourceReadsTheSameBytes) {
  char path[] = "/tmp/strophe_stream_XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  const char content[] = "hello";
  ASSERT_EQ(write(fd, content, 5), 5);
  close(fd);
  auto source = loom::DataSourcePath::create(path);
  EXPECT_TRUE(source->isFilePath());
  auto s = source->createStream();
  EXPECT_EQ(s->size(), 5u);
  EXPECT_EQ(s->readFixedString(5), "hello");
  EXPECT_THROW(s->readInt32(), loom::StreamExc);
  EXPECT_EQ(source->getBuffer().size(), 5u);
  std::remove(path);
  EXPECT_THROW(loom::DataSourcePath::create("/nonexistent/strophe")->createStream(), loom::StreamExc);
}

}  // namespace
