// Starts a program and measures how long it takes until its window is mapped and viewable on the
// X server, then its peak resident memory a moment later:
//   map_watch [--settle MS] PROGRAM [ARGUMENTS...]
// The watcher is listening before the program starts. Prints one line:
//   <milliseconds to map> <VmHWM in KiB> <VmRSS in KiB> <OpenGL driver loaded: yes/no>
// and stops the program. Exits non-zero when the program maps no window within ten seconds.

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

double NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

long WindowPid(Display* display, Window window, Atom pidAtom) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  long pid = -1;
  if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                         &after, &data) == Success &&
      data != nullptr) {
    if (type == XA_CARDINAL && format == 32 && count == 1) {
      pid = *reinterpret_cast<long*>(data);
    }
    XFree(data);
  }
  return pid;
}

// A window of the program that is mapped and, with its frame, viewable.
bool Shown(Display* display, Window window, Atom pidAtom, pid_t pid) {
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, window, &attributes) == 0 ||
      attributes.map_state != IsViewable) {
    return false;
  }
  return WindowPid(display, window, pidAtom) == pid;
}

int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;  // windows may vanish between an event and the look at them
}

long StatusKiB(pid_t pid, const char* field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) {
      return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    }
  }
  return -1;
}

// Qt's GUI library links the OpenGL dispatch libraries, so they are always there; a program that
// really uses OpenGL also loads a driver or one of Qt's OpenGL integrations.
bool UsesOpenGl(pid_t pid) {
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  std::string line;
  while (std::getline(maps, line)) {
    for (const char* name :
         {"_mesa", "_dri.so", "libgallium", "libnvidia", "gl-integration", "glx-integration"}) {
      if (line.find(name) != std::string::npos) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  int first = 1;
  int settleMs = 500;
  if (argc > 2 && std::strcmp(argv[1], "--settle") == 0) {
    settleMs = std::atoi(argv[2]);
    first = 3;
  }
  if (first >= argc) {
    std::fprintf(stderr, "usage: %s [--settle MS] PROGRAM [ARGUMENTS...]\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "map_watch: cannot open the X display\n");
    return 2;
  }
  XSetErrorHandler(IgnoreErrors);
  const Window root = DefaultRootWindow(display);
  const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
  // New top-level windows show up as children of the root window; each is then watched itself,
  // since once the window manager has framed it its map is reported to its frame, not the root.
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  const double start = NowMs();
  const pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[first], argv + first);
    std::perror("map_watch: exec");
    _exit(127);
  }

  // Every window created since the start is looked at after each batch of events, so that a map
  // is not missed whichever window (the program's or its frame) reports it.
  std::vector<Window> created;
  double mapped = -1;
  while (mapped < 0) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == CreateNotify) {
        created.push_back(event.xcreatewindow.window);
        XSelectInput(display, event.xcreatewindow.window, StructureNotifyMask);
      }
    }
    for (const Window window : created) {
      if (Shown(display, window, pidAtom, pid)) {
        mapped = NowMs();
        break;
      }
    }
    if (mapped >= 0) {
      break;
    }
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      std::fprintf(stderr, "map_watch: the program ended before mapping a window\n");
      return 1;
    }
    if (NowMs() - start > 10000) {
      std::fprintf(stderr, "map_watch: no window within ten seconds\n");
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      return 1;
    }
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, 1);
  }

  usleep(static_cast<useconds_t>(settleMs) * 1000);
  const long peak = StatusKiB(pid, "VmHWM");
  const long resident = StatusKiB(pid, "VmRSS");
  const bool openGl = UsesOpenGl(pid);
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  std::printf("%.1f %ld %ld %s\n", mapped - start, peak, resident, openGl ? "yes" : "no");
  XCloseDisplay(display);
  return 0;
}
