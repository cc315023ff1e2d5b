#pragma once

// The implementations of the built-in functions, family by family; the table in functions.cpp
// names each once with its argument counts.

#include "script/functions.h"

namespace vesko::script::builtin {

#define VESKO_BUILTIN(name) Variant name(Arguments args, EvaluationContext& context)

// math_functions.cpp
VESKO_BUILTIN(Abs);
VESKO_BUILTIN(Atn);
VESKO_BUILTIN(Cos);
VESKO_BUILTIN(Exp);
VESKO_BUILTIN(Fix);
VESKO_BUILTIN(Int);
VESKO_BUILTIN(Log);
VESKO_BUILTIN(Rnd);
VESKO_BUILTIN(Round);
VESKO_BUILTIN(Sgn);
VESKO_BUILTIN(Sin);
VESKO_BUILTIN(Sqr);
VESKO_BUILTIN(Tan);

// functions.cpp: conversions and inspection
VESKO_BUILTIN(CBool);
VESKO_BUILTIN(CByte);
VESKO_BUILTIN(CCur);
VESKO_BUILTIN(CDbl);
VESKO_BUILTIN(CInt);
VESKO_BUILTIN(CLng);
VESKO_BUILTIN(CSng);
VESKO_BUILTIN(CStr);
VESKO_BUILTIN(Hex);
VESKO_BUILTIN(Oct);
VESKO_BUILTIN(IsNumeric);
VESKO_BUILTIN(IsEmpty);
VESKO_BUILTIN(IsNull);
VESKO_BUILTIN(IsObject);
VESKO_BUILTIN(TypeName);
VESKO_BUILTIN(VarType);
VESKO_BUILTIN(Rgb);
VESKO_BUILTIN(Escape);
VESKO_BUILTIN(Unescape);
VESKO_BUILTIN(ScriptEngine);
VESKO_BUILTIN(ScriptEngineMajorVersion);
VESKO_BUILTIN(ScriptEngineMinorVersion);
VESKO_BUILTIN(ScriptEngineBuildVersion);
VESKO_BUILTIN(GetLocale);

// string_functions.cpp
VESKO_BUILTIN(Len);
VESKO_BUILTIN(Left);
VESKO_BUILTIN(Right);
VESKO_BUILTIN(Mid);
VESKO_BUILTIN(UCase);
VESKO_BUILTIN(LCase);
VESKO_BUILTIN(Trim);
VESKO_BUILTIN(LTrim);
VESKO_BUILTIN(RTrim);
VESKO_BUILTIN(InStr);
VESKO_BUILTIN(InStrRev);
VESKO_BUILTIN(String);
VESKO_BUILTIN(Space);
VESKO_BUILTIN(StrReverse);
VESKO_BUILTIN(Replace);
VESKO_BUILTIN(Chr);
VESKO_BUILTIN(ChrW);
VESKO_BUILTIN(Asc);
VESKO_BUILTIN(AscW);
VESKO_BUILTIN(StrComp);

// date_functions.cpp
VESKO_BUILTIN(Now);
VESKO_BUILTIN(Date);
VESKO_BUILTIN(Time);
VESKO_BUILTIN(Timer);
VESKO_BUILTIN(Year);
VESKO_BUILTIN(Month);
VESKO_BUILTIN(Day);
VESKO_BUILTIN(Hour);
VESKO_BUILTIN(Minute);
VESKO_BUILTIN(Second);
VESKO_BUILTIN(Weekday);
VESKO_BUILTIN(DateSerial);
VESKO_BUILTIN(TimeSerial);
VESKO_BUILTIN(DateValue);
VESKO_BUILTIN(TimeValue);
VESKO_BUILTIN(CDate);
VESKO_BUILTIN(IsDate);
VESKO_BUILTIN(DateAdd);
VESKO_BUILTIN(DateDiff);
VESKO_BUILTIN(DatePart);
VESKO_BUILTIN(MonthName);
VESKO_BUILTIN(WeekdayName);
VESKO_BUILTIN(FormatDateTime);

// format_functions.cpp
VESKO_BUILTIN(FormatNumber);
VESKO_BUILTIN(FormatCurrency);
VESKO_BUILTIN(FormatPercent);

// array_functions.cpp
VESKO_BUILTIN(Array);
VESKO_BUILTIN(Split);
VESKO_BUILTIN(Join);
VESKO_BUILTIN(Filter);
VESKO_BUILTIN(UBound);
VESKO_BUILTIN(LBound);
VESKO_BUILTIN(IsArray);

// Eval is run by the evaluator itself (script_evaluator.cpp), which owns the parser.
VESKO_BUILTIN(Eval);

#undef VESKO_BUILTIN

}  // namespace vesko::script::builtin
