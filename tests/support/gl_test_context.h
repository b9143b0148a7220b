// A hidden window with a current OpenGL compatibility context, for tests that
// exercise GL code for real (under Xvfb with Mesa's software renderer).
#pragma once

#include <memory>

namespace strophe_test {

class GlTestContext {
 public:
  // Creates a hidden width × height window and makes its context current.
  // Throws std::runtime_error when no display or context is available.
  explicit GlTestContext(int width = 64, int height = 64);
  ~GlTestContext();
  GlTestContext(const GlTestContext&) = delete;
  GlTestContext& operator=(const GlTestContext&) = delete;

  void makeCurrent();
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  int width_;
  int height_;
};

// Counts the texture objects still alive among the names generated since the
// previous call with the same mark (Mesa hands names out in increasing order),
// and moves the mark past them.
int texturesAliveSince(unsigned int& mark);

}  // namespace strophe_test
