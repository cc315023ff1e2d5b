#include "window/kept_history.h"

#include "engine/history_file.h"
#include "script/script_evaluator.h"
#include "window/main_window.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "tests/file_bytes.h"
#include "tests/window/kept_window_fixture.h"
#include "tests/window/message_box_answer.h"

using vesko::HistoryFile;
using vesko::MainWindow;

using namespace Qt::StringLiterals;

using vesko::test::AnswerNextMessageBox;
using vesko::test::ReadBytes;
using vesko::test::WriteBytes;

namespace {

const QString kStartHistory = QStringLiteral(
    "log(1)/log(10)+pe=2.71828182845905\r\n"
    "(12-10)**(4)+sin((60-30)*pi/180)=16.5\r\n");
const QString kClearText = QStringLiteral("清除历史记录");

}  // namespace

class KeptHistoryTest : public QObject, private vesko::test::KeptWindowFixture {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void restoredBelowStartExamples();
  void restoresTheNewest1000();
  void keepsCommittedRowsOnly_data();
  void keepsCommittedRowsOnly();
  void rowsSurviveARestart();
  void commitsWhileAnotherCalculatorHoldsTheLock();
  void menuOffersClearing();
  void clearing_data();
  void clearing();
  void withoutFileNothingIsReadOrWritten();
};

void KeptHistoryTest::init() {
  MakeFolder();
}

void KeptHistoryTest::cleanup() {
  DropFile();
}

void KeptHistoryTest::restoredBelowStartExamples() {
  WriteBytes(historyPath(), "1+1=2\n2+\\n2=4\n");
  auto window = StartWindow();
  QCOMPARE(window->historyText(), kStartHistory + u"2+\r\n2=4\r\n1+1=2\r\n"_s);
  QCOMPARE(window->controller().rows(),
           QStringList({u"log(1)/log(10)+pe=2.71828182845905"_s,
                        u"(12-10)**(4)+sin((60-30)*pi/180)=16.5"_s, u"2+\n2=4"_s, u"1+1=2"_s}));
  // The input box still holds the second example, selected.
  QCOMPARE(window->inputBox()->textCursor().selectedText(), QStringLiteral("log(1)/log(10)+pe"));

  // A commit puts its row above the restored ones, as above any other.
  Commit(*window, QStringLiteral("1+2"));
  QCOMPARE(window->historyText(),
           u"\r\n1+2=3\r\n"_s + kStartHistory.section(u"\r\n"_s, 1) + u"2+\r\n2=4\r\n1+1=2\r\n"_s);
  QCOMPARE(Kept(), QByteArray("1+1=2\n2+\\n2=4\n1+2=3\n"));
}

void KeptHistoryTest::restoresTheNewest1000() {
  QByteArray lines;
  for (int i = 0; i < 1500; ++i) {
    lines += QByteArray::number(i) + "=" + QByteArray::number(i) + "\n";
  }
  WriteBytes(historyPath(), lines);
  auto window = StartWindow();
  const QStringList& rows = window->controller().rows();
  QCOMPARE(rows.size(), 2 + 1000);
  QCOMPARE(rows[2], QStringLiteral("1499=1499"));
  QCOMPARE(rows.back(), QStringLiteral("500=500"));
}

void KeptHistoryTest::keepsCommittedRowsOnly_data() {
  QTest::addColumn<QStringList>("typed");  // each committed with Enter, except a last "live:" one
  QTest::addColumn<QByteArray>("kept");
  QTest::newRow("nothing typed") << QStringList() << QByteArray();
  QTest::newRow("one commit") << QStringList({u"3^2"_s}) << QByteArray("3**2=9\n");
  QTest::newRow("two commits, oldest first")
      << QStringList({u"1+2"_s, u"3*4"_s}) << QByteArray("1+2=3\n3*4=12\n");
  QTest::newRow("failed commit") << QStringList({u"1/0"_s}) << QByteArray();
  QTest::newRow("between two commits a failed one")
      << QStringList({u"1+2"_s, u"1/0"_s, u"5"_s}) << QByteArray("1+2=3\n5=5\n");
  QTest::newRow("live row only") << QStringList({u"live:7*6"_s}) << QByteArray();
}

void KeptHistoryTest::keepsCommittedRowsOnly() {
  QFETCH(QStringList, typed);
  QFETCH(QByteArray, kept);
  auto window = StartWindow();
  for (const QString& expression : typed) {
    if (expression.startsWith(QStringLiteral("live:"))) {
      QTest::keyClicks(window->inputBox(), expression.mid(5));
    } else {
      Commit(*window, expression);
    }
  }
  QCOMPARE(Kept(), kept);
}

void KeptHistoryTest::rowsSurviveARestart() {
  {
    auto window = StartWindow();
    Commit(*window, QStringLiteral("1+2"));
    Commit(*window, QStringLiteral("3*4"));
  }
  auto window = StartWindow();
  QCOMPARE(window->historyText(), kStartHistory + u"3*4=12\r\n1+2=3\r\n"_s);
}

void KeptHistoryTest::commitsWhileAnotherCalculatorHoldsTheLock() {
  auto window = StartWindow();
  const int other = ::open(QFile::encodeName(dir_->filePath(u"history.lock"_s)).constData(),
                           O_RDWR | O_CREAT, 0600);
  QVERIFY(other >= 0);
  QCOMPARE(::flock(other, LOCK_EX), 0);
  // Committing returns while the lock is held (a commit that waited for it would never return:
  // the lock is let go only from the event loop, afterwards).
  Commit(*window, QStringLiteral("1+2"));
  Commit(*window, QStringLiteral("3*4"));
  QString shownWhileLocked;
  QByteArray keptWhileLocked;
  QTimer::singleShot(0, [&] {
    shownWhileLocked = window->historyText();
    keptWhileLocked = ReadBytes(historyPath());
    ::close(other);
  });
  QTRY_VERIFY(!shownWhileLocked.isEmpty());
  QVERIFY2(shownWhileLocked.startsWith(u"\r\n3*4=12\r\n1+2=3\r\n"_s), qPrintable(shownWhileLocked));
  QCOMPARE(keptWhileLocked, QByteArray());
  QCOMPARE(Kept(), QByteArray("1+2=3\n3*4=12\n"));
}

void KeptHistoryTest::menuOffersClearing() {
  auto window = StartWindow();
  const auto menu = window->keptHistory()->CreateMenu();
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    texts.append(action->text());
  }
  QCOMPARE(texts.back(), kClearText);
  QVERIFY2(texts.size() > 2, qPrintable(texts.join(u'|')));  // the box's own entries stay

  // A right click on the history box opens it.
  QString shown;
  QTimer::singleShot(0, [&shown] {
    if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      shown = popup->actions().back()->text();
      popup->close();
    }
  });
  QWidget* viewport = window->historyBox()->viewport();
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                          viewport->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(viewport, &event);
  QCOMPARE(shown, kClearText);
}

void KeptHistoryTest::clearing_data() {
  QTest::addColumn<QString>("answer");
  QTest::addColumn<bool>("cleared");
  QTest::newRow("confirmed") << QStringLiteral("清除") << true;
  QTest::newRow("cancelled") << QStringLiteral("取消") << false;
}

void KeptHistoryTest::clearing() {
  QFETCH(QString, answer);
  QFETCH(bool, cleared);
  WriteBytes(historyPath(), "1+1=2\n");
  auto window = StartWindow();
  Commit(*window, QStringLiteral("1+2"));
  QTest::keyClicks(window->inputBox(), QStringLiteral("7*6"));  // the live row shows 42
  const QString before = window->historyText();
  const QByteArray keptBefore = Kept();

  QString asked;
  AnswerNextMessageBox(answer, &asked);
  window->keptHistory()->ClearHistory();
  QVERIFY2(asked.contains(kClearText.left(2)), qPrintable(asked));
  if (cleared) {
    QCOMPARE(window->historyText(), QStringLiteral("42\r\n"));
    QCOMPARE(Kept(), QByteArray());
    // Typing and committing carry on as before.
    QTest::keyClick(window->inputBox(), Qt::Key_Return);
    QCOMPARE(window->historyText(), QStringLiteral("\r\n7*6=42\r\n"));
    QCOMPARE(Kept(), QByteArray("7*6=42\n"));
  } else {
    QCOMPARE(window->historyText(), before);
    QCOMPARE(Kept(), keptBefore);
  }
}

void KeptHistoryTest::withoutFileNothingIsReadOrWritten() {
  WriteBytes(historyPath(), "1+1=2\n");
  auto window = StartWindow(false);
  QCOMPARE(window->historyText(), kStartHistory);
  Commit(*window, QStringLiteral("1+2"));
  QString asked;
  AnswerNextMessageBox(QStringLiteral("清除"), &asked);
  window->keptHistory()->ClearHistory();
  QCOMPARE(window->historyText(), QStringLiteral("\r\n"));
  QCOMPARE(ReadBytes(historyPath()), QByteArray("1+1=2\n"));
  QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList({u"history.txt"_s}));
}

QTEST_MAIN(KeptHistoryTest)
#include "kept_history_test.moc"
