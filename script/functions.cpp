#include "script/functions.h"

#include "script/conversions.h"
#include "script/dates.h"
#include "script/errors.h"
#include "script/library.h"
#include "script/name_table.h"
#include "script/number_text.h"

#include <QLocale>

#include <string_view>
#include <utility>

namespace vesko::script {

namespace {

namespace b = builtin;

// The one table of built-in functions: lower-case name, argument counts, implementation.
// Sorted by name for binary search; a compiled call carries the index of its entry.
constexpr auto kFunctions = std::to_array<std::pair<std::string_view, FunctionInfo>>({
    {"abs", {1, 1, b::Abs}},
    {"array", {0, kAnyCount, b::Array}},
    {"asc", {1, 1, b::Asc}},
    {"ascw", {1, 1, b::AscW}},
    {"atn", {1, 1, b::Atn}},
    {"cbool", {1, 1, b::CBool}},
    {"cbyte", {1, 1, b::CByte}},
    {"ccur", {1, 1, b::CCur}},
    {"cdate", {1, 1, b::CDate}},
    {"cdbl", {1, 1, b::CDbl}},
    {"chr", {1, 1, b::Chr}},
    {"chrw", {1, 1, b::ChrW}},
    {"cint", {1, 1, b::CInt}},
    {"clng", {1, 1, b::CLng}},
    {"cos", {1, 1, b::Cos}},
    {"csng", {1, 1, b::CSng}},
    {"cstr", {1, 1, b::CStr}},
    {"date", {0, 0, b::Date}},
    {"dateadd", {3, 3, b::DateAdd}},
    {"datediff", {3, 5, b::DateDiff}},
    {"datepart", {2, 4, b::DatePart}},
    {"dateserial", {3, 3, b::DateSerial}},
    {"datevalue", {1, 1, b::DateValue}},
    {"day", {1, 1, b::Day}},
    {"escape", {1, 1, b::Escape}},
    {"eval", {1, 1, b::Eval}},
    {"exp", {1, 1, b::Exp}},
    {"filter", {2, 4, b::Filter}},
    {"fix", {1, 1, b::Fix}},
    {"formatcurrency", {1, 5, b::FormatCurrency}},
    {"formatdatetime", {1, 2, b::FormatDateTime}},
    {"formatnumber", {1, 5, b::FormatNumber}},
    {"formatpercent", {1, 5, b::FormatPercent}},
    {"getlocale", {0, 0, b::GetLocale}},
    {"hex", {1, 1, b::Hex}},
    {"hour", {1, 1, b::Hour}},
    {"instr", {2, 4, b::InStr}},
    {"instrrev", {2, 4, b::InStrRev}},
    {"int", {1, 1, b::Int}},
    {"isarray", {1, 1, b::IsArray}},
    {"isdate", {1, 1, b::IsDate}},
    {"isempty", {1, 1, b::IsEmpty}},
    {"isnull", {1, 1, b::IsNull}},
    {"isnumeric", {1, 1, b::IsNumeric}},
    {"isobject", {1, 1, b::IsObject}},
    {"join", {1, 2, b::Join}},
    {"lbound", {1, 2, b::LBound}},
    {"lcase", {1, 1, b::LCase}},
    {"left", {2, 2, b::Left}},
    {"len", {1, 1, b::Len}},
    {"log", {1, 1, b::Log}},
    {"ltrim", {1, 1, b::LTrim}},
    {"mid", {2, 3, b::Mid}},
    {"minute", {1, 1, b::Minute}},
    {"month", {1, 1, b::Month}},
    {"monthname", {1, 2, b::MonthName}},
    {"now", {0, 0, b::Now}},
    {"oct", {1, 1, b::Oct}},
    {"replace", {3, 6, b::Replace}},
    {"rgb", {3, 3, b::Rgb}},
    {"right", {2, 2, b::Right}},
    {"rnd", {0, 1, b::Rnd}},
    {"round", {1, 2, b::Round}},
    {"rtrim", {1, 1, b::RTrim}},
    {"scriptengine", {0, 0, b::ScriptEngine}},
    {"scriptenginebuildversion", {0, 0, b::ScriptEngineBuildVersion}},
    {"scriptenginemajorversion", {0, 0, b::ScriptEngineMajorVersion}},
    {"scriptengineminorversion", {0, 0, b::ScriptEngineMinorVersion}},
    {"second", {1, 1, b::Second}},
    {"sgn", {1, 1, b::Sgn}},
    {"sin", {1, 1, b::Sin}},
    {"space", {1, 1, b::Space}},
    {"split", {1, 4, b::Split}},
    {"sqr", {1, 1, b::Sqr}},
    {"strcomp", {2, 3, b::StrComp}},
    {"string", {2, 2, b::String}},
    {"strreverse", {1, 1, b::StrReverse}},
    {"tan", {1, 1, b::Tan}},
    {"time", {0, 0, b::Time}},
    {"timer", {0, 0, b::Timer}},
    {"timeserial", {3, 3, b::TimeSerial}},
    {"timevalue", {1, 1, b::TimeValue}},
    {"trim", {1, 1, b::Trim}},
    {"typename", {1, 1, b::TypeName}},
    {"ubound", {1, 2, b::UBound}},
    {"ucase", {1, 1, b::UCase}},
    {"unescape", {1, 1, b::Unescape}},
    {"vartype", {1, 1, b::VarType}},
    {"weekday", {1, 2, b::Weekday}},
    {"weekdayname", {1, 3, b::WeekdayName}},
    {"year", {1, 1, b::Year}},
});
static_assert(IsSortedByName(kFunctions));
static_assert(kFunctions.size() <= 256, "a compiled call keeps the index in 8 bits");

// Hex and Oct: the argument rounded to a whole number; Integer-like arguments show their 16-bit
// pattern, all others their 32-bit pattern.
Variant RadixText(const Variant& x, int radix, EvaluationContext& context) {
  if (x.IsNull()) {
    return Variant::Null();
  }
  if (x.IsObject()) {
    Fail(kObjectVariableNotSet);
  }
  const std::int64_t n = ToRoundedLong(x);
  const bool sixteenBits =
      x.Is(Subtype::kInteger) || x.Is(Subtype::kBoolean) || x.Is(Subtype::kByte) || x.IsEmpty();
  const std::uint32_t pattern =
      sixteenBits ? static_cast<std::uint16_t>(n) : static_cast<std::uint32_t>(n);
  QString text = QString::number(pattern, radix).toUpper();
  context.ReserveText(text.size());
  return Variant::String(std::move(text));
}

bool IsUnescaped(char16_t c) {
  return IsAsciiLetter(c) || IsDigit(c) || c == u'@' || c == u'*' || c == u'_' || c == u'+' ||
         c == u'-' || c == u'.' || c == u'/';
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Windows locale identifiers of the languages and countries a user is likely to run under.
struct LocaleId {
  QLocale::Language language;
  QLocale::Territory territory;
  std::int32_t lcid;
};
constexpr LocaleId kLocaleIds[] = {
    {QLocale::Chinese, QLocale::China, 2052},
    {QLocale::Chinese, QLocale::Taiwan, 1028},
    {QLocale::Chinese, QLocale::HongKong, 3076},
    {QLocale::Chinese, QLocale::Singapore, 4100},
    {QLocale::Chinese, QLocale::Macao, 5124},
    {QLocale::English, QLocale::UnitedStates, 1033},
    {QLocale::English, QLocale::UnitedKingdom, 2057},
    {QLocale::English, QLocale::Australia, 3081},
    {QLocale::English, QLocale::Canada, 4105},
    {QLocale::German, QLocale::Germany, 1031},
    {QLocale::French, QLocale::France, 1036},
    {QLocale::Japanese, QLocale::Japan, 1041},
    {QLocale::Korean, QLocale::SouthKorea, 1042},
    {QLocale::Spanish, QLocale::Spain, 3082},
    {QLocale::Italian, QLocale::Italy, 1040},
    {QLocale::Russian, QLocale::Russia, 1049},
    {QLocale::Portuguese, QLocale::Brazil, 1046},
};

}  // namespace

int FunctionIndex(QStringView name) {
  return static_cast<int>(FindNameIndex(kFunctions, name));
}

const FunctionInfo& FunctionAt(std::uint8_t index) {
  return kFunctions[index].second;
}

QString NonNullText(const Variant& x) {
  if (x.IsNull()) {
    Fail(kInvalidUseOfNull);
  }
  return TextOfArgument(x);
}

bool TextCompareArgument(Arguments args, std::size_t index) {
  if (!Given(args, index)) {
    return false;
  }
  const std::int64_t mode = ToRoundedLong(args[index]);
  if (mode != 0 && mode != 1) {
    Fail(kInvalidProcedureCall);
  }
  return mode == 1;
}

Variant MadeText(QString text, EvaluationContext& context) {
  context.ReserveText(text.size());
  return Variant::String(std::move(text));
}

namespace builtin {

Variant CBool(Arguments args, EvaluationContext&) {
  return ConvertToBoolean(args[0]);
}
Variant CByte(Arguments args, EvaluationContext&) {
  return ConvertToByte(args[0]);
}
Variant CCur(Arguments args, EvaluationContext&) {
  return ConvertToCurrency(args[0]);
}
Variant CDbl(Arguments args, EvaluationContext&) {
  return ConvertToDouble(args[0]);
}
Variant CInt(Arguments args, EvaluationContext&) {
  return ConvertToInteger(args[0]);
}
Variant CLng(Arguments args, EvaluationContext&) {
  return ConvertToLong(args[0]);
}
Variant CSng(Arguments args, EvaluationContext&) {
  return ConvertToSingle(args[0]);
}
Variant CStr(Arguments args, EvaluationContext& context) {
  Variant text = ConvertToString(args[0]);
  context.ReserveText(text.text.size());
  return text;
}
Variant Hex(Arguments args, EvaluationContext& context) {
  return RadixText(args[0], 16, context);
}
Variant Oct(Arguments args, EvaluationContext& context) {
  return RadixText(args[0], 8, context);
}

Variant IsNumeric(Arguments args, EvaluationContext&) {
  const Variant& x = args[0];
  if (x.IsString()) {
    double ignored = 0;
    return Variant::Boolean(ParseNumber(x.text, ignored) == ParseStatus::kNumber);
  }
  return Variant::Boolean((x.IsNumeric() && !x.IsDate()) || x.IsEmpty());
}
Variant IsEmpty(Arguments args, EvaluationContext&) {
  return Variant::Boolean(args[0].IsEmpty());
}
Variant IsNull(Arguments args, EvaluationContext&) {
  return Variant::Boolean(args[0].IsNull());
}
Variant IsObject(Arguments args, EvaluationContext&) {
  return Variant::Boolean(args[0].IsObject());
}
Variant TypeName(Arguments args, EvaluationContext&) {
  return Variant::String(TypeNameOf(args[0]));
}
Variant VarType(Arguments args, EvaluationContext&) {
  return Variant::Integer(static_cast<std::int16_t>(args[0].type));
}

Variant Rgb(Arguments args, EvaluationContext&) {
  std::int64_t parts[3];
  for (int i = 0; i < 3; ++i) {
    parts[i] = ToRoundedLong(args[static_cast<std::size_t>(i)]);
    if (parts[i] < 0) {
      Fail(kInvalidProcedureCall);
    }
    if (parts[i] > 255) {
      parts[i] = 255;
    }
  }
  return Variant::Long(static_cast<std::int32_t>(parts[0] + parts[1] * 256 + parts[2] * 65536));
}

Variant Escape(Arguments args, EvaluationContext& context) {
  if (args[0].IsNull()) {
    return Variant::Null();
  }
  const QString text = TextOfArgument(args[0]);
  // The exact length first, so that an oversized result fails before it is built.
  std::int64_t length = 0;
  for (const QChar qc : text) {
    const char16_t c = qc.unicode();
    length += IsUnescaped(c) ? 1 : c <= 0xFF ? 3 : 6;
  }
  context.ReserveText(length);
  QString out;
  out.reserve(static_cast<qsizetype>(length));
  for (const QChar qc : text) {
    const char16_t c = qc.unicode();
    if (IsUnescaped(c)) {
      out.append(qc);
    } else if (c <= 0xFF) {
      out.append(QLatin1Char('%'));
      out.append(QLatin1Char(kHexDigits[c >> 4]));
      out.append(QLatin1Char(kHexDigits[c & 0xF]));
    } else {
      out.append(QLatin1String("%u"));
      for (int shift = 12; shift >= 0; shift -= 4) {
        out.append(QLatin1Char(kHexDigits[(c >> shift) & 0xF]));
      }
    }
  }
  return Variant::String(std::move(out));
}

Variant Unescape(Arguments args, EvaluationContext& context) {
  if (args[0].IsNull()) {
    return Variant::Null();
  }
  const QString text = TextOfArgument(args[0]);
  QString out;
  out.reserve(text.size());
  const qsizetype size = text.size();
  auto hexAt = [&](qsizetype from, int count, char16_t& value) {
    if (from + count > size) {
      return false;
    }
    unsigned v = 0;
    for (int k = 0; k < count; ++k) {
      const int d = DigitValue(text[from + k].unicode(), 16);
      if (d < 0) {
        return false;
      }
      v = v * 16 + static_cast<unsigned>(d);
    }
    value = static_cast<char16_t>(v);
    return true;
  };
  for (qsizetype i = 0; i < size; ++i) {
    char16_t value = 0;
    if (text[i] == QLatin1Char('%')) {
      if (i + 1 < size && (text[i + 1] == QLatin1Char('u') || text[i + 1] == QLatin1Char('U')) &&
          hexAt(i + 2, 4, value)) {
        out.append(QChar(value));
        i += 5;
        continue;
      }
      if (hexAt(i + 1, 2, value)) {
        out.append(QChar(value));
        i += 2;
        continue;
      }
    }
    out.append(text[i]);
  }
  return MadeText(std::move(out), context);
}

Variant ScriptEngine(Arguments, EvaluationContext&) {
  return Variant::String(QStringLiteral("VBScript"));
}
Variant ScriptEngineMajorVersion(Arguments, EvaluationContext&) {
  return Variant::Long(5);
}
Variant ScriptEngineMinorVersion(Arguments, EvaluationContext&) {
  return Variant::Long(8);
}
Variant ScriptEngineBuildVersion(Arguments, EvaluationContext&) {
  return Variant::Long(16384);
}

Variant GetLocale(Arguments, EvaluationContext&) {
  const QLocale locale = UserLocale();
  for (const LocaleId& id : kLocaleIds) {
    if (id.language == locale.language() && id.territory == locale.territory()) {
      return Variant::Long(id.lcid);
    }
  }
  for (const LocaleId& id : kLocaleIds) {
    if (id.language == locale.language()) {
      return Variant::Long(id.lcid);
    }
  }
  return Variant::Long(1033);
}

}  // namespace builtin

}  // namespace vesko::script
