#pragma once

// Helpers shared by the window tests.

#include "window/main_window.h"
#include "window/status_bar.h"
#include "window/twips.h"
#include "window/window_layout.h"

#include <QLabel>
#include <QList>
#include <QPlainTextEdit>
#include <QRect>
#include <QtTest>

#include <memory>
#include <utility>

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

// Each control of the window with its widget.
inline QList<std::pair<Control, QWidget*>> ControlWidgets(const MainWindow& window) {
  return {{Control::kInputLabel, window.inputLabel()},
          {Control::kInputBox, window.inputBox()},
          {Control::kSplitterHandle, window.splitterHandle()},
          {Control::kHistoryLabel, window.historyLabel()},
          {Control::kHistoryBox, window.historyBox()},
          {Control::kSplitterBar, window.splitterBar()},
          {Control::kStatusBar, window.statusBar()}};
}

// The place the window's layout keeps for `widget`, one of its controls.
inline TwipRect PlaceOf(const MainWindow& window, const QWidget* widget) {
  for (const auto& [control, controlWidget] : ControlWidgets(window)) {
    if (controlWidget == widget) {
      return window.layout().place(control);
    }
  }
  qFatal("%s is not a control of the window", qPrintable(widget->objectName()));
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
