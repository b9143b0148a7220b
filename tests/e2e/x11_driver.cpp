#include "e2e/x11_driver.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <png.h>
#include <signal.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace strophe_e2e {

struct ProgramUnderTest::XState {
  Display* display = nullptr;
};

void sleepSeconds(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

namespace {

// Checks `done` every 10 ms until it holds (true) or `seconds` have passed
// (false); checks once when `seconds` is 0.
template <typename Done>
bool poll(double seconds, Done done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    sleepSeconds(0.01);
  }
  return true;
}

// A window that goes away between two requests must fail the request, not
// end the test process (Xlib's default handler exits).
int ignoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

bool Image::writePng(const std::string& path) const {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (png && info && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) png_write_row(png, const_cast<png_bytep>(at(0, y)));
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
  return ok;
}

double differingShare(const Image& a, const Image& b, int tolerance) {
  if (a.width != b.width || a.height != b.height || a.rgb.empty()) return 1.0;
  std::size_t differing = 0, pixels = static_cast<std::size_t>(a.width) * a.height;
  for (std::size_t i = 0; i < pixels; ++i) {
    for (int c = 0; c < 3; ++c) {
      if (std::abs(int(a.rgb[i * 3 + c]) - int(b.rgb[i * 3 + c])) > tolerance) {
        ++differing;
        break;
      }
    }
  }
  return static_cast<double>(differing) / static_cast<double>(pixels);
}

namespace {

// What the program reads at start to learn that a window manager runs and asks
// for activation through _NET_ACTIVE_WINDOW: a check window that names itself,
// and the supported list. Requests to the root then reach this connection.
void claimActivatingWindowManager(Display* d) {
  const Window root = DefaultRootWindow(d);
  Window check = XCreateSimpleWindow(d, root, 0, 0, 1, 1, 0, 0, 0);
  const Atom checkAtom = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
  for (Window w : {root, check})
    XChangeProperty(d, w, checkAtom, XA_WINDOW, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&check), 1);
  Atom supported = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
  XChangeProperty(d, root, XInternAtom(d, "_NET_SUPPORTED", False), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&supported), 1);
  XSelectInput(d, root, SubstructureNotifyMask);
  XSync(d, False);
}

}  // namespace

ProgramUnderTest::ProgramUnderTest(const std::string& binary, const std::map<std::string, std::string>& extraEnv,
                                   const std::string& stderrPath, const LaunchOptions& options)
    : server_(options.xftDpi), x_(new XState), stderrPath_(stderrPath) {
  XSetErrorHandler(ignoreXError);
  x_->display = XOpenDisplay(server_.display().c_str());
  if (!x_->display) throw std::runtime_error("cannot open " + server_.display());
  if (options.watchActivations) claimActivatingWindowManager(x_->display);
  if (options.holdMaps) {
    XSelectInput(x_->display, DefaultRootWindow(x_->display), SubstructureRedirectMask);
    XSync(x_->display, False);
  }
  if (options.windowManager) startWindowManager();
  std::map<std::string, std::string> env = extraEnv;
  env["DISPLAY"] = server_.display();
  constexpr int kGateFd = 3;  // the program's end
  int gateEnds[2] = {-1, -1};
  if (options.frameGate) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gateEnds) != 0) throw std::runtime_error("socketpair");
    gate_ = gateEnds[0];
    env["LOOM_FRAME_GATE_FD"] = std::to_string(kGateFd);
  }
  std::vector<std::string> entries;
  for (char** e = environ; *e; ++e) {
    std::string entry(*e);
    if (!env.count(entry.substr(0, entry.find('=')))) entries.push_back(entry);
  }
  for (const auto& [k, v] : env) entries.push_back(k + "=" + v);
  std::vector<char*> envp;
  for (auto& entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> words{binary};
  words.insert(words.end(), options.args.begin(), options.args.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!stderrPath.empty())
    posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (options.frameGate) posix_spawn_file_actions_adddup2(&actions, gateEnds[1], kGateFd);  // dup2 clears CLOEXEC
  startedAt_ = std::chrono::steady_clock::now();
  int spawned = posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (options.frameGate) close(gateEnds[1]);
  if (spawned != 0) throw std::runtime_error("cannot start " + binary);
}

void ProgramUnderTest::startWindowManager() {
  std::string display = "DISPLAY=" + server_.display();
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "DISPLAY=", 8) != 0) envp.push_back(*e);
  envp.push_back(display.data());
  envp.push_back(nullptr);
  // Openbox claims the display early in its start and takes map requests only
  // once started: its start-up command marks the root window then.
  const char* argv[] = {"openbox", "--sm-disable", "--startup",
                        "xprop -root -f STROPHE_WM_STARTED 8s -set STROPHE_WM_STARTED yes", nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  int spawned = posix_spawnp(&windowManager_, "openbox", &actions, nullptr, const_cast<char**>(argv), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start openbox");
  Atom started = XInternAtom(x_->display, "STROPHE_WM_STARTED", False);
  bool managing = poll(20.0, [&] {
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(x_->display, DefaultRootWindow(x_->display), started, 0, 1, False, AnyPropertyType, &type,
                       &format, &count, &after, &data);
    if (data) XFree(data);
    return count > 0;
  });
  if (!managing) throw std::runtime_error("openbox did not finish starting on " + server_.display());
}

ProgramUnderTest::~ProgramUnderTest() {
  if (gate_ >= 0) close(gate_);
  if (!exited_ && pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (windowManager_ > 0) {
    kill(windowManager_, SIGTERM);
    waitpid(windowManager_, nullptr, 0);
  }
  XCloseDisplay(x_->display);
  delete x_;
}

namespace {

std::string nameOf(Display* d, Window w) {
  char* name = nullptr;
  std::string result;
  if (XFetchName(d, w, &name) && name) {
    result = name;
    XFree(name);
  }
  return result;
}

Window findByTitle(Display* d, Window root, const std::string& prefix, int mapState) {
  Window rootReturn, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, root, &rootReturn, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes;
    if (nameOf(d, children[i]).rfind(prefix, 0) == 0 && XGetWindowAttributes(d, children[i], &attributes) &&
        attributes.map_state == mapState)
      found = children[i];
    else
      found = findByTitle(d, children[i], prefix, mapState);
  }
  if (children) XFree(children);
  return found;
}

}  // namespace

unsigned long ProgramUnderTest::waitForTitled(const std::string& titlePrefix, int mapState, double seconds) {
  Window found = 0;
  poll(seconds, [&] {
    found = findByTitle(x_->display, DefaultRootWindow(x_->display), titlePrefix, mapState);
    return found != 0 || waitExit(0.0) != -1;
  });
  return found;
}

bool ProgramUnderTest::waitForWindow(const std::string& titlePrefix, double seconds) {
  window_ = waitForTitled(titlePrefix, IsViewable, seconds);
  return window_ != 0;
}

bool ProgramUnderTest::waitForUnmappedWindow(const std::string& titlePrefix, double seconds) {
  return waitForTitled(titlePrefix, IsUnmapped, seconds) != 0;
}

bool ProgramUnderTest::waitForMapRequest(double seconds) {
  Display* d = x_->display;
  const std::size_t before = heldMaps_.size();
  poll(seconds, [&] {
    while (XPending(d) > 0) {
      XEvent event;
      XNextEvent(d, &event);
      if (event.type != MapRequest) continue;
      const Window w = event.xmaprequest.window;
      heldMaps_.push_back(w);
      const long extents[4] = {0, 0, 0, 0};
      XChangeProperty(d, w, XInternAtom(d, "_NET_FRAME_EXTENTS", False), XA_CARDINAL, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(extents), 4);
      XFlush(d);
    }
    return heldMaps_.size() > before || waitExit(0.0) != -1;
  });
  return heldMaps_.size() > before;
}

void ProgramUnderTest::releaseMaps() {
  Display* d = x_->display;
  XSelectInput(d, DefaultRootWindow(d), NoEventMask);
  XSync(d, False);
  while (XPending(d) > 0) {
    XEvent event;
    XNextEvent(d, &event);
    if (event.type == MapRequest) heldMaps_.push_back(event.xmaprequest.window);
  }
  for (unsigned long w : heldMaps_) XMapWindow(d, w);
  heldMaps_.clear();
  XSync(d, False);
}

std::pair<std::string, std::string> ProgramUnderTest::windowClass() const {
  XClassHint hint{};
  if (!XGetClassHint(x_->display, window_, &hint)) return {};
  std::pair<std::string, std::string> names{hint.res_name ? hint.res_name : "", hint.res_class ? hint.res_class : ""};
  XFree(hint.res_name);
  XFree(hint.res_class);
  return names;
}

std::vector<WindowIcon> ProgramUnderTest::windowIcons() const {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<WindowIcon> icons;
  if (XGetWindowProperty(x_->display, window_, XInternAtom(x_->display, "_NET_WM_ICON", False), 0, 1 << 22, False,
                         XA_CARDINAL, &type, &format, &count, &after, &data) != Success || !data)
    return icons;
  // Format-32 items arrive as longs: width, height, then width x height pixels, per icon.
  const long* items = reinterpret_cast<const long*>(data);
  for (unsigned long i = 0; i + 2 <= count;) {
    WindowIcon icon;
    icon.width = static_cast<int>(items[i]);
    icon.height = static_cast<int>(items[i + 1]);
    const unsigned long pixels = static_cast<unsigned long>(icon.width) * static_cast<unsigned long>(icon.height);
    if (icon.width <= 0 || icon.height <= 0 || count - i - 2 < pixels) break;
    for (unsigned long k = 0; k < pixels; ++k) icon.argb.push_back(static_cast<std::uint32_t>(items[i + 2 + k]));
    icons.push_back(std::move(icon));
    i += 2 + pixels;
  }
  XFree(data);
  return icons;
}

int ProgramUnderTest::activationRequests() {
  const Atom active = XInternAtom(x_->display, "_NET_ACTIVE_WINDOW", False);
  XSync(x_->display, False);
  while (XPending(x_->display) > 0) {
    XEvent event;
    XNextEvent(x_->display, &event);
    if (event.type == ClientMessage && event.xclient.message_type == active && event.xclient.window == window_)
      ++activations_;
  }
  return activations_;
}

void ProgramUnderTest::windowGeometry(int* width, int* height) const {
  XWindowAttributes attributes;
  XGetWindowAttributes(x_->display, window_, &attributes);
  *width = attributes.width;
  *height = attributes.height;
}

Image ProgramUnderTest::capture() const {
  Image image;
  int w = 0, h = 0;
  windowGeometry(&w, &h);
  XImage* x = XGetImage(x_->display, window_, 0, 0, w, h, AllPlanes, ZPixmap);
  if (!x) return image;
  image.width = w;
  image.height = h;
  image.rgb.resize(static_cast<std::size_t>(w) * h * 3);
  if (x->bits_per_pixel == 32 && x->byte_order == LSBFirst && x->red_mask == 0xff0000 && x->blue_mask == 0xff) {
    // The usual 24-bit depth: read the rows directly, XGetPixel is slow.
    for (int y = 0; y < h; ++y) {
      const auto* row = reinterpret_cast<const std::uint8_t*>(x->data + static_cast<std::size_t>(y) * x->bytes_per_line);
      std::uint8_t* out = &image.rgb[static_cast<std::size_t>(y) * w * 3];
      for (int xx = 0; xx < w; ++xx, row += 4, out += 3) {
        out[0] = row[2];
        out[1] = row[1];
        out[2] = row[0];
      }
    }
    XDestroyImage(x);
    return image;
  }
  for (int y = 0; y < h; ++y) {
    for (int xx = 0; xx < w; ++xx) {
      unsigned long p = XGetPixel(x, xx, y);
      std::uint8_t* out = &image.rgb[(static_cast<std::size_t>(y) * w + xx) * 3];
      out[0] = (p >> 16) & 0xff;
      out[1] = (p >> 8) & 0xff;
      out[2] = p & 0xff;
    }
  }
  XDestroyImage(x);
  return image;
}

Image ProgramUnderTest::waitForCapture(const std::function<bool(const Image&)>& accept, double seconds) const {
  Image image;
  return poll(seconds, [&] { return (image = capture()).width > 0 && accept(image); }) ? image : Image{};
}

void ProgramUnderTest::sync() const { XSync(x_->display, False); }

void ProgramUnderTest::moveTo(int x, int y) {
  int rx = 0, ry = 0;
  Window child;
  XTranslateCoordinates(x_->display, window_, DefaultRootWindow(x_->display), x, y, &rx, &ry, &child);
  XTestFakeMotionEvent(x_->display, -1, rx, ry, CurrentTime);
  sync();
}

void ProgramUnderTest::press(int button) {
  XTestFakeButtonEvent(x_->display, static_cast<unsigned>(button), True, CurrentTime);
  sync();
  settleWindowManager();
}

void ProgramUnderTest::release(int button) {
  XTestFakeButtonEvent(x_->display, static_cast<unsigned>(button), False, CurrentTime);
  sync();
  settleWindowManager();
}

// openbox takes a press on a client window through a passive grab that
// freezes the pointer, and passes the press on (replays it) only once it has
// read it. It answers a frame-extents request in turn, after every event
// before it: once the answer is there, the press has reached the program.
void ProgramUnderTest::settleWindowManager() {
  if (windowManager_ <= 0) return;
  Display* d = x_->display;
  const Window root = DefaultRootWindow(d);
  if (!extentsProbe_) extentsProbe_ = XCreateSimpleWindow(d, root, 0, 0, 1, 1, 0, 0, 0);
  const Atom extents = XInternAtom(d, "_NET_FRAME_EXTENTS", False);
  XDeleteProperty(d, extentsProbe_, extents);
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = extentsProbe_;
  request.xclient.message_type = XInternAtom(d, "_NET_REQUEST_FRAME_EXTENTS", False);
  request.xclient.format = 32;
  XSendEvent(d, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
  sync();
  const bool answered = poll(20.0, [&] {
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(d, extentsProbe_, extents, 0, 4, False, AnyPropertyType, &type, &format, &count, &after,
                       &data);
    if (data) XFree(data);
    return count > 0;
  });
  if (!answered) throw std::runtime_error("openbox did not answer a frame-extents request");
}

void ProgramUnderTest::moveThrough(const std::vector<std::pair<int, int>>& points, double stepSeconds) {
  for (const auto& [x, y] : points) {
    moveTo(x, y);
    sleepSeconds(stepSeconds);
  }
}

void ProgramUnderTest::typeReturn() {
  // Focus follows nothing on a bare X server: give the window the keyboard first.
  XSetInputFocus(x_->display, window_, RevertToParent, CurrentTime);
  KeyCode code = XKeysymToKeycode(x_->display, XK_Return);
  XTestFakeKeyEvent(x_->display, code, True, CurrentTime);
  XTestFakeKeyEvent(x_->display, code, False, CurrentTime);
  sync();
}

void ProgramUnderTest::requestClose() {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window_;
  event.xclient.message_type = XInternAtom(x_->display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(x_->display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(x_->display, window_, False, NoEventMask, &event);
  sync();
}

void ProgramUnderTest::iconify() {
  XIconifyWindow(x_->display, window_, DefaultScreen(x_->display));
  sync();
}

void ProgramUnderTest::restore() {
  XMapRaised(x_->display, window_);
  sync();
}

void ProgramUnderTest::coverAndUncover(double seconds) {
  constexpr int kMargin = 40;  // pixels beyond the program's window on every side
  int x = 0, y = 0, width = 0, height = 0;
  Window child;
  XTranslateCoordinates(x_->display, window_, DefaultRootWindow(x_->display), 0, 0, &x, &y, &child);
  windowGeometry(&width, &height);
  x -= kMargin;
  y -= kMargin;
  width += 2 * kMargin;
  height += 2 * kMargin;
  Display* d = x_->display;
  Window cover = XCreateSimpleWindow(d, DefaultRootWindow(d), x, y, width, height, 0, BlackPixel(d, 0),
                                     BlackPixel(d, 0));
  // Placed where asked, not where the window manager would put it.
  XSizeHints hints{};
  hints.flags = USPosition | USSize;
  hints.x = x;
  hints.y = y;
  hints.width = width;
  hints.height = height;
  XSetWMNormalHints(d, cover, &hints);
  // It takes no focus, so the program sees the expose alone, no focus change.
  XWMHints wm{};
  wm.flags = InputHint;
  wm.input = False;
  XSetWMHints(d, cover, &wm);
  XMapRaised(d, cover);
  sync();
  sleepSeconds(seconds / 2);
  XMoveWindow(d, cover, x, y);  // in case the frame was placed with an offset
  XRaiseWindow(d, cover);
  sync();
  sleepSeconds(seconds / 2);
  XDestroyWindow(d, cover);
  sync();
}

bool ProgramUnderTest::advanceFrames(int frames, double seconds) {
  if (gate_ < 0 || frames <= 0) return gate_ >= 0;
  std::string grant(static_cast<std::size_t>(frames), '\1');
  if (send(gate_, grant.data(), grant.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(grant.size())) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (int done = 0; done < frames;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd ready{gate_, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) return false;
    char buffer[256];
    const ssize_t got = recv(gate_, buffer, sizeof buffer, 0);
    if (got <= 0) return false;  // the program is gone
    done += static_cast<int>(got);
  }
  return true;
}

int ProgramUnderTest::waitExit(double seconds) {
  // Once reaped, the process is gone from waitpid and /proc: only the status
  // kept here tells a later caller (the failure report) that it ended.
  int status = 0;
  if (exited_) return exitStatus_;
  if (!poll(seconds, [&] { return waitpid(pid_, &status, WNOHANG) == pid_; })) return -1;
  exited_ = true;
  exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return exitStatus_;
}

std::string ProgramUnderTest::errors() const {
  if (stderrPath_.empty()) return {};
  std::ifstream file(stderrPath_, std::ios::binary);
  std::string text(64 * 1024, '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(file.gcount()));
  return text;
}

namespace {

void describeTree(Display* d, Window w, int depth, std::ostringstream& out) {
  XWindowAttributes a{};
  if (!XGetWindowAttributes(d, w, &a)) return;
  // The root's children and every named window: a window manager's many
  // small decoration windows say nothing.
  static const char* const kStates[] = {"unmapped", "unviewable", "viewable"};
  const std::string name = nameOf(d, w);
  if (depth <= 1 || !name.empty())
    out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << "0x" << std::hex << w << std::dec << " '" << name
        << "' " << kStates[a.map_state % 3] << ' ' << a.width << 'x' << a.height << '\n';
  Window rootReturn, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, w, &rootReturn, &parent, &children, &count)) return;
  for (unsigned i = 0; i < count; ++i) describeTree(d, children[i], depth + 1, out);
  if (children) XFree(children);
}

std::string firstLine(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  std::getline(file, line);
  return line;
}

// The first of a thread's scheduler counts: nanoseconds on a CPU.
double runSeconds(const std::string& task) {
  std::ifstream file(task + "/schedstat");
  unsigned long long nanoseconds = 0;
  return file >> nanoseconds ? static_cast<double>(nanoseconds) * 1e-9 : 0.0;
}

// Calls `each` with the /proc folder of every thread of `pid`.
template <typename Each>
void forEachThread(pid_t pid, Each each) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  if (DIR* dir = opendir(tasks.c_str())) {
    while (const dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') each(tasks + "/" + entry->d_name);
    closedir(dir);
  }
}

}  // namespace

double cpuSeconds(pid_t pid) {
  double seconds = 0.0;
  forEachThread(pid, [&](const std::string& task) { seconds += runSeconds(task); });
  return seconds;
}

std::string ProgramUnderTest::stateReport() {
  std::ostringstream out;
  const int status = waitExit(0.0);
  out << (status == -1 ? "still runs" : "ended with " + std::to_string(status)) << "; its standard error:\n"
      << errors() << "\nwindows on " << server_.display() << ":\n";
  describeTree(x_->display, DefaultRootWindow(x_->display), 0, out);
  out << "threads of " << pid_ << ":\n";
  forEachThread(pid_, [&](const std::string& task) {
    const std::string stat = firstLine(task + "/stat");
    const std::size_t fieldsAt = stat.rfind(") ");
    if (fieldsAt == std::string::npos || fieldsAt + 2 >= stat.size()) return;  // the thread ended meanwhile
    out << "  " << firstLine(task + "/comm") << ' ' << stat[fieldsAt + 2] << ", " << runSeconds(task)
        << " s of CPU, in " << firstLine(task + "/wchan") << ", syscall " << firstLine(task + "/syscall") << '\n';
  });
  return out.str();
}

}  // namespace strophe_e2e
