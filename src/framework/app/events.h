// Event records handed to the application's hooks, by value.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/key_codes.h"
#include "framework/core/vector.h"

namespace loom::app {

class Window;
using WindowRef = std::shared_ptr<Window>;

class Event {
 public:
  Event() = default;
  explicit Event(WindowRef window) : window_(std::move(window)) {}
  virtual ~Event() = default;

  bool isHandled() const { return handled_; }
  void setHandled(bool handled = true) { handled_ = handled; }
  WindowRef getWindow() const { return window_; }

 private:
  bool handled_ = false;
  WindowRef window_;
};

class MouseEvent : public Event {
 public:
  // Initiators of button events; 0 for moves, drags, wheels and the release on focus loss.
  static constexpr int LEFT = 1;
  static constexpr int RIGHT = 2;
  static constexpr int MIDDLE = 4;

  MouseEvent() = default;
  MouseEvent(WindowRef window, int initiator, int x, int y, unsigned modifiers, float wheelIncrement,
             unsigned nativeModifiers)
      : Event(std::move(window)),
        initiator_(initiator),
        x_(x),
        y_(y),
        modifiers_(modifiers),
        wheelIncrement_(wheelIncrement),
        nativeModifiers_(nativeModifiers) {}

  int getInitiator() const { return initiator_; }
  int getX() const { return x_; }
  int getY() const { return y_; }
  unsigned getModifiers() const { return modifiers_; }
  float getWheelIncrement() const { return wheelIncrement_; }
  unsigned getNativeModifiers() const { return nativeModifiers_; }

 private:
  int initiator_ = 0;
  int x_ = 0;
  int y_ = 0;
  unsigned modifiers_ = 0;
  float wheelIncrement_ = 0.0f;
  unsigned nativeModifiers_ = 0;
};

class KeyEvent : public Event {
 public:
  KeyEvent() = default;
  KeyEvent(WindowRef window, int code, char32_t character, unsigned modifiers, unsigned nativeKeyCode)
      : Event(std::move(window)),
        code_(code),
        char32_(character),
        char_(static_cast<char>(character)),
        modifiers_(modifiers),
        nativeKeyCode_(nativeKeyCode) {}

  int getCode() const { return code_; }
  char32_t getChar32() const { return char32_; }
  char getChar() const { return char_; }
  unsigned getModifiers() const { return modifiers_; }
  unsigned getNativeKeyCode() const { return nativeKeyCode_; }

 private:
  int code_ = 0;
  char32_t char32_ = 0;
  char char_ = 0;
  unsigned modifiers_ = 0;
  unsigned nativeKeyCode_ = 0;
};

class TouchEvent : public Event {
 public:
  struct Touch {
    Vector2 pos;
    Vector2 prevPos;
    std::uint32_t id = 0;
    double time = 0.0;
    const void* native = nullptr;

    Vector2 getPos() const { return pos; }
    float getX() const { return pos.x; }
    float getY() const { return pos.y; }
    Vector2 getPrevPos() const { return prevPos; }
    std::uint32_t getId() const { return id; }
    double getTime() const { return time; }
  };

  TouchEvent() = default;
  TouchEvent(WindowRef window, std::vector<Touch> touches)
      : Event(std::move(window)), touches_(std::move(touches)) {}
  const std::vector<Touch>& getTouches() const { return touches_; }

 private:
  std::vector<Touch> touches_;
};

// One accelerometer reading in g, and the one before it (the same on the first).
class AccelerationEvent : public Event {
 public:
  AccelerationEvent() = default;
  AccelerationEvent(WindowRef window, Vector3 data, Vector3 prevData)
      : Event(std::move(window)), data_(data), prevData_(prevData) {}
  Vector3 getData() const { return data_; }
  Vector3 getPrevData() const { return prevData_; }

 private:
  Vector3 data_;
  Vector3 prevData_;
};

class FileDropEvent : public Event {
 public:
  FileDropEvent() = default;
  FileDropEvent(WindowRef window, int x, int y, std::vector<std::string> files)
      : Event(std::move(window)), x_(x), y_(y), files_(std::move(files)) {}
  int getX() const { return x_; }
  int getY() const { return y_; }
  const std::vector<std::string>& getFiles() const { return files_; }

 private:
  int x_ = 0;
  int y_ = 0;
  std::vector<std::string> files_;
};

}  // namespace loom::app
