#pragma once

#include <QtGlobal>

namespace vesko {

// Positions and sizes of the window are designed in twips (1/1440 inch). Qt works in
// device-independent pixels, which are 1/96 inch at a scale factor of 1, so one pixel is
// 15 twips; Qt scales device-independent pixels for HiDPI screens itself.
inline constexpr int kTwipsPerPixel = 15;

inline int TwipsToPixels(double twips) {
  return qRound(twips / kTwipsPerPixel);
}
inline int PixelsToTwips(int pixels) {
  return pixels * kTwipsPerPixel;
}

}  // namespace vesko
