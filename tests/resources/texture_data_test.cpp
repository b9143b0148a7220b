// Texture loading without GL: the choice of container by name, the alpha
// mask against padding, and power-of-two padding.
#include <gtest/gtest.h>

#include <stdexcept>

#include "framework/core/exceptions.h"
#include "resources/pvr_builder.h"
#include "resources/temp_file.h"
#include "resources/texture_data.h"

namespace {

using inkvane::InputSource;
using inkvane::TextureData;
using inkvane::TextureRequest;

// 5 × 3 RGBA: red 10·x + 1, green 100·y + 1, blue x + y + 1, alpha 200 + x.
const std::string kFiveByThree = std::string(STROPHE_SOURCE_DIR) + "/tests/data/textures/five_by_three.png";

inkvane::InputSourceRef lineSprite() { return InputSource::getResource("../resources/line.png", 128, "DATA"); }
TextureData load(const inkvane::InputSourceRef& source, int flags = 0) {
  return inkvane::loadTextureData(TextureRequest(source, false, flags));
}

TEST(TextureRequest, EqualByLocatorAndSettings) {
  const TextureRequest a(lineSprite(), false, TextureRequest::FLAG_ALPHA_MASK);
  EXPECT_EQ(a, TextureRequest(InputSource::getResource("other name", 128, "DATA"), false, 1));
  EXPECT_NE(a, TextureRequest(lineSprite(), false, 1, GL_REPEAT));
  EXPECT_NE(a, TextureRequest(lineSprite(), false, 1, GL_CLAMP_TO_EDGE, GL_REPEAT));
  EXPECT_NE(a, TextureRequest(lineSprite(), true, 1));
  EXPECT_NE(a, TextureRequest(lineSprite(), false, 3));
  EXPECT_NE(a, TextureRequest(InputSource::getResource("../resources/dot.png", 129, "DATA"), false, 1));
}

TEST(TextureData, PowerOfTwoPaddingRepeatsTheLastColumnAndRow) {
  const TextureData data = load(InputSource::getFile(kFiveByThree), TextureRequest::FLAG_POWER_OF_TWO);
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

  const TextureData square = load(lineSprite(), TextureRequest::FLAG_POWER_OF_TWO);
  EXPECT_EQ(square.surface.getWidth(), 8);
  EXPECT_EQ(square.maxU, 1.0f);
  EXPECT_EQ(square.maxV, 1.0f);
  EXPECT_FALSE(square.surface.hasAlpha());

  // The alpha mask wins over padding: one byte per texel of the red channel.
  const TextureData mask =
      load(InputSource::getFile(kFiveByThree), TextureRequest::FLAG_ALPHA_MASK | TextureRequest::FLAG_POWER_OF_TWO);
  EXPECT_EQ(mask.type, TextureData::DATA);
  EXPECT_EQ(mask.glFormat, static_cast<GLenum>(GL_ALPHA));
  EXPECT_EQ(mask.glInternalFormat, static_cast<GLenum>(GL_ALPHA));
  EXPECT_EQ(std::make_pair(mask.width, mask.height), std::make_pair(5, 3));
  EXPECT_EQ((*mask.data)[1 * 5 + 4], 41) << "red of texel (4, 1)";
}

TEST(TextureData, NameSuffixesChooseTheContainer) {
  EXPECT_EQ(load(lineSprite()).type, TextureData::IMAGE_SOURCE);

  EXPECT_EQ(load(InputSource::getResource("line.PVR", 128, "DATA")).type, TextureData::IMAGE_SOURCE)
      << "suffix tests are case-sensitive";

  const auto pvr = strophe_test::makePvr(2, 2, 0x1B, 4);
  strophe_test::TempFile plain(pvr, ".pvr"), ccz(strophe_test::makeCcz(pvr), ".pvr.ccz");
  for (const auto* file : {&plain, &ccz}) {
    const TextureData data = load(InputSource::getFile(file->path()));
    EXPECT_EQ(data.type, TextureData::BUFFER);
    EXPECT_EQ(data.buffer.size(), pvr.size());
  }
  try {
    load(InputSource::getResource("t.pvr.gz", 128, "DATA"));
    FAIL() << "expected an error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "PVR.GZ TEXTURES CAN ONLY BE LOADED FROM FILES");
  }
  EXPECT_THROW(load(InputSource::getFile(plain.path().string() + ".png")), loom::app::AssetLoadExc);
  strophe_test::TempFile notAnImage({1, 2, 3}, ".png");
  EXPECT_THROW(load(InputSource::getFile(notAnImage.path())), loom::ImageIoExceptionFailedLoad);
}

}  // namespace
