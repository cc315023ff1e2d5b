#pragma once

#include "engine/evaluator.h"

#include <memory>

namespace vesko {

// The calculator's expression language (VBScript expressions), behind ExpressionEvaluator.
//
// Values carry VBScript's subtypes (Empty, Null, Boolean, Byte, Integer, Long, Single, Double,
// Currency, Date, String, arrays and the empty object reference Nothing) and follow its
// operator, promotion and conversion rules. Dates are written and read in the user's locale
// (short date with a four-digit year, long time without the zone); date literals are US order;
// the clock behind Now, Date, Time and Timer is script::SetClock (script/clock.h). Where the
// language is unsound for a calculator it differs on purpose:
//  - a name that is neither a constant nor a function fails with "Variable is undefined: 'x'"
//    (number 500) instead of standing for Empty; an unknown function fails with
//    "Type mismatch: 'foo'" (13) once its arguments have been evaluated;
//  - an array as the whole result fails with "Type mismatch" (13), as its text would;
//  - space, tab, carriage return and line feed all separate tokens; comments, ":" and "_" line
//    continuations are syntax errors;
//  - numbers are read and written with "." and Booleans as "True"/"False", whatever the locale;
//    strings are never read with grouping characters ("1,000" is not a number);
//  - Double overflow fails with "Overflow" (6), x/0 with "Division by zero" (11), 0/0 and a too
//    large power with "Overflow", 0 raised to a negative power with "Division by zero": no
//    infinity or NaN is ever produced or shown;
//  - brackets and calls nest up to 65,536 deep, deeper fails with "Out of stack space" (28);
//    each Eval level adds its own text's nesting and 64 more;
//    one string may hold at most 4,194,304 characters and one evaluation may make at most
//    33,554,432 characters of text, beyond that "Out of string space" (14).
// The empty or blank text evaluates to Empty. The text of a value is VBScript's string form
// (15 significant digits for Double, 7 for Single, "1E+20" / "1E-05" exponents, Currency exact,
// Empty ""), with "Null" for Null and "Nothing" for the empty object reference.
class ScriptEvaluator : public ExpressionEvaluator {
 public:
  // One evaluation with the language's error number of a failure (0 for a value): the number
  // stays inside the language, for diagnostics and tests.
  struct Outcome {
    Evaluation evaluation;
    int errorNumber = 0;
  };
  virtual Outcome EvaluateWithErrorNumber(const QString& expression) = 0;
};

std::unique_ptr<ScriptEvaluator> CreateScriptEvaluator();

}  // namespace vesko
