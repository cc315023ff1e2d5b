// No input may crash, exhaust the stack or memory: deep nesting, long operator chains, huge
// strings and the longest inputs the calculator can submit.
#include "tests/script/script_test_support.h"

#include <QObject>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString Nested(const QString& open, int depth, const QString& inner, const QString& close) {
  return open.repeated(depth) + inner + close.repeated(depth);
}

QString Chain(const QString& term, const QString& op, int count) {
  QString text = term;
  for (int i = 1; i < count; ++i) {
    text += op + term;
  }
  return text;
}

void Text(const char* name, const QString& expression, const QString& text) {
  QTest::newRow(name) << expression << text;
}

}  // namespace

class SafetyTest : public QObject {
  Q_OBJECT

 private slots:
  void longInputs_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("text");
    const QString open = QStringLiteral("(");
    const QString close = QStringLiteral(")");
    Text("5,000 nested brackets", Nested(open, 5000, QStringLiteral("1"), close),
         QStringLiteral("1"));
    Text("16,383 nested brackets", Nested(open, 16383, QStringLiteral("7"), close),
         QStringLiteral("7"));
    Text("5,000 nested calls", Nested(QStringLiteral("Abs("), 5000, QStringLiteral("-2"), close),
         QStringLiteral("2"));
    Text("nested sums", Nested(QStringLiteral("(1+"), 8000, QStringLiteral("1"), close),
         QStringLiteral("8001"));
    Text("16,384 additions", Chain(QStringLiteral("1"), QStringLiteral("+"), 16384),
         QStringLiteral("16384"));
    Text("16,000 multiplications", Chain(QStringLiteral("1"), QStringLiteral("*"), 16000),
         QStringLiteral("1"));
    Text("32,766 signs", QString(32766, QLatin1Char('-')) + QStringLiteral("1"),
         QStringLiteral("1"));
    Text("8,191 Nots", QStringLiteral("Not ").repeated(8191) + QStringLiteral("0"),
         QStringLiteral("-1"));
    Text("5,460 concatenations", Chain(QStringLiteral("\"abc\""), QStringLiteral("&"), 5460),
         QStringLiteral("abc").repeated(5460));
    Text("3,276 nested concatenations",
         Nested(QStringLiteral("\"abcde\"&("), 3276, QStringLiteral("\"\""), QStringLiteral(")")),
         QStringLiteral("abcde").repeated(3276));
    Text("nested joins of computed strings",
         Nested(QStringLiteral("Chr(97)&(Chr(98)&"), 1500, QStringLiteral("\"\""),
                QStringLiteral(")")),
         QStringLiteral("ab").repeated(1500));
    Text("32,765-character string",
         QLatin1Char('"') + QString(32765, QLatin1Char('x')) + QLatin1Char('"'),
         QString(32765, QLatin1Char('x')));
    Text("32,767 zeros", QString(32767, QLatin1Char('0')), QStringLiteral("0"));
    Text("4,000,000 characters", QStringLiteral("Len(String(4000000,\"a\"))"),
         QStringLiteral("4000000"));
    Text("long search",
         QStringLiteral("InStr(String(2000000,\"a\"),\"b\" & String(1000000,\"a\"))"),
         QStringLiteral("0"));
  }
  void longInputs() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    const vesko::test::Outcome outcome = vesko::test::Evaluate(expression);
    QVERIFY2(!outcome.failed, qPrintable(outcome.text));
    QCOMPARE(outcome.text, text);
  }

  void limits_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::newRow("70,000 nested brackets")
        << Nested(QStringLiteral("("), 70000, QStringLiteral("1"), QStringLiteral(")")) << 28
        << QStringLiteral("Out of stack space");
    QTest::newRow("String(1e9)") << QStringLiteral("String(1e9,\"a\")") << 14
                                 << QStringLiteral("Out of string space");
    QTest::newRow("Space(1e9)") << QStringLiteral("Space(1e9)") << 14
                                << QStringLiteral("Out of string space");
    QTest::newRow("String(5e6)") << QStringLiteral("String(5000000,\"a\")") << 14
                                 << QStringLiteral("Out of string space");
    QTest::newRow("joined too long")
        << QStringLiteral("String(3000000,\"a\") & String(3000000,\"a\")") << 14
        << QStringLiteral("Out of string space");
    QTest::newRow("added too long")
        << QStringLiteral("String(3000000,\"a\") + String(3000000,\"a\")") << 14
        << QStringLiteral("Out of string space");
    QTest::newRow("replaced too long")
        << QStringLiteral("Replace(String(1000000,\"a\"),\"a\",\"aaaaaaaaaa\")") << 14
        << QStringLiteral("Out of string space");
    QTest::newRow("many big strings")
        << Chain(QStringLiteral("Len(String(4000000,\"a\"))"), QStringLiteral("+"), 1000) << 14
        << QStringLiteral("Out of string space");
    QTest::newRow("upper case too long") << QStringLiteral("UCase(String(3000000,ChrW(223)))") << 14
                                         << QStringLiteral("Out of string space");
    QTest::newRow("lower case too long") << QStringLiteral("LCase(String(3000000,ChrW(304)))") << 14
                                         << QStringLiteral("Out of string space");
    QTest::newRow("literal too long")
        << QLatin1Char('"') + QString(4194305, QLatin1Char('x')) + QLatin1Char('"') << 14
        << QStringLiteral("Out of string space");
    QTest::newRow("literal too long with doubled quotes")
        << QLatin1Char('"') + QString(4194304, QLatin1Char('x')) + QStringLiteral("\"\"\"") << 14
        << QStringLiteral("Out of string space");
    QTest::newRow("expression beyond the evaluator's limit")
        << QStringLiteral("1") + QString(vesko::kMaxExpressionLength, u' ') << 7
        << QStringLiteral("Out of memory");
    QTest::newRow("16,000 powers") << Chain(QStringLiteral("2"), QStringLiteral("^"), 16000) << 6
                                   << QStringLiteral("Overflow");
    QTest::newRow("20,000 arguments")
        << QStringLiteral("Sin(") + Chain(QStringLiteral("1"), QStringLiteral(","), 20000) +
               QStringLiteral(")")
        << 450 << QStringLiteral("Wrong number of arguments or invalid property assignment");
    QTest::newRow("32,767-letter name")
        << QString(32767, QLatin1Char('a')) << 1030 << QStringLiteral("Identifier too long");
    QTest::newRow("32,767 digits")
        << QString(32767, QLatin1Char('9')) << 1031 << QStringLiteral("Invalid number");
    QTest::newRow("16,383 open brackets") << QString(16383, QLatin1Char('(')) + QStringLiteral("1")
                                          << 1006 << QStringLiteral("Expected ')'");
  }
  void limits() {
    QFETCH(QString, expression);
    QFETCH(int, number);
    QFETCH(QString, description);
    VESKO_CHECK_FAILURE(expression, number, description);
  }

  // Case mapping is made piece by piece; whatever the characters and wherever the pieces end, each
  // character comes out as Qt maps it alone, and a surrogate without its partner as it was.
  void caseMappingOfRandomTexts() {
    static const QString alphabet = QStringLiteral("aZ ßΐﬀİıΣσςǅ\U00010400\U00010428\U0001F600") +
                                    QChar(0xD801) + QChar(0xDC00);
    QRandomGenerator random(20261207);
    const auto evaluator = vesko::CreateScriptEvaluator();
    for (int round = 0; round < 200; ++round) {
      QString text;
      const int length = static_cast<int>(random.bounded(1, 400));
      for (int i = 0; i < length; ++i) {
        text += alphabet[static_cast<qsizetype>(random.bounded(alphabet.size()))];
      }
      QString upper;
      QString lower;
      for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QString character = text.mid(i, pair ? 2 : 1);
        upper += character.toUpper();
        lower += character.toLower();
        i += pair ? 1 : 0;
      }
      const QString literal = QLatin1Char('"') + text + QLatin1Char('"');
      QCOMPARE(vesko::test::EvaluateText(*evaluator, u"UCase("_s + literal + u")"_s).text, upper);
      QCOMPARE(vesko::test::EvaluateText(*evaluator, u"LCase("_s + literal + u")"_s).text, lower);
    }
  }

  // Random texts made of the language's own characters: each either evaluates or fails with a
  // description, and the evaluator stays usable.
  void randomTexts() {
    static const QString alphabet =
        QStringLiteral("0123456789.eE&HhO+-*/\\^=<>()\",  abcSinMod NotAnd String1e9#'$\n");
    QRandomGenerator random(20261207);
    const auto evaluator = vesko::CreateScriptEvaluator();
    for (int round = 0; round < 3000; ++round) {
      const int length = static_cast<int>(random.bounded(1, round % 100 == 0 ? 32767 : 60));
      QString text;
      text.reserve(length);
      for (int i = 0; i < length; ++i) {
        text += alphabet[static_cast<qsizetype>(random.bounded(alphabet.size()))];
      }
      const vesko::test::Outcome outcome = vesko::test::EvaluateText(*evaluator, text);
      if (outcome.failed) {
        QVERIFY2(!outcome.text.trimmed().isEmpty(), qPrintable(text));
      }
    }
    QCOMPARE(vesko::test::EvaluateText(*evaluator, QStringLiteral("1+1")).text,
             QStringLiteral("2"));
  }
};

QTEST_GUILESS_MAIN(SafetyTest)
#include "safety_test.moc"
