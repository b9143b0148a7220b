// The PVR container readers and header checks, headless: every message from
// a crafted file, and the bounds the readers keep on hostile sizes.
#include <gtest/gtest.h>

#include <stdexcept>

#include "resources/pvr.h"
#include "resources/pvr_builder.h"
#include "resources/temp_file.h"

namespace {

using strophe_test::makeCcz;
using strophe_test::makePvr;

template <typename F>
std::string messageOf(F f) {
  try {
    f();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "no error";
}

std::string cczMessage(const std::vector<std::uint8_t>& b) {
  return messageOf([&] { inkvane::readPvrCcz(b.data(), b.size()); });
}

TEST(PvrCcz, ReadsTheContentAndReportsEachFault) {
  const auto pvr = makePvr(4, 4, 0x1B, 16);
  const auto ccz = makeCcz(pvr);
  const loom::Buffer out = inkvane::loadPvrCcz(loom::DataSourceBuffer::create(loom::Buffer(ccz)));
  EXPECT_EQ(std::vector<std::uint8_t>(out.data(), out.data() + out.size()), pvr);

  auto badSignature = ccz;
  badSignature[2] = 'X';
  EXPECT_EQ(cczMessage(badSignature), "PVR.CCZ: FORMAT ERROR");
  EXPECT_EQ(cczMessage(std::vector<std::uint8_t>(ccz.begin(), ccz.begin() + 15)), "PVR.CCZ: FORMAT ERROR");
  EXPECT_EQ(cczMessage({}), "PVR.CCZ: FORMAT ERROR");
  EXPECT_EQ(cczMessage(makeCcz(pvr, 1)), "PVR.CCZ: UNSUPPORTED COMPRESSION FORMAT");
  EXPECT_EQ(cczMessage(makeCcz(pvr, 1, 3)), "PVR.CCZ: UNSUPPORTED COMPRESSION FORMAT");
  EXPECT_EQ(cczMessage(makeCcz(pvr, 0, 3)), "PVR.CCZ: UNSUPPORTED VERSION");
  EXPECT_EQ(cczMessage(makeCcz(pvr, 0, 0, 0xFFFFFFF0)), "PVR.CCZ: OUT-OF-MEMORY");
  EXPECT_EQ(cczMessage(makeCcz(pvr, 0, 0, 67)), "PVR.CCZ: DECOMPRESSION ERROR") << "content longer than declared";
  EXPECT_EQ(cczMessage(std::vector<std::uint8_t>(ccz.begin(), ccz.end() - 5)), "PVR.CCZ: DECOMPRESSION ERROR");
  auto garbage = ccz;
  garbage[17] ^= 0xFF;
  EXPECT_EQ(cczMessage(garbage), "PVR.CCZ: DECOMPRESSION ERROR");
}

// A declared length larger than the content keeps only the produced bytes, so
// the upload's bounds check sees the real size.
TEST(PvrCcz, DeclaredLengthBeyondTheContentIsNotPaddedWithUnwrittenBytes) {
  const auto pvr = makePvr(4, 4, 0x1B, 16);
  const auto ccz = makeCcz(pvr, 0, 1, 100000);
  EXPECT_EQ(inkvane::readPvrCcz(ccz.data(), ccz.size()).size(), pvr.size());
}

std::string gzMessage(const std::vector<std::uint8_t>& content) {
  strophe_test::TempFile file({}, ".pvr.gz");
  strophe_test::writeGz(file.path().string(), content);
  return messageOf([&] { inkvane::loadPvrGz(file.path()); });
}

TEST(PvrGz, ReadsTheFileAndReportsEachFault) {
  const auto pvr = makePvr(8, 2, 0x12, 64);
  strophe_test::TempFile file({}, ".pvr.gz");
  strophe_test::writeGz(file.path().string(), pvr);
  const loom::Buffer out = inkvane::loadPvrGz(file.path());
  EXPECT_EQ(std::vector<std::uint8_t>(out.data(), out.data() + out.size()), pvr);

  EXPECT_EQ(messageOf([] { inkvane::loadPvrGz("/nonexistent/dir/t.pvr.gz"); }), "PVR.GZ: CAN'T OPEN FILE");
  EXPECT_EQ(gzMessage(std::vector<std::uint8_t>(pvr.begin(), pvr.begin() + 40)), "PVR.GZ: HEADER ERROR");
  auto wrongTag = pvr;
  wrongTag[47] = '?';
  EXPECT_EQ(gzMessage(wrongTag), "PVR.GZ: FORMAT ERROR");
  auto huge = pvr;
  strophe_test::putLe32(huge, 20, 0xFFFFFFF0);
  EXPECT_EQ(gzMessage(huge), "PVR.GZ: OUT-OF-MEMORY");
  EXPECT_EQ(gzMessage(std::vector<std::uint8_t>(pvr.begin(), pvr.end() - 1)), "PVR.GZ: DECOMPRESSION ERROR");
}

std::string layoutMessage(const std::vector<std::uint8_t>& b) {
  return messageOf([&] { inkvane::parsePvr(b.data(), b.size()); });
}

TEST(PvrLayout, HeaderChecksInOrder) {
  const auto rgba = makePvr(256, 128, 0x12, 256 * 128 * 4);
  const inkvane::PvrLayout layout = inkvane::parsePvr(rgba.data(), rgba.size());
  EXPECT_EQ(layout.width, 256);
  EXPECT_EQ(layout.height, 128);
  EXPECT_EQ(layout.format, static_cast<GLenum>(GL_RGBA));
  EXPECT_EQ(layout.type, static_cast<GLenum>(GL_UNSIGNED_BYTE));
  EXPECT_EQ(layout.texelOffset, 52u);
  EXPECT_EQ(inkvane::parsePvr(makePvr(2, 2, 0x13, 8).data(), 60).type, static_cast<GLenum>(GL_UNSIGNED_SHORT_5_6_5));

  // The size is judged before the pixel type.
  EXPECT_EQ(layoutMessage(makePvr(100, 64, 0x11, 100 * 64 * 4)), "PVR TEXTURE: DIMENSIONS MUST BE A POWER-OF-TWO");
  EXPECT_EQ(layoutMessage(makePvr(0, 64, 0x12, 0)), "PVR TEXTURE: DIMENSIONS MUST BE A POWER-OF-TWO");
  for (std::uint8_t type : {0x11, 0x14, 0x16, 0x1A, 0x00})
    EXPECT_EQ(layoutMessage(makePvr(4, 4, type, 64)), "PVR TEXTURE: UNSUPPORTED PIXEL-TYPE") << int(type);
  auto wrongTag = makePvr(2, 2, 0x1B, 4);
  wrongTag[44] = 0;
  EXPECT_NO_THROW(inkvane::parsePvr(wrongTag.data(), wrongTag.size())) << "only the gzip reader checks the tag";

  // Bounds: a short header, a header length past the end, texels past the end.
  EXPECT_EQ(layoutMessage(std::vector<std::uint8_t>(rgba.begin(), rgba.begin() + 51)), "PVR TEXTURE: HEADER ERROR");
  auto farHeader = makePvr(2, 2, 0x1B, 4);
  strophe_test::putLe32(farHeader, 0, 57);
  EXPECT_EQ(layoutMessage(farHeader), "PVR TEXTURE: HEADER ERROR");
  strophe_test::putLe32(farHeader, 0, 53);
  EXPECT_EQ(layoutMessage(farHeader), "PVR TEXTURE: FORMAT ERROR");
  EXPECT_EQ(layoutMessage(makePvr(0x80000000, 0x80000000, 0x12, 16)), "PVR TEXTURE: FORMAT ERROR");
}

}  // namespace
