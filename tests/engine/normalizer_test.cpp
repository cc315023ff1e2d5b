#include "engine/normalizer.h"

#include <QRandomGenerator>
#include <QTest>

using vesko::NormalizeExpression;

namespace {
const QString kPi = QStringLiteral("3.1415926535897932384626433832795");
const QString kE = QStringLiteral("2.718281828459045");
}  // namespace

class NormalizerTest : public QObject {
  Q_OBJECT

 private slots:
  void bothForms_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("evalForm");
    QTest::addColumn<QString>("displayForm");

    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("full-width sum") << "３＋４"
                                    << "3+4"
                                    << "3+4";
    QTest::newRow("ideographic full stop") << "（１。５）"
                                           << "(1.5)"
                                           << "(1.5)";
    QTest::newRow("all full-width operators") << "（０１２３４５６７８９）＊／－＋"
                                              << "(0123456789)*/-+"
                                              << "(0123456789)*/-+";
    QTest::newRow("unmapped full-width") << "１＾２，ａ　"
                                         << "1＾2，ａ　"
                                         << "1＾2，ａ　";
    QTest::newRow("double star") << "2**3"
                                 << "2^3"
                                 << "2**3";
    QTest::newRow("caret") << "2^3"
                           << "2^3"
                           << "2**3";
    QTest::newRow("triple star") << "***"
                                 << "^*"
                                 << "***";
    QTest::newRow("pi") << "pi*2" << kPi + "*2"
                        << "pi*2";
    QTest::newRow("PI upper") << "PI" << kPi << "PI";
    QTest::newRow("mixed case untouched") << "Pi+pI+Pe+pE"
                                          << "Pi+pI+Pe+pE"
                                          << "Pi+pI+Pe+pE";
    QTest::newRow("pe and PE") << "pe+PE" << kE + "+" + kE << "pe+PE";
    QTest::newRow("typed pi literal") << kPi << kPi << "pi";
    QTest::newRow("typed e literal") << kE + "*1" << kE + "*1"
                                     << "pe*1";
    QTest::newRow("short literal stays") << "3.14"
                                         << "3.14"
                                         << "3.14";
    QTest::newRow("no word boundaries") << "pipe" << kPi + kE << "pipe";
    QTest::newRow("CR LF to LF") << "1+2\r\n"
                                 << "1+2\n"
                                 << "1+2\n";
    QTest::newRow("lone CR") << "1\r+2"
                             << "1+2"
                             << "1+2";
    QTest::newRow("spaces kept") << " 1 + 2 "
                                 << " 1 + 2 "
                                 << " 1 + 2 ";
    QTest::newRow("full-width star pair") << "２＊＊３"
                                          << "2^3"
                                          << "2**3";
    QTest::newRow("pi folded from full-width digits")
        << "３。１４１５９２６５３５８９７９３２３８４６２６４３３８３２７９５" << kPi << "pi";
  }
  void bothForms() {
    QFETCH(QString, text);
    QFETCH(QString, evalForm);
    QFETCH(QString, displayForm);
    const QString original = text;
    QCOMPARE(NormalizeExpression(text, false), evalForm);
    QCOMPARE(NormalizeExpression(text, true), displayForm);
    QCOMPARE(text, original);
  }

  // Whatever the input, the display form of an evaluation form shows power as ** only.
  void displayOfEvalFormHasNoCaret() {
    const QString alphabet = QStringLiteral("12*^()+-pPiIeE.３＊　\r\n");
    auto* random = QRandomGenerator::global();
    for (int round = 0; round < 2000; ++round) {
      QString text;
      const int length = random->bounded(1, 24);
      for (int i = 0; i < length; ++i) {
        text += alphabet[random->bounded(alphabet.size())];
      }
      const QString display = NormalizeExpression(NormalizeExpression(text, false), true);
      QVERIFY2(!display.contains(u'^'), qPrintable(text));
      QVERIFY2(!display.contains(u'\r'), qPrintable(text));
    }
  }
};

QTEST_APPLESS_MAIN(NormalizerTest)
#include "normalizer_test.moc"
