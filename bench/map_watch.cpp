// Starts a program and measures how long it takes until its window is mapped and viewable on the
// X server, then its peak resident memory a moment later:
//   map_watch [--settle MS] PROGRAM [ARGUMENTS...]
// The watcher is listening before the program starts. Prints one line:
//   <milliseconds to map> <VmHWM in KiB> <VmRSS in KiB> <OpenGL driver loaded: yes/no>
// and stops the program. Exits non-zero when the program maps no window within ten seconds.

#include "bench/x11_program_window.h"

#include <X11/Xlib.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

using vesko::bench::NowMs;

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
  vesko::bench::ProgramWindowWatch watch(display);

  const double start = NowMs();
  const pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[first], argv + first);
    std::perror("map_watch: exec");
    _exit(127);
  }

  if (watch.WaitUntilShown(pid, start, 10000, "map_watch") == None) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return 1;
  }
  const double mapped = NowMs();

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
