#include "window/int16_rounding.h"

#include <QtTest>

#include <limits>

class Int16RoundingTest : public QObject {
  Q_OBJECT

 private slots:
  void rounds_data();
  void rounds();
};

void Int16RoundingTest::rounds_data() {
  QTest::addColumn<double>("value");
  QTest::addColumn<int>("expected");
  QTest::newRow("whole") << 630.0 << 630;
  QTest::newRow("below half") << 2.4 << 2;
  QTest::newRow("above half") << 2.6 << 3;
  QTest::newRow("half to even, down") << 2.5 << 2;
  QTest::newRow("half to even, up") << 3.5 << 4;
  QTest::newRow("negative half to even") << -2.5 << -2;
  QTest::newRow("largest") << 32767.0 << 32767;
  QTest::newRow("rounds up past the largest") << 32767.5 << 32767;
  QTest::newRow("window wider than 16 bits") << 40005.0 - 615 - 150 << 32767;
  QTest::newRow("smallest") << -32768.0 << -32768;
  QTest::newRow("below the smallest") << -50000.0 << -32768;
  QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 32767;
  QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 0;
}

void Int16RoundingTest::rounds() {
  QFETCH(double, value);
  QFETCH(int, expected);
  QCOMPARE(int(vesko::RoundToInt16(value)), expected);
}

QTEST_APPLESS_MAIN(Int16RoundingTest)
#include "int16_rounding_test.moc"
