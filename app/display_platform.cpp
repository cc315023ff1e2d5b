#include "app/display_platform.h"

#include <QGuiApplication>
#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace vesko {

void PreferX11OnWayland() {
  if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY") ||
      !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    return;
  }
  qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

void ReportMissingWindowFeatures() {
  if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
    return;
  }
  std::fputs(
      "vesko-calc: running as a Wayland client: the window cannot stay on top of other windows, "
      "and it is not placed at the top-left corner of the screen (both need an X server, such as "
      "XWayland, named by DISPLAY).\n",
      stderr);
}

}  // namespace vesko
