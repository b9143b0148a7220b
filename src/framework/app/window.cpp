#include "framework/app/window.h"

#include <cmath>

#include "framework/app/draw_decision.h"
#include "framework/core/exceptions.h"
#include "framework/core/key_codes.h"

namespace loom::app {

Window::Window(WindowOwner* owner, std::shared_ptr<RendererGl> renderer) : owner_(owner), renderer_(std::move(renderer)) {}

Window::~Window() = default;

void Window::attach(std::unique_ptr<platform::NativeWindow> native) {
  native_ = std::move(native);
  size_ = native_->windowSize();
  framebufferSize_ = native_->framebufferSize();
}

void Window::requireOpen() const {
  if (!native_) throw ExcInvalidWindow();
}

IntVec2 Window::getSize() const {
  requireOpen();
  return size_;
}

IntVec2 Window::getFramebufferSize() const {
  requireOpen();
  return framebufferSize_;
}

float Window::getContentScale() const {
  requireOpen();
  return native_->contentScale();
}

void Window::setTitle(const std::string& title) {
  requireOpen();
  native_->setTitle(title);
}

std::string Window::getTitle() const {
  requireOpen();
  return native_->title();
}

IntVec2 Window::getPos() const {
  requireOpen();
  return native_->position();
}

void Window::setPos(int x, int y) {
  requireOpen();
  native_->setPosition(x, y);
}

void Window::setSize(int width, int height) {
  requireOpen();
  native_->setSize(width, height);
}

void Window::close() {
  if (!native_) return;
  auto self = shared_from_this();
  // Slots of the close signal may delete GL objects: the context is still theirs.
  renderer_->makeCurrent(*native_);
  signalClose();
  renderer_->releaseContext();
  native_.reset();
  pendingMotion_.reset();
  owner_->windowClosed(this);
}

void Window::makeCurrent() {
  owner_->makeCurrentWindow(shared_from_this());
  if (native_) renderer_->makeCurrent(*native_);
}

bool Window::wantsDraw(bool drawEveryFrame) const {
  if (!native_) return false;
  FrameView view;
  view.drawEveryFrame = drawEveryFrame;
  view.visible = !iconified_ && !obscured_;
  view.presentedOnce = presentedOnce_;
  view.damaged = damaged_;
  // Asked last: the application compares its scene only when nothing else decides.
  if (shouldDrawFrame(view)) return true;
  view.pictureChanged = view.visible && owner_->pictureChanged();
  return shouldDrawFrame(view);
}

void Window::emitDraw() {
  if (!native_) return;
  owner_->makeCurrentWindow(shared_from_this());
  renderer_->startDraw(*native_);
  signalDraw();
  owner_->draw();
  signalPostDraw();
  renderer_->finishDraw(*native_);
  presentedOnce_ = true;
  damaged_ = false;
}

void Window::emitResize() {
  if (!native_) return;
  makeCurrent();
  renderer_->defaultViewportAndMatrices(size_, framebufferSize_);
  signalResize();
  owner_->resize();
}

template <typename E, typename Hook>
void Window::deliver(EventSignal<E>& signal, E event, Hook hook) {
  if (!native_) return;
  makeCurrent();
  signal(event);
  if (!event.isHandled()) (owner_->*hook)(event);
}

unsigned Window::mouseModifiers(unsigned keyModifiers) const { return buttonsHeld_ | keyModifiers; }

MouseEvent Window::mouseEvent(int initiator, int x, int y, unsigned keyModifiers, float wheel) {
  unsigned mods = mouseModifiers(keyModifiers);
  return MouseEvent(shared_from_this(), initiator, x, y, mods, wheel, mods);
}

// Pointer moves are coalesced: at most one move or drag per dispatch, with the
// latest position, delivered before anything else that happens after it.
void Window::cursorMoved(double x, double y) {
  pendingMotion_ = IntVec2{static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
}

void Window::flushPendingMotion() {
  if (!pendingMotion_) return;
  IntVec2 p = *pendingMotion_;
  pendingMotion_.reset();
  cursor_ = p;
  MouseEvent event = mouseEvent(0, p.x, p.y, keyModifiers_);
  if (buttonDown_)
    deliver(signalMouseDrag, event, &WindowOwner::mouseDrag);
  else
    deliver(signalMouseMove, event, &WindowOwner::mouseMove);
}

void Window::mouseButton(int button, bool pressed, unsigned modifiers, double x, double y) {
  flushPendingMotion();
  cursor_ = IntVec2{static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
  keyModifiers_ = modifiers;
  unsigned bit = button == MouseEvent::LEFT ? LEFT_DOWN : button == MouseEvent::RIGHT ? RIGHT_DOWN : MIDDLE_DOWN;
  if (pressed) {
    buttonDown_ = true;
    buttonsHeld_ |= bit;
    deliver(signalMouseDown, mouseEvent(button, cursor_.x, cursor_.y, modifiers), &WindowOwner::mouseDown);
  } else {
    // Every release of a button pressed here is one mouseUp, so presses and
    // releases pair up. A release the windowing library synthesises after
    // focus loss finds its button already released there, and is dropped.
    if (!(buttonsHeld_ & bit)) return;
    buttonsHeld_ &= ~bit;
    // One flag for the window: releasing any button ends the drag.
    buttonDown_ = false;
    deliver(signalMouseUp, mouseEvent(button, cursor_.x, cursor_.y, modifiers), &WindowOwner::mouseUp);
  }
}

void Window::focusChanged(bool focused) {
  flushPendingMotion();
  damaged_ = true;  // window managers may paint over a window as its focus changes
  if (focused) return;
  buttonDown_ = false;
  // Each button still held is released here, with initiator 0; usually there is one.
  while (buttonsHeld_ != 0) {
    buttonsHeld_ &= buttonsHeld_ - 1;
    deliver(signalMouseUp, mouseEvent(0, cursor_.x, cursor_.y, keyModifiers_), &WindowOwner::mouseUp);
  }
}

void Window::key(int virtualKey, char32_t character, bool pressed, unsigned modifiers) {
  flushPendingMotion();
  keyModifiers_ = modifiers;
  KeyEvent event(shared_from_this(), keyCodeForVirtualKey(virtualKey), character, modifiers,
                 static_cast<unsigned>(virtualKey));
  if (pressed)
    deliver(signalKeyDown, event, &WindowOwner::keyDown);
  else
    deliver(signalKeyUp, event, &WindowOwner::keyUp);
}

void Window::scrolled(double notches) {
  flushPendingMotion();
  deliver(signalMouseWheel, mouseEvent(0, cursor_.x, cursor_.y, keyModifiers_, static_cast<float>(notches)),
          &WindowOwner::mouseWheel);
}

void Window::filesDropped(const std::vector<std::string>& paths) {
  flushPendingMotion();
  deliver(signalFileDrop, FileDropEvent(shared_from_this(), cursor_.x, cursor_.y, paths), &WindowOwner::fileDrop);
}

void Window::resized(IntVec2 size, IntVec2 framebufferSize) {
  flushPendingMotion();
  if (size == size_ && framebufferSize == framebufferSize_) return;
  size_ = size;
  framebufferSize_ = framebufferSize;
  damaged_ = true;
  if (owner_->isSetupDone()) emitResize();
}

void Window::moved(int, int) {
  flushPendingMotion();
  signalMove();
}

void Window::closeRequested() {
  flushPendingMotion();
  close();
}

void Window::refreshRequested() {
  flushPendingMotion();
  damaged_ = true;
}

void Window::iconified(bool iconified) {
  flushPendingMotion();
  iconified_ = iconified;
  damaged_ = true;
}

void Window::obscured(bool obscured) {
  flushPendingMotion();
  obscured_ = obscured;
  damaged_ = true;
}

void Window::accelerated(double x, double y, double z) {
  flushPendingMotion();
  const Vector3 data{static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
  const Vector3 prevData = lastAcceleration_.value_or(data);
  lastAcceleration_ = data;
  deliver(signalAccelerated, AccelerationEvent(shared_from_this(), data, prevData), &WindowOwner::accelerated);
}

void Window::dispatchEnded() { flushPendingMotion(); }

void Window::touchInput(const std::vector<TouchInput>& inputs) {
  std::vector<TouchEvent::Touch> began, movedTouches, ended;
  double now = owner_->getElapsedSeconds();
  for (const TouchInput& in : inputs) {
    TouchEvent::Touch t;
    t.pos = in.pos;
    t.id = in.id;
    t.time = now;
    auto last = touchPositions_.find(in.id);
    t.prevPos = (in.phase == TouchPhase::Down || last == touchPositions_.end()) ? in.pos : last->second;
    switch (in.phase) {
      case TouchPhase::Down:
        touchPositions_[in.id] = in.pos;
        began.push_back(t);
        break;
      case TouchPhase::Move:
        touchPositions_[in.id] = in.pos;
        movedTouches.push_back(t);
        break;
      case TouchPhase::Up:
        touchPositions_.erase(in.id);
        ended.push_back(t);
        break;
    }
  }
  if (!began.empty()) deliver(signalTouchesBegan, TouchEvent(shared_from_this(), began), &WindowOwner::touchesBegan);
  if (!movedTouches.empty())
    deliver(signalTouchesMoved, TouchEvent(shared_from_this(), movedTouches), &WindowOwner::touchesMoved);
  if (!ended.empty()) deliver(signalTouchesEnded, TouchEvent(shared_from_this(), ended), &WindowOwner::touchesEnded);
}

}  // namespace loom::app
