// One top-level window: turns raw platform input into event records, keeps the
// per-window state (button-down flag, size, touches) and delivers events to
// the window's signals and then to the application's hooks.
#pragma once

#include <boost/signals2/signal.hpp>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/app/events.h"
#include "framework/app/renderer_gl.h"
#include "framework/app/window_owner.h"
#include "framework/platform/platform.h"

namespace loom::app {

class Window : public platform::EventSink, public std::enable_shared_from_this<Window> {
 public:
  // Slots are std::function: boost::function trips a false uninitialised warning here.
  template <typename E>
  using EventSignal = boost::signals2::signal<void(E&), boost::signals2::optional_last_value<void>, int,
                                              std::less<int>, std::function<void(E&)>>;

  Window(WindowOwner* owner, std::shared_ptr<RendererGl> renderer);
  ~Window() override;
  // The platform window is created with this object as its event sink, then attached.
  void attach(std::unique_ptr<platform::NativeWindow> native);

  // Window services; each throws ExcInvalidWindow once the window is closed.
  // Sizes, positions and pointer coordinates are in points.
  IntVec2 getSize() const;
  int getWidth() const { return getSize().x; }
  int getHeight() const { return getSize().y; }
  // The drawing buffer's size in pixels.
  IntVec2 getFramebufferSize() const;
  // Pixels per point: the desktop's scale when the settings ask for high
  // density displays, else 1.0.
  float getContentScale() const;
  void setTitle(const std::string& title);
  std::string getTitle() const;  // read back from the window system
  IntVec2 getPos() const;
  void setPos(int x, int y);
  void setSize(int width, int height);
  void close();
  bool isClosed() const { return !native_; }

  // Touch input in points, for platforms that report it; unused by the
  // windowing library here, which has none.
  enum class TouchPhase { Down, Move, Up };
  struct TouchInput {
    std::uint32_t id;
    TouchPhase phase;
    Vector2 pos;
  };
  void touchInput(const std::vector<TouchInput>& inputs);

  // Drawing and resizing, driven by the frame loop. A frame is drawn only when
  // shouldDrawFrame says so; `drawEveryFrame` is the framework's test setting.
  bool wantsDraw(bool drawEveryFrame) const;
  void emitDraw();
  void emitResize();

  // platform::EventSink: what the platform layer delivers.
  void cursorMoved(double x, double y) override;
  void mouseButton(int button, bool pressed, unsigned modifiers, double x, double y) override;
  void key(int virtualKey, char32_t character, bool pressed, unsigned modifiers) override;
  void focusChanged(bool focused) override;
  void scrolled(double notches) override;
  void filesDropped(const std::vector<std::string>& paths) override;
  void resized(IntVec2 size, IntVec2 framebufferSize) override;
  void moved(int x, int y) override;
  void closeRequested() override;
  void refreshRequested() override;
  void iconified(bool iconified) override;
  void obscured(bool obscured) override;
  void accelerated(double x, double y, double z) override;
  void dispatchEnded() override;

  EventSignal<MouseEvent> signalMouseDown, signalMouseUp, signalMouseDrag, signalMouseMove, signalMouseWheel;
  EventSignal<KeyEvent> signalKeyDown, signalKeyUp;
  EventSignal<TouchEvent> signalTouchesBegan, signalTouchesMoved, signalTouchesEnded;
  EventSignal<FileDropEvent> signalFileDrop;
  EventSignal<AccelerationEvent> signalAccelerated;
  boost::signals2::signal<void()> signalDraw, signalPostDraw, signalResize, signalMove, signalClose;

  platform::NativeWindow* native() const { return native_.get(); }

 private:
  void requireOpen() const;
  void makeCurrent();
  void flushPendingMotion();
  unsigned mouseModifiers(unsigned keyModifiers) const;
  MouseEvent mouseEvent(int initiator, int x, int y, unsigned keyModifiers, float wheel = 0.0f);
  template <typename E, typename Hook>
  void deliver(EventSignal<E>& signal, E event, Hook hook);

  WindowOwner* owner_;
  std::shared_ptr<RendererGl> renderer_;
  std::unique_ptr<platform::NativeWindow> native_;
  IntVec2 size_{0, 0};             // points
  IntVec2 framebufferSize_{0, 0};  // pixels
  bool buttonDown_ = false;    // drag or move: set by any press, cleared by any release
  unsigned buttonsHeld_ = 0;  // LEFT_DOWN | RIGHT_DOWN | MIDDLE_DOWN pressed here and not yet released
  unsigned keyModifiers_ = 0;
  IntVec2 cursor_{0, 0};
  std::optional<IntVec2> pendingMotion_;
  std::map<std::uint32_t, Vector2> touchPositions_;
  std::optional<Vector3> lastAcceleration_;
  bool presentedOnce_ = false;
  bool damaged_ = false;  // since the last presented frame
  bool iconified_ = false;
  bool obscured_ = false;
};

}  // namespace loom::app
