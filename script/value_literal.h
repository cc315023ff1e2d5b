#pragma once

#include "script/value.h"

#include <QString>

namespace vesko::script {

// An expression text that evaluates to a value equal to `value`, with the same text: a number as
// its text, a string as a quoted literal ("a""b"), True/False, Null, Empty, Nothing, a date as a
// #month/day/year hours:minutes:seconds# literal, which reads the same in every locale. The text
// also survives the calculator's input folding unchanged (full-width characters, pi, pe and **
// inside a string are written so that folding cannot reach them). Arrays have none: empty.
// `text` is the value's text as rows show it (DisplayText); the values that read back from it
// have it as their literal, shared rather than made again.
QString LiteralOf(const Variant& value, const QString& text);

// The literal of a string value alone.
QString StringLiteral(const QString& text);

}  // namespace vesko::script
