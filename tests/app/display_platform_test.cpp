// The program on a Wayland desktop, started with and without an X server at hand (run through
// tests/run_under_x.sh, which provides the X server; weston's headless backend provides Wayland).

#include "tests/window/x11_test_support.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using vesko::RunTool;

namespace {

const QString kSocket = QStringLiteral("wayland-vesko-test");
const QString kNotice = QStringLiteral("cannot stay on top");

}  // namespace

class DisplayPlatformTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir runtimeDir_;
  QProcess compositor_;

  // The program's environment on a Wayland desktop: this session's, less the platform the tests
  // run on, with the compositor's socket.
  QProcessEnvironment WaylandDesktop() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir_.path());
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), kSocket);
    env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    return env;
  }

  // Starts the program and waits until it runs its event loop with the window shown, or ends.
  static void Start(QProcess& program, const QProcessEnvironment& env) {
    program.setProcessEnvironment(env);
    // The history file is not what these starts are about.
    program.start(QStringLiteral(VESKO_CALC), {QStringLiteral("--no-history")});
    QVERIFY(program.waitForStarted());
    QTest::qWait(1500);
  }

  static void Stop(QProcess& program) {
    program.kill();
    program.waitForFinished();
  }

 private slots:
  void initTestCase();
  void cleanupTestCase();
  void startsOnWaylandDesktop_data();
  void startsOnWaylandDesktop();
};

void DisplayPlatformTest::initTestCase() {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) {
    QSKIP("needs an X server (run through tests/run_under_x.sh)");
  }
  if (QStandardPaths::findExecutable(QStringLiteral("weston")).isEmpty()) {
    QSKIP("needs weston (tools/install-deps.sh test)");
  }
  QVERIFY(runtimeDir_.isValid());
  QFile::setPermissions(runtimeDir_.path(),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir_.path());
  compositor_.setProcessEnvironment(env);
  compositor_.start(QStringLiteral("weston"),
                    {QStringLiteral("--backend=headless-backend.so"),
                     QStringLiteral("--socket=") + kSocket, QStringLiteral("--idle-time=0")});
  QVERIFY(compositor_.waitForStarted());
  QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(runtimeDir_.filePath(kSocket)), 10000);
}

void DisplayPlatformTest::cleanupTestCase() {
  if (compositor_.state() != QProcess::NotRunning) {
    compositor_.terminate();
    if (!compositor_.waitForFinished(5000)) {
      compositor_.kill();
      compositor_.waitForFinished();
    }
  }
}

void DisplayPlatformTest::startsOnWaylandDesktop_data() {
  QTest::addColumn<bool>("withDisplay");  // DISPLAY names this test's X server
  QTest::addColumn<QString>("chosenPlatform");
  QTest::addColumn<bool>("onX11");  // the window shows on the X server, kept above the others
  QTest::newRow("X server at hand") << true << QString() << true;
  QTest::newRow("no X server") << false << QString() << false;
  QTest::newRow("the user chose Wayland") << true << "wayland" << false;
}

void DisplayPlatformTest::startsOnWaylandDesktop() {
  QFETCH(bool, withDisplay);
  QFETCH(QString, chosenPlatform);
  QFETCH(bool, onX11);
  QProcessEnvironment env = WaylandDesktop();
  if (!withDisplay) {
    env.remove(QStringLiteral("DISPLAY"));
  }
  if (!chosenPlatform.isEmpty()) {
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), chosenPlatform);
  }
  QProcess program;
  Start(program, env);
  const bool running = program.state() == QProcess::Running;
  const QString id =
      RunTool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                          QStringLiteral("--name"), QStringLiteral("Vesko计算器")})
          .section(QLatin1Char('\n'), 0, 0);
  const QString state = id.isEmpty()
                            ? QString()
                            : RunTool(QStringLiteral("xprop"),
                                      {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_STATE")});
  Stop(program);
  const QString errors = QString::fromLocal8Bit(program.readAllStandardError());

  // The program starts either way.
  QVERIFY2(running, qPrintable(errors));
  QCOMPARE(!id.isEmpty(), onX11);
  if (onX11) {
    QVERIFY2(state.contains(QLatin1String("_NET_WM_STATE_ABOVE")), qPrintable(state));
    QVERIFY2(!errors.contains(kNotice), qPrintable(errors));
  } else {
    // A Wayland client: it says what the window cannot do.
    QVERIFY2(errors.contains(kNotice), qPrintable(errors));
    QVERIFY2(errors.contains(QLatin1String("top-left corner")), qPrintable(errors));
  }
}

QTEST_MAIN(DisplayPlatformTest)
#include "display_platform_test.moc"
