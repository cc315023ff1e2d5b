#pragma once

#include "engine/history_file.h"
#include "script/script_evaluator.h"
#include "tests/file_bytes.h"
#include "window/main_window.h"

#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace vesko::test {

// For window tests whose rows are kept: a history file in a temporary folder made anew for each
// test function (MakeFolder in init, DropFile in cleanup), and windows that keep their rows there.
class KeptWindowFixture {
 protected:
  std::unique_ptr<ExpressionEvaluator> evaluator_ = CreateScriptEvaluator();
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<HistoryFile> file_;

  void MakeFolder() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
  }
  // The history file's writer finishes before its folder goes.
  void DropFile() { file_.reset(); }

  QString historyPath() const { return dir_->filePath(QStringLiteral("history.txt")); }
  // What the history file holds once the rows and clearings asked for so far are done.
  QByteArray Kept() const {
    if (file_) {
      file_->Flush();
    }
    return ReadBytes(historyPath());
  }

  // A window after its start-up sequence, keeping its rows in this test's folder (or nowhere).
  std::unique_ptr<MainWindow> StartWindow(bool keep = true) {
    file_ = std::make_unique<HistoryFile>(dir_->path());
    auto window = std::make_unique<MainWindow>(*evaluator_);
    if (keep) {
      window->setHistoryFile(file_.get());
    }
    window->Load();
    if (!QTest::qWaitForWindowExposed(window.get())) {
      qWarning("window not exposed");
    }
    return window;
  }

  // Types `expression` over whatever the input box holds (a failed commit leaves its text there).
  static void Type(MainWindow& window, const QString& expression) {
    window.inputBox()->selectAll();
    QTest::keyClicks(window.inputBox(), expression);
  }
  // Types `expression` and presses Enter.
  static void Commit(MainWindow& window, const QString& expression) {
    Type(window, expression);
    QTest::keyClick(window.inputBox(), Qt::Key_Return);
  }
};

}  // namespace vesko::test
