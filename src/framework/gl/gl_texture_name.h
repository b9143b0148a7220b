// One OpenGL texture name, deleted with its holder unless released: a name
// generated before a step that may throw cannot outlive the failure.
#pragma once

#include <epoxy/gl.h>

namespace loom::gl {

class TextureName {
 public:
  explicit TextureName(GLuint id = 0) noexcept : id_(id) {}
  static TextureName generate() {
    GLuint id = 0;
    glGenTextures(1, &id);
    return TextureName(id);
  }
  ~TextureName() { reset(); }
  TextureName(TextureName&& other) noexcept : id_(other.release()) {}
  TextureName& operator=(TextureName&& other) noexcept {
    if (this != &other) {
      reset();
      id_ = other.release();
    }
    return *this;
  }
  TextureName(const TextureName&) = delete;
  TextureName& operator=(const TextureName&) = delete;

  GLuint get() const { return id_; }
  // Hands the name on; the holder no longer deletes it.
  GLuint release() noexcept {
    const GLuint id = id_;
    id_ = 0;
    return id;
  }
  void reset() noexcept {
    if (id_ != 0) glDeleteTextures(1, &id_);
    id_ = 0;
  }

 private:
  GLuint id_;
};

}  // namespace loom::gl
