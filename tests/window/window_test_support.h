#pragma once

// Helpers shared by the window tests.

#include "window/main_window.h"
#include "window/twips.h"

#include <QRect>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(vesko::TwipRect)

namespace vesko {
// Lets QCOMPARE print a control's place.
inline char* toString(const TwipRect& r) {
  return QTest::toString(QStringLiteral("TwipRect(%1, %2, %3 x %4)")
                             .arg(r.left)
                             .arg(r.top)
                             .arg(r.width)
                             .arg(r.height));
}

// The pixels a control placed at `t` covers.
inline QRect PixelRect(const TwipRect& t) {
  return QRect(TwipsToPixels(t.left), TwipsToPixels(t.top), TwipsToPixels(t.width),
               TwipsToPixels(t.height));
}

// A window after its start-up sequence, shown and exposed.
inline std::unique_ptr<MainWindow> StartWindow(ExpressionEvaluator& evaluator) {
  auto window = std::make_unique<MainWindow>(evaluator);
  window->Load();
  if (!QTest::qWaitForWindowExposed(window.get())) {
    qWarning("window not exposed");
  }
  return window;
}
}  // namespace vesko
