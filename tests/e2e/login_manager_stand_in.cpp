// Answers org.freedesktop.login1's Manager.Inhibit on the bus given as the
// argument. The screen saver under test takes a sleep lock from the login
// manager at start and gives up without one; logind cannot run in a test.
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cstdio>

namespace {

int inhibit(sd_bus_message* call, void*, sd_bus_error*) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const int rc = sd_bus_reply_method_return(call, "h", fds[0]);  // sends a duplicate
  close(fds[0]);
  return rc;  // fds[1] stays open: the lock holds while this process lives
}

const sd_bus_vtable kManager[] = {SD_BUS_VTABLE_START(0),
                                  SD_BUS_METHOD("Inhibit", "ssss", "h", inhibit, SD_BUS_VTABLE_UNPRIVILEGED),
                                  SD_BUS_VTABLE_END};

}  // namespace

int main(int argc, char** argv) {
  sd_bus* bus = nullptr;
  if (argc != 2 || sd_bus_new(&bus) < 0 || sd_bus_set_address(bus, argv[1]) < 0 || sd_bus_set_bus_client(bus, 1) < 0 ||
      sd_bus_negotiate_fds(bus, 1) < 0 || sd_bus_start(bus) < 0 ||
      sd_bus_add_object_vtable(bus, nullptr, "/org/freedesktop/login1", "org.freedesktop.login1.Manager", kManager,
                               nullptr) < 0 ||
      sd_bus_request_name(bus, "org.freedesktop.login1", 0) < 0)
    return 1;
  std::fputs("login manager stand-in ready\n", stderr);
  for (;;) {
    const int rc = sd_bus_process(bus, nullptr);
    if (rc < 0 || (rc == 0 && sd_bus_wait(bus, UINT64_MAX) < 0)) return 0;  // the bus went away
  }
}
