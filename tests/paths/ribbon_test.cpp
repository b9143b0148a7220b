// Ribbon geometry: offsets along segment normals, texture coordinates along
// the length, and degenerate paths that must not divide by zero.
#include <gtest/gtest.h>

#include <cmath>

#include "paths/ribbon.h"

using inkvane::buildRibbon;
using inkvane::FollowablePath;
using inkvane::Ribbon;
using inkvane::Vector2;

namespace {

Vector2 vertex(const Ribbon& ribbon, int v) { return {ribbon.vertices[2 * v], ribbon.vertices[2 * v + 1]}; }

// Normals of the segment starting at each point (the last point uses the last
// segment), and u = 1 every 4 pixels with half width 2 and scale 1.
TEST(Ribbon, VerticesSitHalfWidthAlongSegmentNormalsWithUAlongTheLength) {
  FollowablePath path;
  path.add(10, 10);
  path.add(40, 50);  // direction (3, 4) / 5
  path.add(40, 70);  // direction (0, 1)
  Ribbon ribbon;
  buildRibbon(path, ribbon, 2.0f, 1.0f);
  ASSERT_EQ(ribbon.vertexCount, 6);
  ASSERT_EQ(ribbon.vertices.size(), 12u);
  ASSERT_EQ(ribbon.texCoords.size(), 12u);
  const Vector2 normals[] = {{0.8f, -0.6f}, {1, 0}, {1, 0}};
  const float us[] = {0, 12.5f, 17.5f};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const Vector2 left = vertex(ribbon, 2 * i) - path.point(i);
    const Vector2 right = vertex(ribbon, 2 * i + 1) - path.point(i);
    EXPECT_NEAR(left.x, 2 * normals[i].x, 1e-5f);
    EXPECT_NEAR(left.y, 2 * normals[i].y, 1e-5f);
    EXPECT_NEAR(right.x, -left.x, 1e-5f);
    EXPECT_NEAR(right.y, -left.y, 1e-5f);
    const float* uv = &ribbon.texCoords[4 * i];
    EXPECT_EQ(std::vector<float>(uv, uv + 4), (std::vector<float>{us[i], 0, us[i], 1}));
  }
}

TEST(Ribbon, ZeroLengthSegmentsBorrowANeighbourNormal) {
  FollowablePath path;
  path.add(5, 5);
  path.add(5, 5);   // leading repeat: takes the first real segment's normal
  path.add(15, 5);
  path.add(15, 5);  // inner repeat: keeps the previous normal
  path.add(15, 25);
  path.add(15, 25);  // trailing repeat
  Ribbon ribbon;
  buildRibbon(path, ribbon, 2.0f, 1.0f);
  for (float v : ribbon.vertices) ASSERT_TRUE(std::isfinite(v));
  EXPECT_EQ(vertex(ribbon, 0), Vector2(5, 3));
  EXPECT_EQ(vertex(ribbon, 2), Vector2(5, 3));
  EXPECT_EQ(vertex(ribbon, 4), Vector2(15, 3));
  EXPECT_EQ(vertex(ribbon, 6), Vector2(17, 5));
  EXPECT_EQ(vertex(ribbon, 10), Vector2(17, 25));

  FollowablePath still;  // no direction anywhere: the strip collapses onto the points
  still.add(7, 7);
  buildRibbon(still, ribbon, 2.0f, 1.0f);
  EXPECT_EQ(ribbon.vertexCount, 2);
  EXPECT_EQ(vertex(ribbon, 1), Vector2(7, 7));
  buildRibbon(FollowablePath(), ribbon, 2.0f, 1.0f);
  EXPECT_EQ(ribbon.vertexCount, 0);
  EXPECT_TRUE(ribbon.vertices.empty());
}

}  // namespace
