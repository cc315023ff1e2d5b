// Arrays inside an expression (reference section 8b): Array, Split, Join, Filter, UBound, LBound,
// IsArray, indexing a call's result; an array as the whole result fails.
#include "tests/script/script_test_support.h"

#include <QObject>
#include <QTest>

using vesko::test::AddFailureColumns;
using vesko::test::AddValueColumns;
using vesko::test::Failure;
using vesko::test::Value;

class ArraysTest : public QObject {
  Q_OBJECT

 private slots:
  void values_data() {
    AddValueColumns();
    Value("UBound(Split(\"a b c\"))", "2", "Long");
    Value("LBound(Split(\"a b c\"))", "0", "Long");
    Value("UBound(Array())", "-1", "Long");
    Value("UBound(Array(1, 2, 3), 1)", "2", "Long");
    Value("Array(10, 20, 30)(1)", "20", "Integer");
    Value("Array(10, 20, 30)(1.5)", "30", "Integer");
    Value("Array(10, 20, 30)(\"0\")", "10", "Integer");
    Value("Array(\"x\", 2.5, True)(0) & Array(\"x\", 2.5, True)(2)", "xTrue", "String");
    Value("Array(Array(1, 2), 3)(0)(1)", "2", "Integer");
    Value("Array(Null)(0)", "Null", "Null");
    Value("Split(\"a;b\", \";\")(1)", "b", "String");
    Value("Split(\"a;b\", \";\") (1)", "b", "String");
    Value("Split(\"a;;b\", \";\")(1)", "", "String");
    Value("UBound(Split(\"a;;b\", \";\"))", "2", "Long");
    Value("UBound(Split(\"\"))", "-1", "Long");
    Value("UBound(Split(\"abc\", \"\"))", "0", "Long");
    Value("Split(\"abc\", \"\")(0)", "abc", "String");
    Value("UBound(Split(\"a b c\", \" \", 2))", "1", "Long");
    Value("Split(\"a b c\", \" \", 2)(1)", "b c", "String");
    Value("UBound(Split(\"a b c\", \" \", 0))", "-1", "Long");
    Value("UBound(Split(\"a b c\", \" \", -1))", "2", "Long");
    Value("UBound(Split(\"aXbxc\", \"x\"))", "1", "Long");
    Value("UBound(Split(\"aXbxc\", \"x\", -1, vbTextCompare))", "2", "Long");
    Value("Split(\"aXbxc\", \"x\", -1, 1)(1)", "b", "String");
    Value("Split(\"abab\", \"ab\")(2)", "", "String");
    Value("Split(\"one--two--three\", \"--\")(2)", "three", "String");
    Value("Split(12.5, \".\")(1)", "5", "String");
    Value("Split(Null)", "Null", "Null");
    Value("Join(Array(1, 2, 3))", "1 2 3", "String");
    Value("Join(Array(1, 2, 3), \"+\")", "1+2+3", "String");
    Value("Join(Array(1, 2, 3), \"\")", "123", "String");
    Value("Join(Array())", "", "String");
    Value("Join(Split(\"a b c\"), \",\")", "a,b,c", "String");
    Value("Join(Array(1, Null, True))", "1  True", "String");
    Value("Join(Filter(Array(\"apple\", \"pear\", \"plum\"), \"p\"), \",\")", "apple,pear,plum",
          "String");
    Value("Join(Filter(Array(\"apple\", \"pear\", \"plum\"), \"pl\"), \",\")", "apple,plum",
          "String");
    Value("Join(Filter(Array(\"apple\", \"pear\", \"plum\"), \"pl\", False), \",\")", "pear",
          "String");
    Value("Join(Filter(Array(\"Apple\", \"pear\"), \"a\", True, vbTextCompare), \",\")",
          "Apple,pear", "String");
    Value("UBound(Filter(Array(\"a\", \"b\"), \"z\"))", "-1", "Long");
    Value("Filter(Array(1, 22, 3), 2)(0)", "22", "String");
    Value("IsArray(Array())", "True", "Boolean");
    Value("IsArray(Split(\"a\"))", "True", "Boolean");
    Value("IsArray(1)", "False", "Boolean");
    Value("IsArray(Null)", "False", "Boolean");
    Value("TypeName(Array())", "Variant()", "String");
    Value("VarType(Array())", "8204", "Integer");
    Value("VarType(Split(\"a\"))", "8204", "Integer");
    Value("IsEmpty(Array(Empty)(0))", "True", "Boolean");
    Value("Len(Join(Split(String(1000, \"x\"), \"\")))", "1000", "Long");
  }
  void values() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, type);
    VESKO_CHECK_VALUE(expression, text, type);
  }

  void failures_data() {
    AddFailureColumns();
    // An array as the whole result cannot be shown.
    Failure("Array(1, 2)", 13, "Type mismatch");
    Failure("Split(\"a b\")", 13, "Type mismatch");
    Failure("Array()", 13, "Type mismatch");
    Failure("Array(Array(1))(0)", 13, "Type mismatch");
    // Out of range, and arrays where a single value is needed.
    Failure("Array(10, 20)(2)", 9, "Subscript out of range");
    Failure("Array(10, 20)(-1)", 9, "Subscript out of range");
    Failure("Array()(0)", 9, "Subscript out of range");
    Failure("Array(10, 20)(0, 1)", 9, "Subscript out of range");
    Failure("UBound(Array(1), 2)", 9, "Subscript out of range");
    Failure("Array(1)(Null)", 94, "Invalid use of Null");
    Failure("Array(1) + 1", 13, "Type mismatch");
    Failure("Array(1) & \"\"", 13, "Type mismatch");
    Failure("Array(1) = 1", 13, "Type mismatch");
    Failure("-Array(1)", 13, "Type mismatch");
    Failure("Not Array(1)", 13, "Type mismatch");
    Failure("CStr(Array(1))", 13, "Type mismatch");
    Failure("Len(Array(1))", 13, "Type mismatch");
    Failure("UBound(1)", 13, "Type mismatch");
    Failure("UBound(Null)", 13, "Type mismatch");
    Failure("Join(\"a\")", 13, "Type mismatch");
    Failure("Join(Array(Array(1)))", 13, "Type mismatch");
    Failure("Filter(\"a\", \"a\")", 13, "Type mismatch");
    Failure("Filter(Array(\"a\"), Null)", 94, "Invalid use of Null");
    Failure("Split(\"a\", \" \", -2)", 5, "Invalid procedure call or argument");
    Failure("Split(\"a\", \" \", -1, 2)", 5, "Invalid procedure call or argument");
    Failure("Sin(1)(0)", 13, "Type mismatch");
    Failure("(Array(1))(0)", 1025, "Expected end of statement");
    // Huge arrays run out of the evaluation's budget instead of memory.
    Failure("UBound(Split(Space(4000000), \" \"))", 14, "Out of string space");
  }
  void failures() {
    QFETCH(QString, expression);
    QFETCH(int, number);
    QFETCH(QString, description);
    VESKO_CHECK_FAILURE(expression, number, description);
  }
};

QTEST_GUILESS_MAIN(ArraysTest)
#include "arrays_test.moc"
