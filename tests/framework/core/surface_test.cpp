#include <gtest/gtest.h>

#include <vector>

#include "framework/core/image_io.h"
#include "framework/core/surface.h"

namespace {

using loom::Surface8u;
using loom::SurfaceChannelOrder;

// 2 × 1 image: a red opaque pixel and a half-transparent blue one.
loom::ImageSourceRef twoPixels() {
  return std::make_shared<loom::ImageSource>(2, 1, true, std::vector<std::uint8_t>{255, 0, 0, 255, 0, 0, 255, 128});
}

struct BgraConstraints : loom::SurfaceConstraintsDefault {
  SurfaceChannelOrder getChannelOrder(bool) const override { return SurfaceChannelOrder::BGRA; }
  std::int32_t getRowBytes(int width, const SurfaceChannelOrder&, int) const override { return width * 4 + 8; }
};

TEST(Surface, ImagePixelsLandInTheSurfacesChannelOrder) {
  Surface8u rgba(twoPixels());
  EXPECT_EQ(rgba.getChannelOrder().getCode(), SurfaceChannelOrder::RGBA);
  EXPECT_EQ(rgba.getRowBytes(), 8);
  EXPECT_EQ(rgba.getChannelAlpha().getValue(1, 0), 128);

  Surface8u bgra(twoPixels(), BgraConstraints());
  EXPECT_EQ(bgra.getRowBytes(), 16);
  EXPECT_EQ(bgra.getData()[0], 0);    // blue of the red pixel
  EXPECT_EQ(bgra.getData()[2], 255);  // red
  EXPECT_EQ(bgra.getChannelBlue().getValue(1, 0), 255);
  EXPECT_EQ(bgra.getChannelRed().getValue(1, 0), 0);

  auto rgb = std::make_shared<loom::ImageSource>(1, 1, false, std::vector<std::uint8_t>{1, 2, 3});
  Surface8u fromRgb(rgb);
  EXPECT_EQ(fromRgb.getChannelOrder().getCode(), SurfaceChannelOrder::RGB);
  EXPECT_EQ(fromRgb.getChannelAlpha().data, nullptr);
  EXPECT_EQ(fromRgb.getChannelGreen().getValue(0, 0), 2);
}

TEST(Surface, FillAndCopyAreClippedToBothSurfaces) {
  Surface8u src(3, 2, false);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) src.getData(x, y)[0] = static_cast<std::uint8_t>(10 * y + x);

  Surface8u dst(4, 3, true);
  dst.fill({-5, -5, 50, 50}, 1, 2, 3, 4);
  EXPECT_EQ(dst.getChannelAlpha().getValue(3, 2), 4);
  dst.copyFrom(src, src.getBounds(), 2, 2);  // only the top-left 2 × 1 of src fits
  EXPECT_EQ(dst.getChannelRed().getValue(2, 2), 0);
  EXPECT_EQ(dst.getChannelRed().getValue(3, 2), 1);
  EXPECT_EQ(dst.getChannelAlpha().getValue(3, 2), 255) << "a source without alpha copies as opaque";
  EXPECT_EQ(dst.getChannelRed().getValue(1, 2), 1) << "left of the copy untouched";

  dst.copyFrom(src, {1, 1, 3, 2}, -1, 0);  // (1,1) would land at x = -1: only (2,1) arrives at (0,0)
  EXPECT_EQ(dst.getChannelRed().getValue(0, 0), 12);
  EXPECT_EQ(dst.getChannelRed().getValue(1, 0), 1);
  dst.copyFrom(src, src.getBounds(), 4, 0);  // entirely outside
  dst.copyFrom(Surface8u(), {0, 0, 5, 5}, 0, 0);
  EXPECT_EQ(dst.getChannelRed().getValue(0, 1), 1);
}

}  // namespace
