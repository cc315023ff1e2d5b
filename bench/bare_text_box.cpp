// A yardstick for the end-to-end key latency benchmark: a top-level window holding one
// QPlainTextEdit and nothing else, about the size of the calculator's window.

#include <QApplication>
#include <QPlainTextEdit>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QPlainTextEdit box;
  box.setWindowTitle(QStringLiteral("bare_text_box"));
  box.resize(350, 130);
  box.show();
  return QApplication::exec();
}
