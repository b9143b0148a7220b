// Texture loading without GL: the choice of container by name, the alpha
// mask from the red channel, and power-of-two padding.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "framework/exceptions.h"
#include "resources/pvr_builder.h"
#include "resources/temp_file.h"
#include "resources/texture_data.h"

namespace {

using inkvane::InputSource;
using inkvane::TextureData;
using inkvane::TextureRequest;

const std::string kFiveByThree = std::string(STROPHE_SOURCE_DIR) + "/tests/data/textures/five_by_three.png";

inkvane::InputSourceRef lineSprite() { return InputSource::getResource("../resources/line.png", 128, "DATA"); }

TEST(TextureRequest, EqualByLocatorAndSettings) {
  const TextureRequest a(lineSprite(), false, TextureRequest::FLAG_ALPHA_MASK);
  EXPECT_EQ(a, TextureRequest(InputSource::getResource("other name", 128, "DATA"), false, 1));
  EXPECT_NE(a, TextureRequest(lineSprite(), false, 1, GL_REPEAT));
  EXPECT_NE(a, TextureRequest(lineSprite(), true, 1));
  EXPECT_NE(a, TextureRequest(InputSource::getResource("../resources/dot.png", 129, "DATA"), false, 1));
}

TEST(TextureData, AlphaMaskTakesTheRedChannel) {
  const TextureData data = inkvane::loadTextureData(TextureRequest(lineSprite(), false, TextureRequest::FLAG_ALPHA_MASK));
  ASSERT_TRUE(data.defined);
  EXPECT_EQ(data.type, TextureData::DATA);
  EXPECT_EQ(data.glFormat, static_cast<GLenum>(GL_ALPHA));
  EXPECT_EQ(data.glInternalFormat, static_cast<GLenum>(GL_ALPHA));
  ASSERT_EQ(data.width, 8);
  ASSERT_EQ(data.height, 8);
  const int column[8] = {0, 0, 127, 255, 255, 127, 0, 0};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ((*data.data)[y * 8 + x], column[y]) << x << "," << y;

  // The alpha mask wins over padding.
  const TextureData both = inkvane::loadTextureData(
      TextureRequest(InputSource::getFile(kFiveByThree), false, TextureRequest::FLAG_ALPHA_MASK | TextureRequest::FLAG_POWER_OF_TWO));
  EXPECT_EQ(both.type, TextureData::DATA);
  EXPECT_EQ(both.width, 5);
  EXPECT_EQ(both.height, 3);
  EXPECT_EQ((*both.data)[1 * 5 + 4], 41) << "red of texel (4, 1)";
}

TEST(TextureData, PowerOfTwoPaddingRepeatsTheLastColumnAndRow) {
  const TextureData data = inkvane::loadTextureData(
      TextureRequest(InputSource::getFile(kFiveByThree), false, TextureRequest::FLAG_POWER_OF_TWO));
  ASSERT_EQ(data.type, TextureData::SURFACE);
  const loom::Surface8u& s = data.surface;
  ASSERT_EQ(s.getWidth(), 8);
  ASSERT_EQ(s.getHeight(), 4);
  EXPECT_TRUE(s.hasAlpha());
  EXPECT_EQ(data.maxU, 0.625f);
  EXPECT_EQ(data.maxV, 0.75f);
  const loom::Channel8u red = s.getChannelRed(), green = s.getChannelGreen(), alpha = s.getChannelAlpha();
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) EXPECT_EQ(red.getValue(x, y), 10 * x + 1);
    EXPECT_EQ(red.getValue(5, y), red.getValue(4, y)) << "column 5 repeats column 4";
    EXPECT_EQ(alpha.getValue(5, y), 204);
    for (int x = 6; x < 8; ++x) EXPECT_EQ(alpha.getValue(x, y) + red.getValue(x, y), 0) << "transparent black";
  }
  for (int x = 0; x < 5; ++x) EXPECT_EQ(green.getValue(x, 3), 201) << "row 3 repeats row 2";
  EXPECT_EQ(alpha.getValue(5, 3), 0);

  const TextureData square =
      inkvane::loadTextureData(TextureRequest(lineSprite(), false, TextureRequest::FLAG_POWER_OF_TWO));
  EXPECT_EQ(square.surface.getWidth(), 8);
  EXPECT_EQ(square.maxU, 1.0f);
  EXPECT_EQ(square.maxV, 1.0f);
  EXPECT_FALSE(square.surface.hasAlpha());
}

TEST(TextureData, NameSuffixesChooseTheContainer) {
  EXPECT_EQ(inkvane::loadTextureData(TextureRequest(lineSprite())).type, TextureData::IMAGE_SOURCE);

  // Suffix tests are case-sensitive: ".PVR" is an image.
  std::ifstream in(kFiveByThree, std::ios::binary);
  const std::vector<std::uint8_t> png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  strophe_test::TempFile upper(png, ".PVR");
  EXPECT_EQ(inkvane::loadTextureData(TextureRequest(InputSource::getFile(upper.path()))).type, TextureData::IMAGE_SOURCE);

  const auto pvr = strophe_test::makePvr(2, 2, 0x1B, 4);
  strophe_test::TempFile plain(pvr, ".pvr");
  const TextureData fromPlain = inkvane::loadTextureData(TextureRequest(InputSource::getFile(plain.path())));
  EXPECT_EQ(fromPlain.type, TextureData::BUFFER);
  EXPECT_EQ(fromPlain.buffer.size(), pvr.size());

  strophe_test::TempFile ccz(strophe_test::makeCcz(pvr), ".pvr.ccz");
  const TextureData fromCcz = inkvane::loadTextureData(TextureRequest(InputSource::getFile(ccz.path())));
  EXPECT_EQ(fromCcz.type, TextureData::BUFFER);
  EXPECT_EQ(fromCcz.buffer.size(), pvr.size());

  try {
    inkvane::loadTextureData(TextureRequest(InputSource::getResource("t.pvr.gz", 128, "DATA")));
    FAIL() << "expected an error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "PVR.GZ TEXTURES CAN ONLY BE LOADED FROM FILES");
  }
  EXPECT_THROW(inkvane::loadTextureData(TextureRequest(InputSource::getFile(plain.path().string() + ".png"))),
               loom::app::AssetLoadExc);
  strophe_test::TempFile notAnImage({1, 2, 3}, ".png");
  EXPECT_THROW(inkvane::loadTextureData(TextureRequest(InputSource::getFile(notAnImage.path()))),
               loom::ImageIoExceptionFailedLoad);
}

}  // namespace
