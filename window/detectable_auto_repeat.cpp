#include "window/detectable_auto_repeat.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

namespace vesko {

bool EnableDetectableAutoRepeat() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (display == nullptr) {
    return false;
  }
  // The setting belongs to the client's connection, which Qt and Xlib share.
  Bool supported = False;
  XkbSetDetectableAutoRepeat(display, True, &supported);
  return supported == True;
}

}  // namespace vesko
