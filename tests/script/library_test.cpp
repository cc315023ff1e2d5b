// Eval, Escape, Unescape, ScriptEngine and its version functions, GetLocale and the constants of
// reference section 9 that came last.
#include "tests/script/locale_pin.h"
#include "tests/script/script_test_support.h"

#include <QObject>
#include <QTest>

using vesko::test::AddFailureColumns;
using vesko::test::AddValueColumns;
using vesko::test::Failure;
using vesko::test::Value;

class LibraryTest : public QObject {
  Q_OBJECT

 private slots:
  void values_data() {
    AddValueColumns();
    Value("Eval(\"1+2\")", "3", "Integer");
    Value("Eval(\"1 + 2\") * 2", "6", "Integer");
    Value("Eval(42)", "42", "Integer");
    Value("Eval(\"true\")", "True", "Boolean");
    Value("Eval(\"\")", "", "Empty");
    Value("Eval(\"  \")", "", "Empty");
    Value("Eval(\"Eval(\"\"2^10\"\")\")", "1024", "Double");
    Value("Eval(\"\"\"a\"\" & 1\")", "a1", "String");
    Value("Eval(\"1\" & \"+\" & \"1\")", "2", "Integer");
    Value("Eval(\"UBound(Split(\"\"a b\"\"))\")", "1", "Long");
    Value("Eval(\"#1/2/2003#\") = #1/2/2003#", "True", "Boolean");
    Value("Eval(\"Rnd\") = Rnd(0)", "True", "Boolean");
    Value("Escape(\"a b+c/é中\")", "a%20b+c/%E9%u4E2D", "String");
    Value("Escape(\"@*_+-./\")", "@*_+-./", "String");
    Value("Escape(\"%\")", "%25", "String");
    Value("Escape(\"\")", "", "String");
    Value("Escape(12.5)", "12.5", "String");
    Value("Escape(Null)", "Null", "Null");
    Value("Unescape(\"a%20b+c/%E9%u4E2D\")", "a b+c/é中", "String");
    Value("Unescape(\"%u4e2d%41\")", "中A", "String");
    Value("Unescape(\"%\")", "%", "String");
    Value("Unescape(\"%4\")", "%4", "String");
    Value("Unescape(\"%zz%u12\")", "%zz%u12", "String");
    Value("Unescape(Escape(\"x=1&y=2\"))", "x=1&y=2", "String");
    Value("Unescape(Null)", "Null", "Null");
    Value("ScriptEngine", "VBScript", "String");
    Value("ScriptEngine()", "VBScript", "String");
    Value("ScriptEngineMajorVersion", "5", "Long");
    Value("ScriptEngineMinorVersion", "8", "Long");
    Value("ScriptEngineBuildVersion", "16384", "Long");
    Value("vbDefaultButton1", "0", "Integer");
    Value("vbDefaultButton2", "256", "Integer");
    Value("vbDefaultButton3", "512", "Integer");
    Value("vbDefaultButton4", "768", "Integer");
    Value("vbApplicationModal", "0", "Integer");
    Value("vbSystemModal", "4096", "Integer");
    Value("vbUseSystem", "0", "Integer");
    Value("vbMsgBoxHelpButton", "16384", "Long");
    Value("vbMsgBoxSetForeground", "65536", "Long");
    Value("vbMsgBoxRight", "524288", "Long");
    Value("VBMSGBOXRTLREADING", "1048576", "Long");
  }
  void values() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }

  void getLocale_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::newRow("zh_CN") << vesko::test::China() << "2052";
    QTest::newRow("en_US") << vesko::test::UnitedStates() << "1033";
    QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "2057";
    QTest::newRow("zh_TW") << QLocale(QLocale::Chinese, QLocale::Taiwan) << "1028";
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "1031";
    QTest::newRow("de_AT") << QLocale(QLocale::German, QLocale::Austria) << "1031";
  }
  void getLocale() {
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    const vesko::test::PinnedLocaleAndClock pin(locale);
    const QString expression = QStringLiteral("GetLocale");
    VESKO_CHECK_VALUE(expression, text, QStringLiteral("Long"));
  }

  void failures_data() {
    AddFailureColumns();
    Failure("Eval(\"1+\")", 1002, "Syntax error");
    Failure("Eval(\"1/0\")", 11, "Division by zero");
    Failure("Eval(\"x\")", 500, "Variable is undefined: 'x'");
    Failure("Eval(Null)", 94, "Invalid use of Null");
    Failure("Eval(Array(1))", 13, "Type mismatch");
    Failure("Eval()", 450, "Wrong number of arguments or invalid property assignment");
    Failure("Eval(\"1\", \"2\")", 450, "Wrong number of arguments or invalid property assignment");
    Failure("ScriptEngine(1)", 450, "Wrong number of arguments or invalid property assignment");
    // Eval's nesting counts toward the limit: 65,500 brackets fit alone, not inside Eval.
    Failure("Eval(String(65500, \"(\") & 1 & String(65500, \")\"))", 28, "Out of stack space");
  }
  void failures() {
    QFETCH(QString, expression);
    QFETCH(int, number);
    QFETCH(QString, description);
    VESKO_CHECK_FAILURE(expression, number, description);
  }

  void evalLimits() {
    auto valueOf = [](const QString& expression) {
      const vesko::test::Outcome outcome = vesko::test::Evaluate(expression);
      return outcome.failed ? QStringLiteral("failed %1").arg(outcome.number) : outcome.text;
    };
    // 65,000 brackets evaluate alone; 60,000 inside one Eval.
    QCOMPARE(valueOf(QString(65000, u'(') + QLatin1Char('1') + QString(65000, u')')),
             QStringLiteral("1"));
    QCOMPARE(valueOf(QStringLiteral("Eval(String(60000, \"(\") & 1 & String(60000, \")\"))")),
             QStringLiteral("1"));
    // Eval inside Eval inside ...: twelve levels written out.
    QString chain = QStringLiteral("1");
    for (int i = 0; i < 12; ++i) {
      chain = QStringLiteral("Eval(\"") + QString(chain).replace(u'"', QStringLiteral("\"\"")) +
              QStringLiteral("\")");
    }
    QCOMPARE(valueOf(chain), QStringLiteral("1"));
    // A self-copying text (a quine through Replace) would recurse through Eval without end;
    // each level costs a share of the nesting limit, so it ends with "Out of stack space".
    const QString quine = QStringLiteral(
        "Eval(Replace(\"Eval(Replace(@,Chr(64),Chr(34)&Replace(@,Chr(34),Chr(34)&Chr(34))&"
        "Chr(34)))\",Chr(64),Chr(34)&Replace(\"Eval(Replace(@,Chr(64),Chr(34)&Replace(@,Chr(34),"
        "Chr(34)&Chr(34))&Chr(34)))\",Chr(34),Chr(34)&Chr(34))&Chr(34)))");
    QCOMPARE(valueOf(quine), QStringLiteral("failed 28"));
    // Every Eval text counts toward the evaluation's text budget.
    QCOMPARE(valueOf(QStringLiteral("Len(Eval(\"Space(4000000)\") & Eval(\"Space(4000000)\"))")),
             QStringLiteral("failed 14"));
  }
};

QTEST_GUILESS_MAIN(LibraryTest)
#include "library_test.moc"
