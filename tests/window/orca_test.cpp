// The calculator with the real Orca screen reader: Orca runs against the window on a private
// D-Bus session (its own accessibility bus) and what it would speak is read from its debug output.
// Skipped where Orca is not installed (tools/install-deps.sh test installs it).

#include "window/feedback_mail.h"
#include "window/main_window.h"
#include "window/status_bar.h"

#include "script/script_evaluator.h"

#include "tests/window/window_test_support.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include <memory>
#include <optional>
#include <vector>
#include "tests/window/mail_catcher.h"

namespace {

// Environment variable that marks the test as running on its own session bus.
constexpr char kPrivateBusMark[] = "VESKO_ORCA_TEST_PRIVATE_BUS";
// Generous for a busy machine: each wait ends as soon as Orca has spoken.
constexpr int kSpeechWaitMs = 60'000;

}  // namespace

class OrcaTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<vesko::ExpressionEvaluator> evaluator_ = vesko::CreateScriptEvaluator();
  std::unique_ptr<vesko::MainWindow> window_;
  QTemporaryDir home_;
  QProcess orca_;
  vesko::test::MailCatcher mail_;  // mail links go here while the test runs
  qint64 readUpTo_ = 0;            // how far the debug output has been heard

  QString DebugFile() const { return home_.filePath(QStringLiteral("orca-debug.txt")); }

  // The next whole line Orca has written to its debug output, if there is one, and the offset
  // just past it.
  std::optional<QByteArray> NextLine() {
    QFile file(DebugFile());
    if (!file.open(QIODevice::ReadOnly) || !file.seek(readUpTo_)) {
      return std::nullopt;
    }
    QByteArray line = file.readLine();
    if (!line.endsWith('\n')) {
      return std::nullopt;  // not yet written whole
    }
    readUpTo_ += line.size();
    return line;
  }

  // What a debug line says Orca spoke, or nothing when it is not about speech.
  static std::optional<QString> Utterance(const QByteArray& line) {
    // SPEECH OUTPUT: 'text'{voice} or 'text' {voice}
    static const QRegularExpression kSpoken(QStringLiteral("SPEECH OUTPUT: '(.*)' ?\\{"));
    const QRegularExpressionMatch match = kSpoken.match(QString::fromUtf8(line));
    if (!match.hasMatch()) {
      return std::nullopt;
    }
    return match.captured(1).trimmed();
  }

  // Reads Orca's debug output up to the first line that `matches`, waiting for it as long as
  // Orca might take on a busy machine.
  template <typename Match>
  bool WaitForLine(Match matches, const char* what) {
    QStringList spoken;
    bool ended = false;
    const bool found = QTest::qWaitFor(
                           [&] {
                             while (const auto line = NextLine()) {
                               if (const auto utterance = Utterance(*line)) {
                                 spoken << *utterance;
                               }
                               if (matches(*line)) {
                                 return true;
                               }
                             }
                             // An Orca that has ended says nothing more.
                             ended = orca_.state() == QProcess::NotRunning;
                             return ended;
                           },
                           kSpeechWaitMs) &&
                       !ended;
    if (!found) {
      QFile file(DebugFile());
      const QByteArray output = file.open(QIODevice::ReadOnly) ? file.readAll().right(3000) : "";
      qWarning("Orca did not say %s; it said: %s\nIts debug output ends with:\n%s", what,
               qPrintable(spoken.join(u" | ")), output.constData());
    }
    return found;
  }
  // Waits until Orca speaks an utterance that `matches`.
  template <typename Match>
  bool Hear(Match matches, const char* what) {
    return WaitForLine(
        [&](const QByteArray& line) {
          const auto utterance = Utterance(line);
          return utterance.has_value() && matches(*utterance);
        },
        what);
  }
  // An utterance that is `text`, with or without the full stop Orca adds at its end.
  bool HearExactly(const QString& text) {
    return Hear([&](const QString& u) { return u == text || u == text + u'.'; }, qPrintable(text));
  }

  // Keys typed on the X server's keyboard (xdotool), as a user types them: the window gets them
  // from the X server, and Qt offers each to the screen reader before the widget has it.
  static void Keys(const QStringList& arguments) {
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), arguments), 0);
  }
  static void Key(const QString& keys) { Keys({QStringLiteral("key"), keys}); }
  static void TypeText(const QString& text) {
    Keys({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("50"), text});
  }

  void StartOrca() {
    QVERIFY(home_.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Orca's settings and files go to the test's own folders, never the user's.
    for (const char* name :
         {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
      environment.insert(QString::fromLatin1(name), home_.path());
    }
    orca_.setProcessEnvironment(environment);
    orca_.setProcessChannelMode(QProcess::MergedChannels);
    // No speech server, braille or sound: what Orca would speak is in its debug output, which
    // Orca itself writes in blocks. Orca is started with the same output written a line at a time.
    static constexpr char kLineByLine[] =
        "import runpy, sys\n"
        "from orca import debug\n"
        "debug.debugLevel = debug.LEVEL_INFO\n"
        "debug.debugFile = open(sys.argv[2], 'w', buffering=1, encoding='utf-8')\n"
        "orca = sys.argv[1]\n"
        "sys.argv = ['orca'] + sys.argv[3:]\n"
        "runpy.run_path(orca, run_name='__main__')\n";
    const QString orca = QStandardPaths::findExecutable(QStringLiteral("orca"));
    const QString program = QString::fromLatin1(kLineByLine);
    orca_.start(Interpreter(orca),
                {QStringLiteral("-c"), program, orca, DebugFile(), QStringLiteral("--user-prefs"),
                 home_.filePath(QStringLiteral("prefs")), QStringLiteral("--disable"),
                 QStringLiteral("speech,braille,braille-monitor,sound")});
    QVERIFY2(orca_.waitForStarted(kSpeechWaitMs), qPrintable(orca_.errorString()));
    // Orca says in its debug output when it listens; it exits at once when another Orca of this
    // user runs.
    const bool up =
        WaitForLine([](const QByteArray& line) { return line.contains("ORCA: Starting registry"); },
                    "that it is up");
    QVERIFY2(up, qPrintable(QString::fromLocal8Bit(orca_.readAll())));
  }

  // The Python that runs `script`, named on its first line.
  static QString Interpreter(const QString& script) {
    QFile file(script);
    if (file.open(QIODevice::ReadOnly)) {
      const QByteArray first = file.readLine().trimmed();
      if (first.startsWith("#!/")) {
        return QString::fromLocal8Bit(first.mid(2)).section(u' ', 0, 0);
      }
    }
    return QStringLiteral("python3");
  }

  // Orca refuses to start while another Orca of the same user runs.
  static bool AnotherOrcaRuns() {
    QProcess pgrep;
    pgrep.start(QStringLiteral("pgrep"), {QStringLiteral("-x"), QStringLiteral("-u"),
                                          QString::number(getuid()), QStringLiteral("orca")});
    return pgrep.waitForFinished() && pgrep.exitCode() == 0;
  }

 private slots:
  void initTestCase() {
    for (const char* tool : {"orca", "xdotool"}) {
      if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
        QSKIP(qPrintable(QStringLiteral("%1 is missing; tools/install-deps.sh test installs it")
                             .arg(QString::fromLatin1(tool))));
      }
    }
    QVERIFY2(qEnvironmentVariableIsSet(kPrivateBusMark), "runs on its own session bus");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home_.path());
    if (AnotherOrcaRuns()) {
      QSKIP("another Orca runs for this user, and Orca runs only once per user");
    }
    StartOrca();
    if (QTest::currentTestFailed()) {
      return;
    }
    window_ = vesko::StartWindow(*evaluator_);
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    // The focus starts in the input box, and Orca says so.
    QVERIFY(Hear([](const QString& u) { return u.startsWith(u"计算：算式输入框"_qs); },
                 "the input box's name"));
  }

  void cleanupTestCase() {
    window_.reset();
    if (orca_.state() != QProcess::NotRunning) {
      orca_.terminate();
      if (!orca_.waitForFinished(20'000)) {
        orca_.kill();
        orca_.waitForFinished(20'000);
      }
    }
  }

  void commitIsSpoken() {
    auto* input = window_->inputBox();
    Key(QStringLiteral("Delete"));  // the selected example
    QTRY_VERIFY_WITH_TIMEOUT(input->toPlainText().isEmpty(), kSpeechWaitMs);
    TypeText(QStringLiteral("6*7"));
    QTRY_COMPARE_WITH_TIMEOUT(input->toPlainText(), QStringLiteral("6*7"), kSpeechWaitMs);
    Key(QStringLiteral("Return"));
    QVERIFY(HearExactly(QStringLiteral("6*7=42")));
  }

  void failedCommitIsSpokenAsItsErrorRow() {
    TypeText(QStringLiteral("1/0"));
    QTRY_COMPARE_WITH_TIMEOUT(window_->inputBox()->toPlainText(), QStringLiteral("1/0"),
                              kSpeechWaitMs);
    Key(QStringLiteral("Return"));
    QVERIFY(HearExactly(QStringLiteral("表达式错误:1/0")));
  }

  // Tab into the history box: its name, then the live row, which after the failed commit holds
  // its error row; Down reads the next row.
  void historyBoxReadsTheLiveRowFirst() {
    QCOMPARE(window_->controller().rows().first(), QStringLiteral("表达式错误:1/0"));
    Key(QStringLiteral("Tab"));
    QVERIFY(Hear([](const QString& u) { return u.startsWith(u"结果：计算记录"_qs); },
                 "the history box's name"));
    QVERIFY(HearExactly(QStringLiteral("表达式错误:1/0")));
    Key(QStringLiteral("Down"));
    QVERIFY(HearExactly(QStringLiteral("6*7=42")));
  }

  // F6 reaches the status bar, where the credit is read with its address as a link; Enter opens
  // one mail, and F6 goes back to the history box.
  void statusBarFromTheKeyboard() {
    mail_.urls.clear();
    Key(QStringLiteral("F6"));
    const QString credit = u"设计：Vesko,Email:"_qs + vesko::FeedbackAddress();
    QVERIFY(Hear([&](const QString& u) { return u.startsWith(credit); }, "the credit"));
    QVERIFY(Hear([](const QString& u) { return u.startsWith(u"时间："_qs); }, "the clock"));
    Key(QStringLiteral("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(mail_.urls.size(), 1, kSpeechWaitMs);
    Key(QStringLiteral("F6"));
    QVERIFY(Hear([](const QString& u) { return u.startsWith(u"结果：计算记录"_qs); },
                 "the history box again"));
    QCOMPARE(mail_.urls.size(), 1);
  }
};

int main(int argc, char* argv[]) {
  // The test runs on a session bus of its own, which dbus-run-session ends with the test; Orca
  // and the accessibility bus it brings up live on it.
  if (!qEnvironmentVariableIsSet(kPrivateBusMark) &&
      !QStandardPaths::findExecutable(QStringLiteral("orca")).isEmpty()) {
    qputenv(kPrivateBusMark, "1");
    std::vector<char*> command = {const_cast<char*>("dbus-run-session"), const_cast<char*>("--")};
    command.insert(command.end(), argv, argv + argc);
    command.push_back(nullptr);
    execvp(command[0], command.data());
    std::perror("dbus-run-session");
    return 1;
  }
  // Qt's bridge to the accessibility bus, as when a screen reader is on.
  qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
  QApplication app(argc, argv);
  OrcaTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "orca_test.moc"
