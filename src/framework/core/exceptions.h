// Exceptions raised by the framework. Nothing in the framework catches them.
#pragma once

#include <stdexcept>
#include <string>

namespace loom {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message = "") : std::runtime_error(message) {}
};

// A read past the end of a stream, or a stream that cannot be opened.
class StreamExc : public Exception {
 public:
  using Exception::Exception;
};

namespace app {

// "Failed to load resource: #<number> type: <type>"
class ResourceLoadExc : public Exception {
 public:
  ResourceLoadExc(int number, const std::string& type);
};

// A resource or file source whose file does not exist; the message is its name.
class AssetLoadExc : public Exception {
 public:
  using Exception::Exception;
};

// Any use of a window that has been closed.
class ExcInvalidWindow : public Exception {
 public:
  ExcInvalidWindow() : Exception("invalid window") {}
};

}  // namespace app

class ImageIoException : public Exception {
 public:
  using Exception::Exception;
};

class ImageIoExceptionFailedLoad : public ImageIoException {
 public:
  using ImageIoException::ImageIoException;
};

class ImageIoExceptionIllegalColorModel : public ImageIoException {
 public:
  using ImageIoException::ImageIoException;
};

}  // namespace loom
