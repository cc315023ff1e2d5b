#include "script/names.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vesko::script {

namespace {

constexpr std::size_t kLongestName = 24;

// Lower-cases an ASCII identifier into `buffer`; false when it cannot be a built-in name.
bool LowerKey(QStringView name, std::array<char, kLongestName>& buffer, std::string_view& key) {
  if (name.size() > static_cast<qsizetype>(kLongestName)) {
    return false;
  }
  for (qsizetype i = 0; i < name.size(); ++i) {
    const char16_t c = name[i].unicode();
    buffer[static_cast<std::size_t>(i)] =
        static_cast<char>(c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c);
  }
  key = std::string_view(buffer.data(), static_cast<std::size_t>(name.size()));
  return true;
}

template <typename Table>
auto Find(const Table& table, QStringView name) -> decltype(&table.front().second) {
  std::array<char, kLongestName> buffer;
  std::string_view key;
  if (!LowerKey(name, buffer, key)) {
    return nullptr;
  }
  const auto it =
      std::lower_bound(table.begin(), table.end(), key,
                       [](const auto& entry, std::string_view k) { return entry.first < k; });
  return it != table.end() && it->first == key ? &it->second : nullptr;
}

using F = FunctionId;
constexpr std::uint8_t kAny = 255;

// Sorted by lower-case name for binary search.
constexpr auto kFunctions = std::to_array<std::pair<std::string_view, FunctionInfo>>({
    {"abs", {F::kAbs, 1, 1}},
    {"asc", {F::kAsc, 1, 1}},
    {"ascw", {F::kAscW, 1, 1}},
    {"atn", {F::kAtn, 1, 1}},
    {"cbool", {F::kCBool, 1, 1}},
    {"cbyte", {F::kCByte, 1, 1}},
    {"ccur", {F::kCCur, 1, 1}},
    {"cdate", {F::kDateFunction, 0, kAny}},
    {"cdbl", {F::kCDbl, 1, 1}},
    {"chr", {F::kChr, 1, 1}},
    {"chrw", {F::kChrW, 1, 1}},
    {"cint", {F::kCInt, 1, 1}},
    {"clng", {F::kCLng, 1, 1}},
    {"cos", {F::kCos, 1, 1}},
    {"csng", {F::kCSng, 1, 1}},
    {"cstr", {F::kCStr, 1, 1}},
    {"date", {F::kDateFunction, 0, kAny}},
    {"dateadd", {F::kDateFunction, 0, kAny}},
    {"datediff", {F::kDateFunction, 0, kAny}},
    {"datepart", {F::kDateFunction, 0, kAny}},
    {"dateserial", {F::kDateFunction, 0, kAny}},
    {"datevalue", {F::kDateFunction, 0, kAny}},
    {"day", {F::kDateFunction, 0, kAny}},
    {"exp", {F::kExp, 1, 1}},
    {"fix", {F::kFix, 1, 1}},
    {"formatdatetime", {F::kDateFunction, 0, kAny}},
    {"hex", {F::kHex, 1, 1}},
    {"hour", {F::kDateFunction, 0, kAny}},
    {"instr", {F::kInStr, 2, 4}},
    {"instrrev", {F::kInStrRev, 2, 4}},
    {"int", {F::kInt, 1, 1}},
    {"isdate", {F::kDateFunction, 0, kAny}},
    {"isempty", {F::kIsEmpty, 1, 1}},
    {"isnull", {F::kIsNull, 1, 1}},
    {"isnumeric", {F::kIsNumeric, 1, 1}},
    {"isobject", {F::kIsObject, 1, 1}},
    {"lcase", {F::kLCase, 1, 1}},
    {"left", {F::kLeft, 2, 2}},
    {"len", {F::kLen, 1, 1}},
    {"log", {F::kLog, 1, 1}},
    {"ltrim", {F::kLTrim, 1, 1}},
    {"mid", {F::kMid, 2, 3}},
    {"minute", {F::kDateFunction, 0, kAny}},
    {"month", {F::kDateFunction, 0, kAny}},
    {"monthname", {F::kDateFunction, 0, kAny}},
    {"now", {F::kDateFunction, 0, kAny}},
    {"oct", {F::kOct, 1, 1}},
    {"replace", {F::kReplace, 3, 6}},
    {"rgb", {F::kRgb, 3, 3}},
    {"right", {F::kRight, 2, 2}},
    {"rnd", {F::kRnd, 0, 1}},
    {"round", {F::kRound, 1, 2}},
    {"rtrim", {F::kRTrim, 1, 1}},
    {"second", {F::kDateFunction, 0, kAny}},
    {"sgn", {F::kSgn, 1, 1}},
    {"sin", {F::kSin, 1, 1}},
    {"space", {F::kSpace, 1, 1}},
    {"sqr", {F::kSqr, 1, 1}},
    {"strcomp", {F::kStrComp, 2, 3}},
    {"string", {F::kString, 2, 2}},
    {"strreverse", {F::kStrReverse, 1, 1}},
    {"tan", {F::kTan, 1, 1}},
    {"time", {F::kDateFunction, 0, kAny}},
    {"timer", {F::kTimer, 0, 0}},
    {"timeserial", {F::kDateFunction, 0, kAny}},
    {"timevalue", {F::kDateFunction, 0, kAny}},
    {"trim", {F::kTrim, 1, 1}},
    {"typename", {F::kTypeName, 1, 1}},
    {"ucase", {F::kUCase, 1, 1}},
    {"vartype", {F::kVarType, 1, 1}},
    {"weekday", {F::kDateFunction, 0, kAny}},
    {"weekdayname", {F::kDateFunction, 0, kAny}},
    {"year", {F::kDateFunction, 0, kAny}},
});
static_assert(std::is_sorted(kFunctions.begin(), kFunctions.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; }));

using ConstantTable = std::vector<std::pair<std::string, Variant>>;

Variant Int(int v) {
  Variant x = Variant::Integer(static_cast<std::int16_t>(v));
  x.literal = true;
  return x;
}
Variant Lng(std::int32_t v) {
  Variant x = Variant::Long(v);
  x.literal = true;
  return x;
}
Variant Str(const char16_t* v) {
  Variant x = Variant::String(QString::fromUtf16(v));
  x.literal = true;
  return x;
}
Variant Chr(char16_t c) {
  Variant x = Variant::String(QString(QChar(c)));
  x.literal = true;
  return x;
}

ConstantTable BuildConstants() {
  ConstantTable t{
      {"vbtrue", Int(-1)},
      {"vbfalse", Int(0)},
      {"vbusedefault", Int(-2)},
      {"vbcr", Chr(u'\r')},
      {"vblf", Chr(u'\n')},
      {"vbcrlf", Str(u"\r\n")},
      {"vbnewline", Str(u"\r\n")},
      {"vbtab", Chr(u'\t')},
      {"vbnullchar", Chr(u'\0')},
      {"vbnullstring", Str(u"")},
      {"vbformfeed", Chr(u'\f')},
      {"vbverticaltab", Chr(u'\v')},
      {"vbempty", Int(0)},
      {"vbnull", Int(1)},
      {"vbinteger", Int(2)},
      {"vblong", Int(3)},
      {"vbsingle", Int(4)},
      {"vbdouble", Int(5)},
      {"vbcurrency", Int(6)},
      {"vbdate", Int(7)},
      {"vbstring", Int(8)},
      {"vbobject", Int(9)},
      {"vberror", Int(10)},
      {"vbboolean", Int(11)},
      {"vbvariant", Int(12)},
      {"vbdataobject", Int(13)},
      {"vbdecimal", Int(14)},
      {"vbbyte", Int(17)},
      {"vbarray", Int(8192)},
      {"vbbinarycompare", Int(0)},
      {"vbtextcompare", Int(1)},
      {"vbdatabasecompare", Int(2)},
      {"vbsunday", Int(1)},
      {"vbmonday", Int(2)},
      {"vbtuesday", Int(3)},
      {"vbwednesday", Int(4)},
      {"vbthursday", Int(5)},
      {"vbfriday", Int(6)},
      {"vbsaturday", Int(7)},
      {"vbusesystemdayofweek", Int(0)},
      {"vbfirstjan1", Int(1)},
      {"vbfirstfourdays", Int(2)},
      {"vbfirstfullweek", Int(3)},
      {"vbgeneraldate", Int(0)},
      {"vblongdate", Int(1)},
      {"vbshortdate", Int(2)},
      {"vblongtime", Int(3)},
      {"vbshorttime", Int(4)},
      {"vbblack", Lng(0)},
      {"vbred", Lng(0xFF)},
      {"vbgreen", Lng(0xFF00)},
      {"vbyellow", Lng(0xFFFF)},
      {"vbblue", Lng(0xFF0000)},
      {"vbmagenta", Lng(0xFF00FF)},
      {"vbcyan", Lng(0xFFFF00)},
      {"vbwhite", Lng(0xFFFFFF)},
      {"vbobjecterror", Lng(-2147221504)},
      {"vbokonly", Int(0)},
      {"vbokcancel", Int(1)},
      {"vbabortretryignore", Int(2)},
      {"vbyesnocancel", Int(3)},
      {"vbyesno", Int(4)},
      {"vbretrycancel", Int(5)},
      {"vbok", Int(1)},
      {"vbcancel", Int(2)},
      {"vbabort", Int(3)},
      {"vbretry", Int(4)},
      {"vbignore", Int(5)},
      {"vbyes", Int(6)},
      {"vbno", Int(7)},
      {"vbcritical", Int(16)},
      {"vbquestion", Int(32)},
      {"vbexclamation", Int(48)},
      {"vbinformation", Int(64)},
  };
  std::sort(t.begin(), t.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return t;
}

}  // namespace

const Variant* LookupConstant(QStringView name) {
  static const ConstantTable table = BuildConstants();
  return Find(table, name);
}

const FunctionInfo* LookupFunction(QStringView name) {
  return Find(kFunctions, name);
}

const FunctionInfo& FunctionInfoOf(FunctionId id) {
  static const auto byId = [] {
    std::array<FunctionInfo, static_cast<std::size_t>(FunctionId::kDateFunction) + 1> table{};
    for (const auto& entry : kFunctions) {
      table[static_cast<std::size_t>(entry.second.id)] = entry.second;
    }
    return table;
  }();
  return byId[static_cast<std::size_t>(id)];
}

}  // namespace vesko::script
