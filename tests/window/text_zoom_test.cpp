// The text size of the two boxes: keys, Ctrl+wheel, its limits, and the user's settings that keep
// it across restarts.

#include "window/text_zoom.h"
#include "window/main_window.h"
#include "window/window_layout.h"

#include "script/script_evaluator.h"

#include "tests/window/window_test_support.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include <memory>

#include "tests/test_rows.h"

using vesko::TextZoom;
using vesko::test::Row;

class TextZoomTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<vesko::ExpressionEvaluator> evaluatorOwner_ = vesko::CreateScriptEvaluator();
  QTemporaryDir settingsDir_;

  static QSettings Settings() {
    return QSettings(QStringLiteral("vesko-calc"), QStringLiteral("vesko-calc"));
  }
  static void CompareBoxes(const vesko::MainWindow& window, double points) {
    QCOMPARE(window.inputBox()->font().pointSizeF(), points);
    QCOMPARE(window.historyBox()->font().pointSizeF(), points);
  }
  static void Wheel(QWidget* over, int angle, Qt::KeyboardModifiers modifiers) {
    const QPointF at(over->width() / 2.0, over->height() / 2.0);
    QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &wheel);
  }

 private slots:
  void initTestCase() {
    // A private settings location: the user's own settings are never read or written.
    QVERIFY(settingsDir_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
  }
  void init() { Settings().clear(); }

  void keysStepBothBoxes_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("presses");
    QTest::addColumn<double>("points");
    const int ctrl = Qt::ControlModifier;
    const int ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const int keypad = Qt::ControlModifier | Qt::KeypadModifier;
    Row("Ctrl+Plus", int(Qt::Key_Plus), ctrlShift, 1, 12.0);
    Row("Ctrl+= (Plus without Shift)", int(Qt::Key_Equal), ctrl, 2, 14.0);
    Row("keypad Ctrl+Plus", int(Qt::Key_Plus), keypad, 1, 12.0);
    Row("Ctrl+Minus", int(Qt::Key_Minus), ctrl, 1, 9.0);
    Row("keypad Ctrl+Minus", int(Qt::Key_Minus), keypad, 2, 7.5);
    Row("largest step is the limit", int(Qt::Key_Plus), ctrlShift, 40, 72.0);
    Row("smallest step is the limit", int(Qt::Key_Minus), ctrl, 40, 6.0);
    Row("Plus without Ctrl types", int(Qt::Key_Plus), 0, 1, 10.5);
    Row("Alt+Ctrl+Plus is not a zoom key", int(Qt::Key_Plus), ctrl | int(Qt::AltModifier), 1, 10.5);
  }
  void keysStepBothBoxes() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, presses);
    QFETCH(double, points);
    for (const bool fromHistory : {false, true}) {
      Settings().clear();
      auto window = vesko::StartWindow(*evaluatorOwner_);
      CompareBoxes(*window, TextZoom::kDesignPoints);
      QWidget* box = fromHistory ? static_cast<QWidget*>(window->historyBox())
                                 : static_cast<QWidget*>(window->inputBox());
      for (int i = 0; i < presses; ++i) {
        QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
      }
      CompareBoxes(*window, points);
      QCOMPARE(window->textZoom()->points(), points);
    }
  }

  // Ctrl+0 gives back the design's size, and the setting is gone again.
  void ctrlZeroResets() {
    auto window = vesko::StartWindow(*evaluatorOwner_);
    QTest::keyClick(window->inputBox(), Qt::Key_Plus, Qt::ControlModifier);
    QVERIFY(Settings().contains(TextZoom::SettingsKey()));
    const QString input = window->inputBox()->toPlainText();
    QTest::keyClick(window->historyBox(), Qt::Key_0, Qt::ControlModifier);
    CompareBoxes(*window, TextZoom::kDesignPoints);
    QVERIFY(!Settings().contains(TextZoom::SettingsKey()));
    // The zoom keys typed nothing.
    QCOMPARE(window->inputBox()->toPlainText(), input);
  }

  void ctrlWheelOverABox_data() {
    QTest::addColumn<QList<int>>("angles");  // one wheel event each, with Ctrl held
    QTest::addColumn<double>("points");
    Row("one notch up", QList<int>{120}, 12.0);
    Row("one notch down", QList<int>{-120}, 9.0);
    Row("two notches in one event", QList<int>{240}, 14.0);
    Row("half notches add up", QList<int>{60, 60}, 12.0);
    Row("a half notch does nothing yet", QList<int>{60}, 10.5);
    Row("up and back", QList<int>{120, -120}, 10.5);
  }
  void ctrlWheelOverABox() {
    QFETCH(QList<int>, angles);
    QFETCH(double, points);
    auto window = vesko::StartWindow(*evaluatorOwner_);
    for (const int angle : angles) {
      Wheel(window->historyBox()->viewport(), angle, Qt::ControlModifier);
    }
    CompareBoxes(*window, points);
  }

  // Without Ctrl the wheel scrolls the box as always.
  void plainWheelScrolls() {
    auto window = vesko::StartWindow(*evaluatorOwner_);
    QPlainTextEdit* history = window->historyBox();
    window->controller().AppendRows(QStringList(200, QStringLiteral("1+1=2")));
    window->controller().RenderHistory();
    QCoreApplication::processEvents();
    const int before = history->verticalScrollBar()->value();
    Wheel(history->viewport(), -120, Qt::NoModifier);
    CompareBoxes(*window, TextZoom::kDesignPoints);
    QVERIFY(history->verticalScrollBar()->value() > before);
  }

  // The size is kept in the user's settings: a restarted window starts with it. Only the text
  // grows: every control keeps its place.
  void sizeSurvivesARestartAndLayoutStays() {
    vesko::TwipRect places[2][7];
    {
      auto window = vesko::StartWindow(*evaluatorOwner_);
      for (int c = 0; c < 7; ++c) {
        places[0][c] = window->layout().place(static_cast<vesko::Control>(c));
      }
      for (int i = 0; i < 3; ++i) {
        QTest::keyClick(window->inputBox(), Qt::Key_Plus, Qt::ControlModifier);
      }
      CompareBoxes(*window, 16.0);
      for (int c = 0; c < 7; ++c) {
        places[1][c] = window->layout().place(static_cast<vesko::Control>(c));
      }
    }
    for (int c = 0; c < 7; ++c) {
      QCOMPARE(places[1][c], places[0][c]);
    }
    auto restarted = vesko::StartWindow(*evaluatorOwner_);
    CompareBoxes(*restarted, 16.0);
  }

  void keptSizeIsReadCarefully_data() {
    QTest::addColumn<QVariant>("kept");
    QTest::addColumn<double>("points");
    Row("a step", QVariant(24.0), 24.0);
    Row("between steps: the nearest", QVariant(25.0), 24.0);
    Row("beyond the largest", QVariant(1000.0), 72.0);
    Row("negative", QVariant(-5.0), 6.0);
    Row("not a number", QVariant(QStringLiteral("huge")), 10.5);
    Row("infinite", QVariant(QStringLiteral("inf")), 10.5);
  }
  void keptSizeIsReadCarefully() {
    QFETCH(QVariant, kept);
    QFETCH(double, points);
    Settings().setValue(TextZoom::SettingsKey(), kept);
    auto window = vesko::StartWindow(*evaluatorOwner_);
    CompareBoxes(*window, points);
  }
};

QTEST_MAIN(TextZoomTest)
#include "text_zoom_test.moc"
