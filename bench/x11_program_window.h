#pragma once

// Helpers shared by the benchmarks that start a program under an X server and watch its window:
// a monotonic clock, and finding the program's top-level window once it is shown.

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>

#include <cstdio>
#include <vector>

namespace vesko::bench {

inline double NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The process id a window carries in _NET_WM_PID, or -1.
inline long WindowPid(Display* display, Window window, Atom pidAtom) {
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

inline int IgnoreXErrors(Display*, XErrorEvent*) {
  return 0;  // windows may vanish between an event and the look at them
}

// Watches the top-level windows created from now on. Construct it before starting the program,
// so that no window is missed.
class ProgramWindowWatch {
 public:
  explicit ProgramWindowWatch(Display* display)
      : display_(display), pidAtom_(XInternAtom(display, "_NET_WM_PID", False)) {
    XSetErrorHandler(IgnoreXErrors);
    // New top-level windows show up as children of the root window; each is then watched itself,
    // since once the window manager has framed it its map is reported to its frame, not the root.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
  }

  // Waits until a window of process `pid` is mapped and, with its frame, viewable, and returns
  // it; None when the process ends first or `timeoutMs` (counted from `startMs`) passes. Events
  // other than window creations that arrive meanwhile are dropped.
  Window WaitUntilShown(pid_t pid, double startMs, double timeoutMs, const char* who) {
    // Every window created since the start is looked at after each batch of events, so that a
    // map is not missed whichever window (the program's or its frame) reports it.
    while (true) {
      while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == CreateNotify) {
          created_.push_back(event.xcreatewindow.window);
          XSelectInput(display_, event.xcreatewindow.window, StructureNotifyMask);
        }
      }
      for (const Window window : created_) {
        if (Shown(window, pid)) {
          return window;
        }
      }
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) {
        std::fprintf(stderr, "%s: the program ended before mapping a window\n", who);
        return None;
      }
      if (NowMs() - startMs > timeoutMs) {
        std::fprintf(stderr, "%s: no window within %.0f seconds\n", who, timeoutMs / 1e3);
        return None;
      }
      pollfd connection{ConnectionNumber(display_), POLLIN, 0};
      poll(&connection, 1, 1);
    }
  }

 private:
  // A window of the program that is mapped and, with its frame, viewable.
  bool Shown(Window window, pid_t pid) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0 ||
        attributes.map_state != IsViewable) {
      return false;
    }
    return WindowPid(display_, window, pidAtom_) == pid;
  }

  Display* display_;
  Atom pidAtom_;
  std::vector<Window> created_;
};

}  // namespace vesko::bench
