// vesko-calc: opens the calculator window; closing it ends the program.
//   vesko-calc [--no-history]

#include "app/display_platform.h"
#include "engine/history_file.h"
#include "script/script_evaluator.h"
#include "window/main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>
#include <optional>

int main(int argc, char* argv[]) {
  vesko::PreferX11OnWayland();
  QApplication app(argc, argv);
  vesko::ReportMissingWindowFeatures();
  // The history file's folder is named after the application (no organisation is set):
  // ~/.local/share/vesko-calc on Linux.
  QApplication::setApplicationName(QStringLiteral("vesko-calc"));
  QApplication::setApplicationVersion(QStringLiteral(VESKO_VERSION));
  // The installed desktop entry is named after the application id of the AppStream metadata.
  QGuiApplication::setDesktopFileName(QStringLiteral("com.example.VeskoCalc"));

  // Qt has already taken its own arguments (-platform, -display, ...).
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Vesko计算器: a calculator for typed expressions"));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption noHistory(
      QStringLiteral("no-history"),
      QStringLiteral("Neither show nor keep the committed rows of other runs (kept in %1).")
          .arg(vesko::HistoryFile(vesko::HistoryFile::DefaultFolder()).path()));
  parser.addOption(noHistory);
  parser.process(app);
  for (const QString& argument : parser.positionalArguments()) {
    std::fprintf(stderr, "vesko-calc: takes no file arguments; ignoring '%s'\n",
                 qPrintable(argument));
  }

  QIcon icon;
  icon.addFile(QStringLiteral(":/icons/vesko-calc-32.png"));
  icon.addFile(QStringLiteral(":/icons/vesko-calc-64.png"));
  QApplication::setWindowIcon(icon);

  // Made before the window, which uses it until its end.
  std::optional<vesko::HistoryFile> history;
  const auto evaluator = vesko::CreateScriptEvaluator();
  vesko::MainWindow window(*evaluator);
  if (!parser.isSet(noHistory)) {
    history.emplace(vesko::HistoryFile::DefaultFolder());
    window.setHistoryFile(&*history);
  }
  window.Load();
  return QApplication::exec();
}
