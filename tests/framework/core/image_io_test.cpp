#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <zlib.h>

#include "framework/core/exceptions.h"
#include "framework/core/image_io.h"

namespace {

const std::string kSuite = std::string(STROPHE_SOURCE_DIR) + "/tests/data/pngsuite/";

std::vector<std::uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

loom::ImageSourceRef decodeSuite(const std::string& name) {
  auto bytes = readFile(kSuite + name + ".png");
  EXPECT_FALSE(bytes.empty()) << name;
  return loom::decodePng(bytes.data(), bytes.size());
}

std::vector<int> pixel(const loom::ImageSourceRef& image, int x, int y) {
  const std::uint8_t* p = image->getRow(y) + x * image->getChannelOrder().getPixelInc();
  return std::vector<int>(p, p + image->getChannelOrder().getPixelInc());
}

TEST(PngDecoding, ColourTypesArriveAsEightBitRgbOrRgba) {
  auto truecolour = decodeSuite("basn2c08");
  ASSERT_EQ(truecolour->getWidth(), 32);
  ASSERT_EQ(truecolour->getHeight(), 32);
  EXPECT_EQ(truecolour->getChannelOrder().getCode(), loom::SurfaceChannelOrder::RGB);
  EXPECT_EQ(truecolour->getRowBytes(), 96);
  EXPECT_EQ(pixel(truecolour, 31, 0), (std::vector<int>{255, 255, 224}));
  EXPECT_EQ(pixel(truecolour, 5, 17), (std::vector<int>{218, 255, 255}));

  // Grey is expanded to RGB so every surface fits the channel-order table.
  auto grey = decodeSuite("basn0g08");
  EXPECT_EQ(grey->getChannelOrder().getCode(), loom::SurfaceChannelOrder::RGB);
  EXPECT_EQ(pixel(grey, 13, 7), (std::vector<int>{237, 237, 237}));
  EXPECT_EQ(pixel(grey, 31, 31), (std::vector<int>{3, 3, 3}));

  auto rgba = decodeSuite("basn6a08");
  EXPECT_EQ(rgba->getChannelOrder().getCode(), loom::SurfaceChannelOrder::RGBA);
  EXPECT_TRUE(rgba->hasAlpha());
  EXPECT_EQ(pixel(rgba, 20, 3), (std::vector<int>{255, 95, 8, 164}));

  auto greyAlpha = decodeSuite("basn4a08");
  EXPECT_EQ(greyAlpha->getChannelOrder().getCode(), loom::SurfaceChannelOrder::RGBA);
  EXPECT_EQ(pixel(greyAlpha, 20, 3), (std::vector<int>{230, 230, 230, 164}));
}

TEST(PngDecoding, PalettesAndLowBitDepthsBecomeRgbWithoutAlpha) {
  auto palette = decodeSuite("basn3p02");
  EXPECT_EQ(palette->getChannelOrder().getCode(), loom::SurfaceChannelOrder::RGB);
  EXPECT_EQ(pixel(palette, 0, 0), (std::vector<int>{0, 0, 255}));
  EXPECT_EQ(pixel(palette, 7, 0), (std::vector<int>{255, 0, 0}));

  // A transparency chunk does not add alpha.
  EXPECT_FALSE(decodeSuite("ftbbn3p08")->hasAlpha());
  EXPECT_FALSE(decodeSuite("ftbrn2c08")->hasAlpha());

  auto oneBit = decodeSuite("basn0g01");
  EXPECT_EQ(oneBit->getChannelOrder().getCode(), loom::SurfaceChannelOrder::RGB);
  for (int v : pixel(oneBit, 0, 0)) EXPECT_TRUE(v == 0 || v == 255);
}

// Every image of the suite decodes, and an interlaced file gives exactly the
// pixels of its plain twin.
TEST(PngDecoding, InterlacedTwinsDecodeToTheSamePixels) {
  int pairs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kSuite)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".png" || name[0] != 'i') continue;
    auto interlaced = decodeSuite(entry.path().stem().string());
    auto plain = decodeSuite(entry.path().stem().string().substr(1));
    ASSERT_EQ(interlaced->getWidth(), plain->getWidth()) << name;
    ASSERT_EQ(interlaced->getHeight(), plain->getHeight()) << name;
    ASSERT_EQ(interlaced->getChannelOrder(), plain->getChannelOrder()) << name;
    const std::size_t bytes = static_cast<std::size_t>(plain->getRowBytes()) * plain->getHeight();
    EXPECT_TRUE(std::equal(plain->getData(), plain->getData() + bytes, interlaced->getData())) << name;
    ++pairs;
  }
  EXPECT_EQ(pairs, 30);
}

TEST(PngDecoding, CorruptOrTruncatedDataRaises) {
  const auto good = readFile(kSuite + "basn2c08.png");
  for (std::size_t cut = 0; cut < good.size() - 12; cut += 3)
    EXPECT_THROW(loom::decodePng(good.data(), cut), loom::ImageIoExceptionFailedLoad) << "cut at " << cut;

  auto flipped = good;
  flipped[flipped.size() - 30] ^= 0x5a;  // inside the image data: its checksum no longer matches
  EXPECT_THROW(loom::decodePng(flipped.data(), flipped.size()), loom::ImageIoExceptionFailedLoad);

  const std::array<std::uint8_t, 4> notPng = {'G', 'I', 'F', '8'};
  EXPECT_THROW(loom::decodePng(notPng.data(), notPng.size()), loom::ImageIoExceptionFailedLoad);
  EXPECT_THROW(loom::decodePng(nullptr, 0), loom::ImageIoExceptionFailedLoad);
  EXPECT_THROW(loom::loadImage(loom::DataSourcePath::create("/nonexistent.png")), loom::ImageIoExceptionFailedLoad);
}

// A header claiming 16384 × 16384 with a few bytes of data is refused before
// the pixel buffer is allocated.
TEST(PngDecoding, HugeDeclaredSizeWithLittleDataIsRefused) {
  auto bytes = readFile(kSuite + "basn2c08.png");
  const std::uint8_t size[4] = {0, 0, 0x40, 0};
  std::copy(size, size + 4, bytes.begin() + 16);  // IHDR width
  std::copy(size, size + 4, bytes.begin() + 20);  // IHDR height
  const std::uint32_t crc = crc32(0, bytes.data() + 12, 17);  // the header's, so only the size is wrong
  for (int k = 0; k < 4; ++k) bytes[29 + k] = static_cast<std::uint8_t>(crc >> (24 - 8 * k));
  try {
    loom::decodePng(bytes.data(), bytes.size());
    FAIL() << "expected a failure";
  } catch (const loom::ImageIoExceptionFailedLoad& e) {
    EXPECT_NE(std::string(e.what()).find("too short"), std::string::npos) << e.what();
  }
}

}  // namespace
