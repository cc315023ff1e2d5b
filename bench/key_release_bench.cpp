// One key release in the real window: the time from the release event reaching the input box to
// the history box holding its new text ("held"), and to the window having repainted as well
// ("frame"), for histories of 10 to 32,767 committed rows and inputs of 20 to 32,766 characters,
// live runs and commits apart; besides, the key press that types into the input box. Prints the
// median and the 99th percentile of each case.
//
//   key_release_bench [--whole] [SAMPLES [ROWS INPUT]]   (offscreen unless QT_QPA_PLATFORM says
//   otherwise)
// --whole: the history box is rewritten whole on every release, as without the top-line edits.
// With ROWS and INPUT only that case runs (for profiling).

#include "bench/window_bench_support.h"
#include "script/script_evaluator.h"
#include "window/history_box_editor.h"
#include "window/main_window.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace vesko::bench;

// An expression of exactly `length` characters with a positive value, so that a live run shows
// it and a commit succeeds. A long run of short terms is the hardest text to wrap at the box's
// width.
QString Expression(int length) {
  const QString piece = QStringLiteral("1+");
  QString text;
  while (text.size() + piece.size() + 1 <= length) {
    text += piece;
  }
  text += QString(length - text.size(), u'1');
  return text;
}

bool wholeRewrites = false;

// A loaded window whose history holds the live row and `committedRows` rows below it.
std::unique_ptr<vesko::MainWindow> FilledWindow(vesko::ExpressionEvaluator& evaluator,
                                                int committedRows) {
  auto window = std::make_unique<vesko::MainWindow>(evaluator);
  if (wholeRewrites) {
    window->historyEditor()->setTopEditsEnabled(false);
  }
  window->Load();
  // The start-up examples give two rows; the top one becomes the live row on the first release.
  const QString row = Expression(20);
  for (int i = 1; i < committedRows; ++i) {
    window->controller().SeedExample(row);
  }
  window->controller().RenderHistory();
  QApplication::processEvents();
  return window;
}

struct Timing {
  std::vector<double> held;
  std::vector<double> frame;
};

// Times one release of `key` in the input box, after `prepare` has run (untimed).
template <typename Prepare>
void TimeRelease(vesko::MainWindow& window, Prepare prepare, int key, const QString& text,
                 Timing& timing) {
  prepare();
  QApplication::processEvents();
  const auto start = Clock::now();
  SendKey(window.inputBox(), QEvent::KeyRelease, key, text);
  const auto held = Clock::now();
  QApplication::processEvents();
  const auto painted = Clock::now();
  timing.held.push_back(Milliseconds(held - start));
  timing.frame.push_back(Milliseconds(painted - start));
}

bool failed = false;

void Check(bool ok, const char* what, int rows, int length) {
  if (!ok) {
    std::fprintf(stderr, "key_release_bench: %s (rows %d, input %d)\n", what, rows, length);
    failed = true;
  }
}

void Report(const char* kind, int rows, int length, const Timing& timing) {
  std::printf("%-7s %6d %6d %7zu %10.3f %10.3f %10.3f %10.3f\n", kind, rows, length,
              timing.held.size(), Percentile(timing.held, 0.5), Percentile(timing.held, 0.99),
              Percentile(timing.frame, 0.5), Percentile(timing.frame, 0.99));
  std::fflush(stdout);
}

// Live runs: the input box keeps its text and each release evaluates it again.
void BenchLive(vesko::ExpressionEvaluator& evaluator, int rows, int length, int samples,
               double budgetMs) {
  auto window = FilledWindow(evaluator, rows);
  const QString input = Expression(length);
  window->inputBox()->setPlainText(input);
  Timing timing;
  const auto begin = Clock::now();
  for (int i = 0; i < samples + 1; ++i) {
    TimeRelease(
        *window, [] {}, Qt::Key_1, QStringLiteral("1"), timing);
    if (i == 0) {  // warm-up
      timing = Timing();
    }
    if (i >= 30 && Milliseconds(Clock::now() - begin) > budgetMs) {
      break;
    }
  }
  const QStringList& all = window->controller().rows();
  Check(all.size() == rows + 1, "row count changed by live runs", rows, length);
  Check(all.first() == evaluator.Evaluate(input).text, "the live row is wrong", rows, length);
  Check(window->historyText() == RenderedRows(all), "history box differs from the rows", rows,
        length);
  Report("live", rows, length, timing);
}

// Not a release but the press before it: one character typed at the end of the input box, which
// the box lays out again. Timed to the character being in the box, and to the repaint.
void BenchPress(vesko::ExpressionEvaluator& evaluator, int rows, int length, int samples,
                double budgetMs) {
  auto window = FilledWindow(evaluator, rows);
  const QString input = Expression(length - 1);
  window->inputBox()->setPlainText(input);
  window->inputBox()->moveCursor(QTextCursor::End);
  Timing timing;
  const auto begin = Clock::now();
  for (int i = 0; i < samples; ++i) {
    QApplication::processEvents();
    const auto start = Clock::now();
    SendKey(window->inputBox(), QEvent::KeyPress, Qt::Key_1, QStringLiteral("1"));
    const auto held = Clock::now();
    QApplication::processEvents();
    const auto painted = Clock::now();
    timing.held.push_back(Milliseconds(held - start));
    timing.frame.push_back(Milliseconds(painted - start));
    SendKey(window->inputBox(), QEvent::KeyPress, Qt::Key_Backspace, QString());
    if (i >= 30 && Milliseconds(Clock::now() - begin) > budgetMs) {
      break;
    }
  }
  Check(window->inputBox()->toPlainText() == input, "typing went wrong", rows, length);
  Report("press", rows, length, timing);
}

// Commits: Enter is pressed (untimed), its release commits. Every commit adds a row, so the
// window is built afresh whenever the history has grown by a twentieth.
void BenchCommit(vesko::ExpressionEvaluator& evaluator, int rows, int length, int samples,
                 double budgetMs) {
  const QString input = Expression(length);
  const int batch = std::max(1, rows / 20);
  std::unique_ptr<vesko::MainWindow> window;
  int inBatch = batch;
  Timing timing;
  const auto begin = Clock::now();
  for (int i = 0; i < samples; ++i) {
    if (inBatch == batch) {
      window = FilledWindow(evaluator, rows);
      // One live run first, as a user would have typed before pressing Enter.
      window->inputBox()->setPlainText(input);
      SendKey(window->inputBox(), QEvent::KeyRelease, Qt::Key_1, QStringLiteral("1"));
      inBatch = 0;
    }
    ++inBatch;
    auto prepare = [&] {
      if (window->inputBox()->toPlainText() != input) {
        window->inputBox()->setPlainText(input);
      }
      SendKey(window->inputBox(), QEvent::KeyPress, Qt::Key_Return, QStringLiteral("\r"));
    };
    TimeRelease(*window, prepare, Qt::Key_Return, QStringLiteral("\r"), timing);
    if (i >= 30 && Milliseconds(Clock::now() - begin) > budgetMs) {
      break;
    }
  }
  const QStringList& all = window->controller().rows();
  Check(all.size() == rows + 1 + inBatch, "a commit was lost", rows, length);
  Check(all.at(1).endsWith(u'=' + evaluator.Evaluate(input).text), "the committed row is wrong",
        rows, length);
  Check(window->inputBox()->toPlainText().isEmpty(), "the input box was not cleared", rows, length);
  Check(window->historyText() == RenderedRows(all), "history box differs from the rows", rows,
        length);
  Report("commit", rows, length, timing);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  // The arguments after the ones Qt took.
  QStringList args = QApplication::arguments().mid(1);
  if (!args.isEmpty() && args.first() == QStringLiteral("--whole")) {
    wholeRewrites = true;
    args.removeFirst();
  }
  const int samples = args.size() > 0 ? std::max(1, args[0].toInt()) : 300;
  const double budgetMs = 6000;  // per case; at least 30 samples are always taken

  const auto evaluator = vesko::CreateScriptEvaluator();
  std::printf("history box %s\n", wholeRewrites ? "rewritten whole" : "edited at the top");
  std::printf(
      "times in ms; held = release to history text, frame = also repainted\n"
      "(press: a character typed into the input box, to its being there)\n");
  std::printf("%-7s %6s %6s %7s %10s %10s %10s %10s\n", "run", "rows", "input", "samples",
              "held med", "held p99", "frame med", "frame p99");
  const int onlyRows = args.size() > 2 ? args[1].toInt() : 0;
  const int onlyLength = args.size() > 2 ? args[2].toInt() : 0;
  for (const int rows : {10, 1000, 10000, 32767}) {
    for (const int length : {20, 1000, 32766}) {
      if (onlyRows != 0 && (rows != onlyRows || length != onlyLength)) {
        continue;
      }
      BenchLive(*evaluator, rows, length, samples, budgetMs);
      BenchCommit(*evaluator, rows, length, samples, budgetMs);
      if (rows == 10) {  // the history does not matter here
        BenchPress(*evaluator, rows, length, samples, budgetMs);
      }
    }
  }
  return failed ? 1 : 0;
}
