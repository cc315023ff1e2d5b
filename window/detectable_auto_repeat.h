#pragma once

namespace vesko {

// Asks the X server to report a held key as repeated presses followed by one release, instead of
// a release and a press for every repeat. With it, every key release that reaches the window is
// a real one and can be handled the moment it arrives. Returns false where this is not available
// (not on X11, or an X server without the keyboard extension); held keys then show as a release
// and a press per repeat, as before.
bool EnableDetectableAutoRepeat();

}  // namespace vesko
