#include "engine/normalizer.h"

#include <QRandomGenerator>
#include <QTest>

#include "tests/test_rows.h"

using namespace Qt::StringLiterals;

using vesko::test::Row;

using vesko::DisplayForm;
using vesko::EvaluationForm;
using vesko::TrimmedEvaluationForm;

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

    Row("empty", "", "", "");
    Row("full-width sum", "３＋４", "3+4", "3+4");
    Row("ideographic full stop", "（１。５）", "(1.5)", "(1.5)");
    Row("all full-width operators", "（０１２３４５６７８９）＊／－＋", "(0123456789)*/-+",
        "(0123456789)*/-+");
    Row("unmapped full-width", "１＾２，ａ　", "1＾2，ａ　", "1＾2，ａ　");
    Row("double star", "2**3", "2^3", "2**3");
    Row("caret", "2^3", "2^3", "2**3");
    Row("triple star", "***", "^*", "***");
    Row("pi", u"pi*2"_s, kPi + u"*2"_s, u"pi*2"_s);
    Row("PI upper", "PI", kPi, "PI");
    Row("mixed case untouched", "Pi+pI+Pe+pE", "Pi+pI+Pe+pE", "Pi+pI+Pe+pE");
    Row("pe and PE", u"pe+PE"_s, kE + u"+"_s + kE, u"pe+PE"_s);
    Row("typed pi literal", kPi, kPi, "pi");
    Row("typed e literal", kE + u"*1"_s, kE + u"*1"_s, u"pe*1"_s);
    Row("short literal stays", "3.14", "3.14", "3.14");
    Row("no word boundaries", "pipe", kPi + kE, "pipe");
    Row("CR LF to LF", "1+2\r\n", "1+2\n", "1+2\n");
    Row("lone CR", "1\r+2", "1+2", "1+2");
    Row("spaces kept", " 1 + 2 ", " 1 + 2 ", " 1 + 2 ");
    Row("full-width star pair", "２＊＊３", "2^3", "2**3");
    Row("pi folded from full-width digits",
        "３。１４１５９２６５３５８９７９３２３８４６２６４３３８３２７９５", kPi, "pi");
  }
  void bothForms() {
    QFETCH(QString, text);
    QFETCH(QString, evalForm);
    QFETCH(QString, displayForm);
    const QString original = text;
    QCOMPARE(EvaluationForm(text), evalForm);
    QCOMPARE(DisplayForm(text), displayForm);
    QCOMPARE(text, original);
  }

  // Whatever the input, the display form of an evaluation form shows power as ** only.
  void displayOfEvalFormHasNoCaret() {
    const QString alphabet = QStringLiteral("12*^()+-pPiIeE.３＊　\r\n");
    QRandomGenerator generator(20261207);
    auto* random = &generator;
    for (int round = 0; round < 2000; ++round) {
      QString text;
      const int length = random->bounded(1, 24);
      for (int i = 0; i < length; ++i) {
        text += alphabet[random->bounded(alphabet.size())];
      }
      const QString display = DisplayForm(EvaluationForm(text));
      QVERIFY2(!display.contains(u'^'), qPrintable(text));
      QVERIFY2(!display.contains(u'\r'), qPrintable(text));
    }
  }

  // The forms are made in one pass; they must equal the rules applied step after step, each a
  // left-to-right replacement over the whole text, on texts dense in the pieces of every step.
  void onePassEqualsStepByStep() {
    const QStringList pieces = {
        u"p"_s,  u"i"_s,  u"e"_s,  u"P"_s,   u"I"_s,   u"E"_s,  u"*"_s,    u"^"_s,       u"**"_s,
        u"\r"_s, u"\n"_s, u"3."_s, u"2.7"_s, u"（"_s,  u"３"_s, u"1"_s,    kPi.left(20), kPi,
        kE,      u"pi"_s, u"pe"_s, u"PI"_s,  kPi + kE, u"5"_s,  kE.left(9)};
    auto stepByStep = [](QString text, bool toDisplay) {
      const QString fullWidth = QStringLiteral("（）＋－＊／。０１２３４５６７８９");
      const QString ascii = QStringLiteral("()+-*/.0123456789");
      for (qsizetype i = 0; i < fullWidth.size(); ++i) {
        text.replace(fullWidth[i], ascii[i]);
      }
      text.remove(u'\r');
      if (toDisplay) {
        return text.replace(kPi, u"pi"_s).replace(kE, u"pe"_s).replace(u"^"_s, u"**"_s);
      }
      return text.replace(u"pi"_s, kPi)
          .replace(u"PI"_s, kPi)
          .replace(u"pe"_s, kE)
          .replace(u"PE"_s, kE)
          .replace(u"**"_s, u"^"_s);
    };
    QRandomGenerator random(7);
    for (int round = 0; round < 5000; ++round) {
      QString text;
      const int count = random.bounded(1, 12);
      for (int i = 0; i < count; ++i) {
        text += pieces[random.bounded(pieces.size())];
      }
      QCOMPARE(EvaluationForm(text), stepByStep(text, false));
      QCOMPARE(DisplayForm(text), stepByStep(text, true));
    }
  }

  void trimmedEvaluationForm_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("form");
    Row("spaces around", "  1+2 ", 10, "1+2");
    Row("line breaks around", "\r 1 \r\n\r ", 10, "1");
    Row("inner line break kept", "\n1\n+2\n", 10, "1\n+2");
    Row("only blanks", " \r ", 10, "");
    Row("at the length", " pi ", 33, kPi);
    Row("one beyond the length", "1+1", 2, "1+1");
    Row("cut after a replacement", "pi*2", 5, kPi);
    Row("cut after unchanged text", "1234567", 3, "1234");
    Row("cut after a fold", " １２３４５", 2, "123");
    Row("inner spaces kept", "1 + 2", 5, "1 + 2");
  }
  void trimmedEvaluationForm() {
    QFETCH(QString, text);
    QFETCH(int, maxLength);
    QFETCH(QString, form);
    QCOMPARE(TrimmedEvaluationForm(text, maxLength), form);
  }

  // Within its length the trimmed form is the evaluation form with its spaces and line breaks
  // trimmed; beyond it, a start of that form longer than the length.
  void trimmedFormIsStartOfTrimmedEvaluationForm() {
    const QString alphabet = QStringLiteral("12*^ pPiI\r\n３＊");
    QRandomGenerator random(11);
    for (int round = 0; round < 5000; ++round) {
      QString text;
      const int length = random.bounded(0, 30);
      for (int i = 0; i < length; ++i) {
        text += alphabet[random.bounded(alphabet.size())];
      }
      QString whole = EvaluationForm(text);
      while (whole.startsWith(u' ') || whole.startsWith(u'\n')) {
        whole.remove(0, 1);
      }
      while (whole.endsWith(u' ') || whole.endsWith(u'\n')) {
        whole.chop(1);
      }
      const int maxLength = random.bounded(0, 40);
      const QString trimmed = TrimmedEvaluationForm(text, maxLength);
      if (whole.size() <= maxLength) {
        QCOMPARE(trimmed, whole);
      } else {
        QVERIFY2(trimmed.size() > maxLength, qPrintable(text));
        QVERIFY2(whole.startsWith(trimmed), qPrintable(text));
      }
    }
  }

  // A text no rule changes is handed back without a copy.
  void unchangedTextIsShared() {
    const QString text = QStringLiteral("1+2*3");
    QCOMPARE(EvaluationForm(text).constData(), text.constData());
    QCOMPARE(DisplayForm(text).constData(), text.constData());
    QCOMPARE(TrimmedEvaluationForm(text, 100).constData(), text.constData());
  }
};

QTEST_APPLESS_MAIN(NormalizerTest)
#include "normalizer_test.moc"
