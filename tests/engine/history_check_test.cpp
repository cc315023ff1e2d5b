#include "engine/history_check.h"

#include <QTest>

#include "tests/test_rows.h"

using vesko::HistoryCheck;
using vesko::test::Row;

// The check reads a file in blocks of any size: each case is fed whole, a byte at a time and in
// blocks of three bytes, and must come out the same each way (a character, an escape or a line
// cut by the end of a block is carried to the next).
class HistoryCheckTest : public QObject {
  Q_OBJECT

 private slots:
  void check_data();
  void check();
};

void HistoryCheckTest::check_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("why");  // the start of the reason; empty when they are history lines
  QTest::addColumn<qint64>("wholeBytes");
  QTest::addColumn<int>("lines");
  Row("nothing", QByteArray(), "", qint64{0}, 0);
  Row("rows", QByteArray("1+2=3\n计算=4\n"), "", qint64{15}, 2);
  Row("escapes", QByteArray("a\\\\b\\n\\r\\0=1\n"), "", qint64{13}, 1);
  Row("start of a row after rows", QByteArray("1=1\n2+\xe8\xae"), "", qint64{4}, 1);
  Row("backslash at the end, unfinished", QByteArray("1=1\na\\"), "", qint64{4}, 1);
  Row("no equals sign", QByteArray("1=1\nhello\n"), "line 2 holds no row", qint64{4}, 1);
  Row("empty line", QByteArray("1=1\n\n"), "line 2 holds no row", qint64{4}, 1);
  Row("invalid UTF-8", QByteArray("1=1\n\xff=\n"), "line 2 is not UTF-8", qint64{4}, 1);
  Row("line ending inside a character", QByteArray("1=\xe8\xae\n"), "line 1 is not UTF-8",
      qint64{0}, 0);
  Row("carriage return", QByteArray("1=1\r\n"), "line 1 holds a carriage return", qint64{0}, 0);
  Row("NUL", QByteArray("1=\0\n", 4), "line 1 holds a NUL", qint64{0}, 0);
  Row("unknown escape", QByteArray("a\\tb=1\n"), "line 1 holds a backslash", qint64{0}, 0);
  Row("backslash before the line feed", QByteArray("a=\\\n"), "line 1 holds a backslash", qint64{0},
      0);
  Row("split and literal markers", QByteArray("a=b\\=c\\|\"c\"\n"), "", qint64{12}, 1);
  Row("only a split marker", QByteArray("a\\=b\n"), "", qint64{5}, 1);
  Row("escaped NUL byte", QByteArray("a=\\\0\n", 5), "line 1 holds a backslash", qint64{0}, 0);
}

void HistoryCheckTest::check() {
  QFETCH(QByteArray, bytes);
  QFETCH(QString, why);
  QFETCH(qint64, wholeBytes);
  QFETCH(int, lines);
  for (const qsizetype block : {qsizetype{1}, qsizetype{3}, bytes.size() + 1}) {
    HistoryCheck check;
    for (qsizetype at = 0; at < bytes.size(); at += block) {
      check.Feed(QByteArrayView(bytes).sliced(at, std::min(block, bytes.size() - at)));
    }
    QVERIFY2(why.isEmpty() ? !check.failed() : check.why().startsWith(why),
             qPrintable(QStringLiteral("blocks of %1: %2").arg(block).arg(check.why())));
    QCOMPARE(check.wholeBytes(), wholeBytes);
    QCOMPARE(check.lines(), lines);
  }
}

QTEST_APPLESS_MAIN(HistoryCheckTest)
#include "history_check_test.moc"
