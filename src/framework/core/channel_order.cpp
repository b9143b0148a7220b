// The channel-order table.
#include "framework/core/channel_order.h"

namespace loom {

namespace {

struct OrderRow {
  std::uint8_t red, green, blue, alpha, inc;
};

constexpr std::uint8_t N = SurfaceChannelOrder::INVALID;
constexpr OrderRow kOrders[] = {
    {0, 1, 2, 3, 4},  // RGBA
    {2, 1, 0, 3, 4},  // BGRA
    {1, 2, 3, 0, 4},  // ARGB
    {3, 2, 1, 0, 4},  // ABGR
    {0, 1, 2, N, 4},  // RGBX
    {2, 1, 0, N, 4},  // BGRX
    {1, 2, 3, N, 4},  // XRGB
    {3, 2, 1, N, 4},  // XBGR
    {0, 1, 2, N, 3},  // RGB
    {2, 1, 0, N, 3},  // BGR
    {N, N, N, N, N},  // unspecified
};

}  // namespace

SurfaceChannelOrder::SurfaceChannelOrder(int code)
    : code_(code >= RGBA && code < UNSPECIFIED ? code : UNSPECIFIED) {
  const OrderRow& row = kOrders[code_];
  red_ = row.red;
  green_ = row.green;
  blue_ = row.blue;
  alpha_ = row.alpha;
  inc_ = row.inc;
}

}  // namespace loom
