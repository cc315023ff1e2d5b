#include "script/errors.h"

#include "script/evaluation_failure.h"

namespace vesko::script {

QString DescriptionOf(ErrorNumber number) {
  switch (number) {  // no default: a number without a description does not compile
    case kInvalidProcedureCall:
      return QStringLiteral("Invalid procedure call or argument");
    case kOverflow:
      return QStringLiteral("Overflow");
    case kOutOfMemory:
      return QStringLiteral("Out of memory");
    case kSubscriptOutOfRange:
      return QStringLiteral("Subscript out of range");
    case kDivisionByZero:
      return QStringLiteral("Division by zero");
    case kTypeMismatch:
      return QStringLiteral("Type mismatch");
    case kOutOfStringSpace:
      return QStringLiteral("Out of string space");
    case kOutOfStackSpace:
      return QStringLiteral("Out of stack space");
    case kInternalError:
      return QStringLiteral("Internal error");
    case kObjectVariableNotSet:
      return QStringLiteral("Object variable not set");
    case kInvalidUseOfNull:
      return QStringLiteral("Invalid use of Null");
    case kObjectRequired:
      return QStringLiteral("Object required");
    case kWrongArgumentCount:
      return QStringLiteral("Wrong number of arguments or invalid property assignment");
    case kVariableUndefined:
      return QStringLiteral("Variable is undefined");
    case kInvalidReference:
      return QStringLiteral("Invalid or unqualified reference");
    case kSyntaxError:
      return QStringLiteral("Syntax error");
    case kExpectedCloseParen:
      return QStringLiteral("Expected ')'");
    case kExpectedExpression:
      return QStringLiteral("Expected expression");
    case kExpectedEndOfStatement:
      return QStringLiteral("Expected end of statement");
    case kIdentifierTooLong:
      return QStringLiteral("Identifier too long");
    case kInvalidNumber:
      return QStringLiteral("Invalid number");
    case kInvalidCharacter:
      return QStringLiteral("Invalid character");
    case kUnterminatedString:
      return QStringLiteral("Unterminated string constant");
    case kInvalidUseOfMe:
      return QStringLiteral("Invalid use of 'Me' keyword");
  }
  return QString();  // not reached for a valid enumerator
}

void Fail(ErrorNumber number) {
  throw EvaluationFailure(DescriptionOf(number), number);
}

void FailNamed(ErrorNumber number, const QString& name) {
  throw EvaluationFailure(DescriptionOf(number) + QStringLiteral(": '") + name + QLatin1Char('\''),
                          number);
}

}  // namespace vesko::script
