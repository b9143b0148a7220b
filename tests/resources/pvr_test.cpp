// The PVR container readers and header checks, headless: every message from
// a crafted file, and the bounds the readers keep on hostile sizes.
#include <gtest/gtest.h>

#include <stdexcept>

#include "resources/pvr.h"
#include "resources/pvr_builder.h"
#include "resources/temp_file.h"
#include "support/allocation_probe.h"

namespace {

using strophe_test::makeCcz;
using strophe_test::makePvr;
using Bytes = std::vector<std::uint8_t>;

template <typename F>
std::string messageOf(F f) {
  try {
    f();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "no error";
}

Bytes bytesOf(const loom::Buffer& buffer) { return Bytes(buffer.data(), buffer.data() + buffer.size()); }

TEST(PvrCcz, ReadsTheContentAndReportsEachFault) {
  const auto pvr = makePvr(4, 4, 0x1B, 16);
  const auto ccz = makeCcz(pvr);
  EXPECT_EQ(bytesOf(inkvane::loadPvrCcz(loom::DataSourceBuffer::create(loom::Buffer(ccz)))), pvr);
  // A declared length beyond the content keeps only the bytes produced, so
  // the upload's bounds check sees the real size.
  const auto generous = makeCcz(pvr, 0, 1, 100000);
  EXPECT_EQ(inkvane::readPvrCcz(generous.data(), generous.size()).size(), pvr.size());
  // A texture a header's length over a power of two reserves just its size.
  const auto large = makePvr(1024, 1024, 0x12, 1024 * 1024 * 4);
  const auto packed = makeCcz(large);
  strophe_test::watchAllocations();
  EXPECT_EQ(inkvane::readPvrCcz(packed.data(), packed.size()).size(), large.size());
  EXPECT_EQ(strophe_test::largestAllocation(), large.size());

  const auto message = [](const Bytes& b) { return messageOf([&] { inkvane::readPvrCcz(b.data(), b.size()); }); };
  auto badSignature = ccz;
  badSignature[2] = 'X';
  EXPECT_EQ(message(badSignature), "PVR.CCZ: FORMAT ERROR");
  EXPECT_EQ(message(Bytes(ccz.begin(), ccz.begin() + 15)), "PVR.CCZ: FORMAT ERROR") << "shorter than the header";
  EXPECT_EQ(message({}), "PVR.CCZ: FORMAT ERROR");
  EXPECT_EQ(message(makeCcz(pvr, 1)), "PVR.CCZ: UNSUPPORTED COMPRESSION FORMAT");
  EXPECT_EQ(message(makeCcz(pvr, 1, 3)), "PVR.CCZ: UNSUPPORTED COMPRESSION FORMAT");
  EXPECT_EQ(message(makeCcz(pvr, 0, 3)), "PVR.CCZ: UNSUPPORTED VERSION");
  EXPECT_EQ(message(makeCcz(pvr, 0, 0, 0xFFFFFFF0)), "PVR.CCZ: OUT-OF-MEMORY");
  EXPECT_EQ(message(makeCcz(pvr, 0, 0, 67)), "PVR.CCZ: DECOMPRESSION ERROR") << "content longer than declared";
  EXPECT_EQ(message(Bytes(ccz.begin(), ccz.end() - 5)), "PVR.CCZ: DECOMPRESSION ERROR");
  auto garbage = ccz;
  garbage[17] ^= 0xFF;
  EXPECT_EQ(message(garbage), "PVR.CCZ: DECOMPRESSION ERROR");
}

TEST(PvrGz, ReadsTheFileAndReportsEachFault) {
  const auto message = [](const Bytes& content) {
    strophe_test::TempFile file({}, ".pvr.gz");
    strophe_test::writeGz(file.path().string(), content);
    return messageOf([&] { inkvane::loadPvrGz(file.path()); });
  };
  const auto pvr = makePvr(8, 2, 0x12, 64);
  strophe_test::TempFile file({}, ".pvr.gz");
  strophe_test::writeGz(file.path().string(), pvr);
  EXPECT_EQ(bytesOf(inkvane::loadPvrGz(file.path())), pvr);

  EXPECT_EQ(messageOf([] { inkvane::loadPvrGz("/nonexistent/dir/t.pvr.gz"); }), "PVR.GZ: CAN'T OPEN FILE");
  EXPECT_EQ(message(Bytes(pvr.begin(), pvr.begin() + 40)), "PVR.GZ: HEADER ERROR");
  auto wrongTag = pvr;
  wrongTag[47] = '?';
  EXPECT_EQ(message(wrongTag), "PVR.GZ: FORMAT ERROR");
  auto huge = pvr;
  strophe_test::putLe32(huge, 20, 0xFFFFFFF0);
  EXPECT_EQ(message(huge), "PVR.GZ: OUT-OF-MEMORY");
  EXPECT_EQ(message(Bytes(pvr.begin(), pvr.end() - 1)), "PVR.GZ: DECOMPRESSION ERROR");
}

TEST(PvrLayout, HeaderChecksInOrder) {
  const auto message = [](const Bytes& b) { return messageOf([&] { inkvane::parsePvr(b.data(), b.size()); }); };
  const auto rgb565 = makePvr(2, 2, 0x13, 8);
  const inkvane::PvrLayout layout = inkvane::parsePvr(rgb565.data(), rgb565.size());
  EXPECT_EQ(layout.format, static_cast<GLenum>(GL_RGB));
  EXPECT_EQ(layout.type, static_cast<GLenum>(GL_UNSIGNED_SHORT_5_6_5));
  EXPECT_EQ(layout.texelOffset, 52u);

  // The size is judged before the pixel type.
  EXPECT_EQ(message(makePvr(100, 64, 0x11, 100 * 64 * 4)), "PVR TEXTURE: DIMENSIONS MUST BE A POWER-OF-TWO");
  EXPECT_EQ(message(makePvr(0, 64, 0x12, 0)), "PVR TEXTURE: DIMENSIONS MUST BE A POWER-OF-TWO");
  for (std::uint8_t type : {0x11, 0x14, 0x16, 0x1A, 0x00})
    EXPECT_EQ(message(makePvr(4, 4, type, 64)), "PVR TEXTURE: UNSUPPORTED PIXEL-TYPE") << int(type);
  auto wrongTag = makePvr(2, 2, 0x1B, 4);
  wrongTag[44] = 0;
  EXPECT_EQ(message(wrongTag), "no error") << "only the gzip reader checks the tag";

  // Bounds: a short header, a header length past the end, texels past the end.
  EXPECT_EQ(message(Bytes(rgb565.begin(), rgb565.begin() + 51)), "PVR TEXTURE: HEADER ERROR");
  auto farHeader = makePvr(2, 2, 0x1B, 4);
  strophe_test::putLe32(farHeader, 0, 57);
  EXPECT_EQ(message(farHeader), "PVR TEXTURE: HEADER ERROR");
  strophe_test::putLe32(farHeader, 0, 53);
  EXPECT_EQ(message(farHeader), "PVR TEXTURE: FORMAT ERROR");
  EXPECT_EQ(message(makePvr(0x80000000, 0x80000000, 0x12, 16)), "PVR TEXTURE: FORMAT ERROR");
}

}  // namespace
