#include "engine/normalizer.h"

#include <array>
#include <utility>

namespace vesko {

namespace {

constexpr auto kPiDigits = u"3.1415926535897932384626433832795";
constexpr auto kEDigits = u"2.718281828459045";

// Full-width characters typed with East Asian input methods, in the order they are folded.
constexpr std::array<std::pair<char16_t, char16_t>, 17> kFullWidthFolds = {{
    {u'（', u'('},
    {u'）', u')'},
    {u'＋', u'+'},
    {u'－', u'-'},
    {u'＊', u'*'},
    {u'／', u'/'},
    {u'。', u'.'},
    {u'０', u'0'},
    {u'１', u'1'},
    {u'２', u'2'},
    {u'３', u'3'},
    {u'４', u'4'},
    {u'５', u'5'},
    {u'６', u'6'},
    {u'７', u'7'},
    {u'８', u'8'},
    {u'９', u'9'},
}};

}  // namespace

QString NormalizeExpression(const QString& text, bool toDisplay) {
  // Each step is a plain, case-sensitive, left-to-right replacement of non-overlapping
  // occurrences, fed into the next. The single-character folds cannot interact with each other,
  // so they are applied in one pass.
  QString result = text;
  for (QChar& c : result) {
    for (const auto& [from, to] : kFullWidthFolds) {
      if (c.unicode() == from) {
        c = QChar(to);
        break;
      }
    }
  }
  result.remove(QChar(u'\r'));

  const auto pi = QString::fromUtf16(kPiDigits);
  const auto e = QString::fromUtf16(kEDigits);
  if (toDisplay) {
    result.replace(pi, QStringLiteral("pi"));
    result.replace(e, QStringLiteral("pe"));
    result.replace(QChar(u'^'), QStringLiteral("**"));
  } else {
    result.replace(QStringLiteral("pi"), pi);
    result.replace(QStringLiteral("PI"), pi);
    result.replace(QStringLiteral("pe"), e);
    result.replace(QStringLiteral("PE"), e);
    result.replace(QStringLiteral("**"), QStringLiteral("^"));
  }
  return result;
}

}  // namespace vesko
