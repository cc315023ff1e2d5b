// vesko-calc: opens the calculator window; closing it ends the program.

#include "script/script_evaluator.h"
#include "window/main_window.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vesko-calc"));
  QApplication::setApplicationVersion(QStringLiteral(VESKO_VERSION));
  // The installed desktop entry is named after the application id of the AppStream metadata.
  QGuiApplication::setDesktopFileName(QStringLiteral("com.example.VeskoCalc"));
  // The program reads no arguments; Qt has already taken its own (-platform, -display, ...).
  for (int i = 1; i < argc; ++i) {
    std::fprintf(stderr, "vesko-calc: takes no arguments; ignoring '%s'\n", argv[i]);
  }

  QIcon icon;
  icon.addFile(QStringLiteral(":/icons/vesko-calc-32.png"));
  icon.addFile(QStringLiteral(":/icons/vesko-calc-64.png"));
  QApplication::setWindowIcon(icon);

  const auto evaluator = vesko::CreateScriptEvaluator();
  vesko::MainWindow window(*evaluator);
  window.Load();
  return QApplication::exec();
}
