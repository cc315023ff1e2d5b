#pragma once

namespace vesko {

// Run before the application object exists. On a Wayland desktop (WAYLAND_DISPLAY set) with an X
// server at hand (DISPLAY set, as XWayland provides), the window goes through X11: a Wayland
// client cannot keep its window above the others nor place it at the top-left corner of the
// screen. Wayland stays the fallback if the X server cannot be reached. A platform the user chose
// (QT_QPA_PLATFORM, or -platform on the command line) is left as it is.
void PreferX11OnWayland();

// Run once the application object exists: says on standard error what the window cannot do on
// the platform in use (nothing on X11).
void ReportMissingWindowFeatures();

}  // namespace vesko
