#include "engine/normalizer.h"

#include <QStringView>

#include <array>
#include <utility>

namespace vesko {

namespace {

constexpr QStringView kPiDigits = u"3.1415926535897932384626433832795";
constexpr QStringView kEDigits = u"2.718281828459045";

// Full-width characters typed with East Asian input methods and their ASCII forms.
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

QChar Folded(QChar c) {
  for (const auto& [from, to] : kFullWidthFolds) {
    if (c.unicode() == from) {
      return QChar(to);
    }
  }
  return c;
}

// The full-width folds and the removal of carriage returns, in one pass.
QString FoldFullWidth(const QString& text) {
  QString result;
  result.reserve(text.size());
  for (QChar c : text) {
    if (c != u'\r') {
      result.append(Folded(c));
    }
  }
  return result;
}

// A plain, case-sensitive, left-to-right replacement of non-overlapping occurrences, made as one
// pass that tries the (find, replace) pairs in their order at each position. No pair's text can
// overlap another's or arise from a replacement, so the pass gives what replacing pair after
// pair over the whole text would give, in time linear in the text.
template <std::size_t N>
QString ReplaceAll(const QString& text,
                   const std::array<std::pair<QStringView, QStringView>, N>& pairs) {
  QString result;
  result.reserve(text.size());
  const QStringView rest(text);
  qsizetype i = 0;
  while (i < rest.size()) {
    bool replaced = false;
    for (const auto& [find, replacement] : pairs) {
      if (rest.sliced(i).startsWith(find)) {
        result.append(replacement);
        i += find.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) {
      result.append(rest[i]);
      ++i;
    }
  }
  return result;
}

}  // namespace

QString EvaluationForm(const QString& text) {
  static constexpr std::array<std::pair<QStringView, QStringView>, 5> kPairs = {{
      {u"pi", kPiDigits},
      {u"PI", kPiDigits},
      {u"pe", kEDigits},
      {u"PE", kEDigits},
      {u"**", u"^"},
  }};
  return ReplaceAll(FoldFullWidth(text), kPairs);
}

QString DisplayForm(const QString& text) {
  static constexpr std::array<std::pair<QStringView, QStringView>, 3> kPairs = {{
      {kPiDigits, u"pi"},
      {kEDigits, u"pe"},
      {u"^", u"**"},
  }};
  return ReplaceAll(FoldFullWidth(text), kPairs);
}

}  // namespace vesko
