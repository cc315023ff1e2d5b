#pragma once

#include <QString>

namespace vesko::script {

// The language's error numbers. Run-time errors are below 1000, compile (syntax) errors above.
// Every number has its description in DescriptionOf, whose switch names each one: the build
// fails (-Werror=switch) when a number is added without a description.
enum ErrorNumber : int {
  kInvalidProcedureCall = 5,
  kOverflow = 6,
  kOutOfMemory = 7,
  kSubscriptOutOfRange = 9,
  kDivisionByZero = 11,
  kTypeMismatch = 13,
  kOutOfStringSpace = 14,
  kOutOfStackSpace = 28,
  kInternalError = 51,
  kObjectVariableNotSet = 91,
  kInvalidUseOfNull = 94,
  kObjectRequired = 424,
  kWrongArgumentCount = 450,
  kVariableUndefined = 500,
  kInvalidReference = 505,
  kSyntaxError = 1002,
  kExpectedCloseParen = 1006,
  kExpectedExpression = 1023,
  kExpectedEndOfStatement = 1025,
  kIdentifierTooLong = 1030,
  kInvalidNumber = 1031,
  kInvalidCharacter = 1032,
  kUnterminatedString = 1033,
  kInvalidUseOfMe = 1037,
};

// The English description of an error number ("Overflow", "Expected ')'", ...).
QString DescriptionOf(ErrorNumber number);

// Throws vesko::EvaluationFailure with the standard description of `number`.
[[noreturn]] void Fail(ErrorNumber number);
// Throws vesko::EvaluationFailure with the standard description followed by ": 'name'".
[[noreturn]] void FailNamed(ErrorNumber number, const QString& name);

}  // namespace vesko::script
