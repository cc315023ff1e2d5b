// End-to-end key latency: types keys into a program's window through XTest and times its repaints
// through XDamage, as a user at the keyboard would see them:
//   key_latency [OPTIONS] PROGRAM [ARGUMENTS...]
//     --prepare none|commits|long|paste|paste-commit
//                                  before measuring, nothing (the default); 1,000 short
//                                  expressions, each followed by Return; 2,000 characters
//                                  typed into the input; the clipboard pasted with Ctrl+V (set
//                                  it beforehand, say with xclip); or that pasted, then Return
//     --measure keys|enter         what is timed: every key of the cycle (the default), or only
//                                  Return in a cycle of "1+2" and Return (Enter to row shown)
//     --keys N                     keys measured (default 200), after one cycle not counted
//     --pace MS                    time from one key to the next, at least (default 60)
//     --quiet MS                   a repaint has finished when the window then stays without
//                                  damage this long (default 50: longer than any fixed wait
//                                  worth catching, such as a 30 ms hold of key releases)
//     --ignore-bottom PX           damage lying wholly within this many rows at the bottom of the
//                                  window is not counted: the calculator's status bar clock
//                                  (default 0)
// Starts PROGRAM, waits until its window is shown and has the keyboard focus, then types a cycle
// of "1+2*3-4" and seven Backspaces, so that the input keeps its length. Each key's press and
// release (inside Shift's press and release where the character needs Shift) are sent together.
// For each key:
//   first     the time from sending the press to the first damage of the window;
//   finished  the time from sending the press to the last damage before the window stays quiet.
// Prints one line, times in milliseconds:
//   first MEDIAN P95 P99 finished MEDIAN P95 P99 keys N late L idle I prepare P
// where L counts keys whose window was damaged again after it had gone quiet (before the next
// key), and I the damage during one idle second before measuring (a blinking caret, say); both
// should be 0, and P the time the preparation took until the window went quiet. Stops the
// program at the end.

#include "bench/percentile.h"
#include "bench/x11_program_window.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using vesko::bench::NowMs;
using vesko::bench::Percentile;

constexpr const char* kName = "key_latency";
// The measured cycle: characters that need Shift and ones that do not, then as many Backspaces.
constexpr const char* kTypedPart = "1+2*3-4";
constexpr int kLongInputLength = 2000;
constexpr int kCommits = 1000;
// A key that brings no repaint within this time counts as missing.
constexpr double kRepaintLimitMs = 1000;

struct Options {
  std::string prepare = "none";
  bool enterOnly = false;
  int keys = 200;
  double paceMs = 60;
  double quietMs = 50;
  int ignoreBottom = 0;
  int program = 0;  // index of PROGRAM in argv
};

std::optional<Options> ParseOptions(int argc, char* argv[]) {
  Options options;
  int i = 1;
  for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
    const std::string name = argv[i];
    const char* value = argv[i + 1];
    if (name == "--prepare") {
      options.prepare = value;
    } else if (name == "--measure" &&
               (std::strcmp(value, "keys") == 0 || std::strcmp(value, "enter") == 0)) {
      options.enterOnly = std::strcmp(value, "enter") == 0;
    } else if (name == "--keys") {
      options.keys = std::atoi(value);
    } else if (name == "--pace") {
      options.paceMs = std::atof(value);
    } else if (name == "--quiet") {
      options.quietMs = std::atof(value);
    } else if (name == "--ignore-bottom") {
      options.ignoreBottom = std::atoi(value);
    } else {
      return std::nullopt;
    }
  }
  const bool known = options.prepare == "none" || options.prepare == "commits" ||
                     options.prepare == "long" || options.prepare == "paste" ||
                     options.prepare == "paste-commit";
  if (i >= argc || !known || options.keys < 1 || options.quietMs <= 0) {
    return std::nullopt;
  }
  options.program = i;
  return options;
}

// One key to type: its key code, and whether Shift or Control must be held for it.
struct Stroke {
  KeyCode code = 0;
  bool shift = false;
  bool control = false;
};

// Types characters through XTest.
class Typist {
 public:
  explicit Typist(Display* display)
      : display_(display),
        shift_(XKeysymToKeycode(display, XK_Shift_L)),
        control_(XKeysymToKeycode(display, XK_Control_L)) {}

  // The strokes that type `text`: '\n' is Return, '\b' Backspace, '\x16' Ctrl+V (paste),
  // anything else the character of that code. Empty when the keyboard map has no key for one of
  // them.
  std::vector<Stroke> StrokesFor(const std::string& text) const {
    std::vector<Stroke> strokes;
    for (const char c : text) {
      const bool control = c == '\x16';
      const KeySym symbol = c == '\n'   ? XK_Return
                            : c == '\b' ? XK_BackSpace
                            : control   ? XK_v
                                        : static_cast<KeySym>(static_cast<unsigned char>(c));
      const KeyCode code = XKeysymToKeycode(display_, symbol);
      if (code == 0) {
        return {};
      }
      if (XkbKeycodeToKeysym(display_, code, 0, 0) == symbol) {
        strokes.push_back({code, false, control});
      } else if (XkbKeycodeToKeysym(display_, code, 0, 1) == symbol) {
        strokes.push_back({code, true, control});
      } else {
        return {};
      }
    }
    return strokes;
  }

  // Sends a key's press and release and returns the time the press was sent.
  double Type(const Stroke& stroke) {
    if (stroke.control) {
      XTestFakeKeyEvent(display_, control_, True, CurrentTime);
    }
    if (stroke.shift) {
      XTestFakeKeyEvent(display_, shift_, True, CurrentTime);
    }
    XTestFakeKeyEvent(display_, stroke.code, True, CurrentTime);
    XTestFakeKeyEvent(display_, stroke.code, False, CurrentTime);
    if (stroke.shift) {
      XTestFakeKeyEvent(display_, shift_, False, CurrentTime);
    }
    if (stroke.control) {
      XTestFakeKeyEvent(display_, control_, False, CurrentTime);
    }
    const double sent = NowMs();
    XFlush(display_);
    return sent;
  }

 private:
  Display* display_;
  KeyCode shift_;
  KeyCode control_;
};

// The damage to one window, as the X server reports it: every rectangle drawn.
class DamageWatch {
 public:
  DamageWatch(Display* display, Window window, int eventBase, int ignoreBottom)
      : display_(display), window_(window), eventBase_(eventBase), ignoreBottom_(ignoreBottom) {
    // The damage object lives as long as the connection to the X server.
    XDamageCreate(display, window, XDamageReportRawRectangles);
    XSync(display, False);
  }

  // Reads every event that has arrived; returns how many counted damage rectangles were among
  // them. Rectangles wholly within the ignored rows at the bottom are not counted.
  int Drain() {
    int counted = 0;
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type != eventBase_ + XDamageNotify) {
        continue;
      }
      const auto* damage = reinterpret_cast<const XDamageNotifyEvent*>(&event);
      if (damage->drawable == window_ &&
          damage->area.y < static_cast<int>(damage->geometry.height) - ignoreBottom_) {
        ++counted;
      }
    }
    return counted;
  }

  // Sleeps until an event arrives or the time `until` (NowMs) has come.
  void WaitUntil(double until) const {
    const double left = until - NowMs();
    if (left <= 0 || XPending(display_) > 0) {
      return;
    }
    pollfd connection{ConnectionNumber(display_), POLLIN, 0};
    poll(&connection, 1, static_cast<int>(std::ceil(left)));
  }

  // Waits until damage comes or the time `until` (NowMs) has come; true on damage.
  bool WaitForDamage(double until) {
    while (Drain() == 0) {
      if (NowMs() >= until) {
        return false;
      }
      WaitUntil(until);
    }
    return true;
  }

  // Waits until no damage has come for `quietMs`; false when that does not happen within
  // `limitMs`.
  bool WaitQuiet(double quietMs, double limitMs) {
    const double start = NowMs();
    double last = start;
    while (true) {
      const double now = NowMs();
      if (Drain() > 0) {
        last = now;
      }
      if (now - last >= quietMs) {
        return true;
      }
      if (now - start > limitMs) {
        return false;
      }
      WaitUntil(last + quietMs);
    }
  }

  // Counts the damage rectangles arriving during `ms`.
  int Count(double ms) {
    const double end = NowMs() + ms;
    int count = 0;
    while (NowMs() < end) {
      count += Drain();
      WaitUntil(end);
    }
    return count + Drain();
  }

 private:
  Display* display_;
  Window window_;
  int eventBase_;
  int ignoreBottom_;
};

// The repaint after one key, in milliseconds after its press; negative when there was none.
struct Repaint {
  double first = -1;
  double finished = -1;
};

Repaint FollowRepaint(DamageWatch& watch, double sent, double quietMs) {
  Repaint repaint;
  while (true) {
    const double now = NowMs();
    if (watch.Drain() > 0) {
      if (repaint.first < 0) {
        repaint.first = now - sent;
      }
      repaint.finished = now - sent;
    }
    const double deadline =
        repaint.first < 0 ? sent + kRepaintLimitMs : sent + repaint.finished + quietMs;
    if (now >= deadline) {
      return repaint;
    }
    watch.WaitUntil(deadline);
  }
}

// Waits until `window` has the keyboard focus, giving it the focus if the window manager has not
// within two seconds.
bool WaitForFocus(Display* display, Window window) {
  const double start = NowMs();
  bool asked = false;
  while (true) {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus == window) {
      return true;
    }
    const double waited = NowMs() - start;
    if (waited > 2000 && !asked) {
      XSetInputFocus(display, window, RevertToParent, CurrentTime);
      asked = true;
    } else if (waited > 4000) {
      return false;
    }
    usleep(10000);
  }
}

// What is typed before measuring; the typed keys never repeat one key twice in a row, which could
// pass for a held key.
std::string PreparedText(const std::string& prepare) {
  std::string text;
  if (prepare == "commits") {
    for (int i = 0; i < kCommits; ++i) {
      text += static_cast<char>('1' + i % 9);
      text += '*';
      text += static_cast<char>('1' + i / 9 % 9);
      text += '\n';
    }
  } else if (prepare == "long") {
    while (text.size() < kLongInputLength) {
      text += "12+34*5-6+";
    }
  } else if (prepare == "paste") {
    text = "\x16";
  } else if (prepare == "paste-commit") {
    text = "\x16\n";
  }
  return text;
}

bool Alive(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, WNOHANG) == 0;
}

void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::optional<Options> options = ParseOptions(argc, argv);
  if (!options) {
    std::fprintf(stderr,
                 "usage: %s [--prepare none|commits|long|paste|paste-commit] "
                 "[--measure keys|enter] [--keys N] "
                 "[--pace MS] [--quiet MS] "
                 "[--ignore-bottom PX] PROGRAM [ARGUMENTS...]\n",
                 kName);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "%s: cannot open the X display\n", kName);
    return 2;
  }
  int damageEvents = 0;
  int damageErrors = 0;
  int ignored = 0;
  if (!XDamageQueryExtension(display, &damageEvents, &damageErrors) ||
      !XTestQueryExtension(display, &ignored, &ignored, &ignored, &ignored)) {
    std::fprintf(stderr, "%s: the X server lacks the DAMAGE or XTEST extension\n", kName);
    return 2;
  }
  Typist typist(display);
  // Enter to row: an expression, then Return, which alone is timed.
  std::string cycleText = options->enterOnly ? std::string("1+2\n") : std::string(kTypedPart);
  if (!options->enterOnly) {
    cycleText.append(std::strlen(kTypedPart), '\b');
  }
  const std::vector<Stroke> cycle = typist.StrokesFor(cycleText);
  const std::vector<Stroke> prepared = typist.StrokesFor(PreparedText(options->prepare));
  if (cycle.empty() || (prepared.empty() && options->prepare != "none")) {
    std::fprintf(stderr, "%s: the keyboard map cannot type the test keys\n", kName);
    return 2;
  }
  // The pointer rests in the screen's far corner, away from the window, so that nothing under it
  // changes while typing.
  const Screen* screen = DefaultScreenOfDisplay(display);
  XTestFakeMotionEvent(display, -1, WidthOfScreen(screen) - 1, HeightOfScreen(screen) - 1,
                       CurrentTime);

  vesko::bench::ProgramWindowWatch windows(display);
  const double start = NowMs();
  const pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[options->program], argv + options->program);
    std::perror("key_latency: exec");
    _exit(127);
  }
  const Window window = windows.WaitUntilShown(pid, start, 10000, kName);
  if (window == None || !WaitForFocus(display, window)) {
    if (window != None) {
      std::fprintf(stderr, "%s: the window did not get the keyboard focus\n", kName);
    }
    Stop(pid);
    return 1;
  }

  DamageWatch watch(display, window, damageEvents, options->ignoreBottom);
  watch.WaitQuiet(300, 10000);
  // Prepared keys go in as fast as the program shows them, each once the window has been
  // damaged after the one before: the program gets no backlog of keys to catch up with. A paste
  // may take long; the next key waits until the window has gone quiet after it.
  const bool pasting = options->prepare.starts_with("paste");
  constexpr double kPreparedQuietMs = 500;
  const double prepareStart = NowMs();
  for (const Stroke& stroke : prepared) {
    // A paste shows nothing until the whole text has come from the clipboard and is laid out.
    watch.WaitForDamage(typist.Type(stroke) + (pasting ? 120000 : kRepaintLimitMs));
    if (pasting) {
      watch.WaitQuiet(kPreparedQuietMs, 120000);
    }
  }
  if (!watch.WaitQuiet(kPreparedQuietMs, 120000)) {
    std::fprintf(stderr, "%s: the window kept repainting after the preparation\n", kName);
  }
  const double prepareMs =
      prepared.empty()
          ? 0
          : NowMs() - prepareStart -
                kPreparedQuietMs * static_cast<double>(pasting ? prepared.size() + 1 : 1);
  const int idle = watch.Count(1000);

  std::vector<double> first;
  std::vector<double> finished;
  int late = 0;
  int missing = 0;
  const size_t warmUp = cycle.size();
  double next = NowMs();
  const auto timed = [&](size_t i) {
    return i >= warmUp && (!options->enterOnly || cycleText[i % cycle.size()] == '\n');
  };
  for (size_t i = 0;
       first.size() + static_cast<size_t>(missing) < static_cast<size_t>(options->keys); ++i) {
    // Damage between the repaint gone quiet and the next key is late.
    bool lateDamage = false;
    while (NowMs() < next) {
      lateDamage = watch.Drain() > 0 || lateDamage;
      watch.WaitUntil(next);
    }
    lateDamage = watch.Drain() > 0 || lateDamage;
    if (lateDamage && timed(i)) {
      ++late;
    }
    if (!Alive(pid)) {
      std::fprintf(stderr, "%s: the program ended while typing\n", kName);
      return 1;
    }
    const double sent = typist.Type(cycle[i % cycle.size()]);
    const Repaint repaint = FollowRepaint(watch, sent, options->quietMs);
    next = std::max(sent + options->paceMs, NowMs());
    if (!timed(i)) {
      continue;
    }
    if (repaint.first < 0) {
      ++missing;
      continue;
    }
    first.push_back(repaint.first);
    finished.push_back(repaint.finished);
  }
  Stop(pid);
  XCloseDisplay(display);

  if (missing > 0) {
    std::fprintf(stderr, "%s: %d keys brought no repaint within %.0f ms\n", kName, missing,
                 kRepaintLimitMs);
  }
  if (idle > 0) {
    std::fprintf(stderr, "%s: the idle window was damaged %d times (blinking caret?)\n", kName,
                 idle);
  }
  std::printf(
      "first %.2f %.2f %.2f finished %.2f %.2f %.2f keys %zu late %d idle %d prepare %.0f\n",
      Percentile(first, 0.5), Percentile(first, 0.95), Percentile(first, 0.99),
      Percentile(finished, 0.5), Percentile(finished, 0.95), Percentile(finished, 0.99),
      first.size(), late, idle, prepareMs);
  return first.empty() ? 1 : 0;
}
