// Where each channel sits inside a pixel, for surfaces and decoded images alike.
#pragma once

#include <cstdint>

namespace loom {

// Byte offset of each channel inside a pixel and the pixel increment, by code.
class SurfaceChannelOrder {
 public:
  enum Code { RGBA = 0, BGRA, ARGB, ABGR, RGBX, BGRX, XRGB, XBGR, RGB, BGR, UNSPECIFIED };
  static constexpr std::uint8_t INVALID = 255;  // offset of a missing channel

  SurfaceChannelOrder(int code = UNSPECIFIED);  // any unknown code means UNSPECIFIED

  int getCode() const { return code_; }
  std::uint8_t getRedOffset() const { return red_; }
  std::uint8_t getGreenOffset() const { return green_; }
  std::uint8_t getBlueOffset() const { return blue_; }
  std::uint8_t getAlphaOffset() const { return alpha_; }
  std::uint8_t getPixelInc() const { return inc_; }
  bool hasAlpha() const { return alpha_ != INVALID; }
  bool operator==(const SurfaceChannelOrder& o) const { return code_ == o.code_; }
  bool operator!=(const SurfaceChannelOrder& o) const { return code_ != o.code_; }

 private:
  int code_;
  std::uint8_t red_, green_, blue_, alpha_, inc_;
};

}  // namespace loom
