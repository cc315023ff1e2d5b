#include "script/names.h"

#include "script/name_table.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vesko::script {

namespace {

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
      {"vbdefaultbutton1", Int(0)},
      {"vbdefaultbutton2", Int(256)},
      {"vbdefaultbutton3", Int(512)},
      {"vbdefaultbutton4", Int(768)},
      {"vbapplicationmodal", Int(0)},
      {"vbsystemmodal", Int(4096)},
      {"vbusesystem", Int(0)},
      {"vbmsgboxhelpbutton", Lng(16384)},
      {"vbmsgboxsetforeground", Lng(65536)},
      {"vbmsgboxright", Lng(524288)},
      {"vbmsgboxrtlreading", Lng(1048576)},
  };
  std::sort(t.begin(), t.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return t;
}

}  // namespace

const Variant* LookupConstant(QStringView name) {
  static const ConstantTable table = BuildConstants();
  return FindName(table, name);
}

}  // namespace vesko::script
