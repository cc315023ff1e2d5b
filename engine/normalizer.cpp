#include "engine/normalizer.h"

#include <QStringView>

#include <algorithm>
#include <array>
#include <limits>
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
  if (c.unicode() < u'。') {
    return c;  // below every full-width character folded
  }
  for (const auto& [from, to] : kFullWidthFolds) {
    if (c.unicode() == from) {
      return QChar(to);
    }
  }
  return c;
}

// The length of the input that `find` matches at `at`, reading the text as folded and without
// carriage returns, or 0 when it does not match there.
qsizetype MatchLength(QStringView text, qsizetype at, QStringView find) {
  qsizetype i = at;
  for (const QChar wanted : find) {
    while (i < text.size() && text[i] == u'\r') {
      ++i;
    }
    if (i == text.size() || Folded(text[i]) != wanted) {
      return 0;
    }
    ++i;
  }
  return i - at;
}

// The (find, replace) pairs of one pass, and the ASCII characters at which the pass may change
// the text: a carriage return and the first character of each find. Every other ASCII character
// stays as it is, and the pass takes it without looking further.
template <std::size_t N>
struct Pass {
  using Pairs = std::array<std::pair<QStringView, QStringView>, N>;

  constexpr explicit Pass(const Pairs& p) : pairs(p) {
    asciiChangeStarts[u'\r'] = true;
    for (const auto& [find, replacement] : pairs) {
      if (find.front().unicode() < asciiChangeStarts.size()) {
        asciiChangeStarts[find.front().unicode()] = true;
      }
    }
  }
  bool MayChangeAt(QChar c) const {
    return c.unicode() >= asciiChangeStarts.size() || asciiChangeStarts[c.unicode()];
  }
  // The pair whose find matches the folded text at `at` and the length of input it matches, or
  // no pair.
  std::pair<const QStringView*, qsizetype> MatchAt(QStringView text, qsizetype at,
                                                   QChar folded) const {
    for (const auto& [find, replacement] : pairs) {
      if (find.front() != folded) {
        continue;
      }
      if (const qsizetype length = MatchLength(text, at, find); length > 0) {
        return {&replacement, length};
      }
    }
    return {nullptr, 0};
  }

  Pairs pairs;
  std::array<bool, 128> asciiChangeStarts{};
};

// The full-width folds, the removal of carriage returns and a plain, case-sensitive,
// left-to-right replacement of non-overlapping occurrences, made as one pass that tries the
// (find, replace) pairs in their order at each position of the folded text. No pair's text can
// overlap another's or arise from a replacement, so the pass gives what folding, then replacing
// pair after pair over the whole text would give, in time linear in the text.
//
// Works on text[begin, end). The text is copied only from the first change on; a range without
// any change comes back as the text itself, shared. The pass stops as soon as the result is
// longer than `maxLength` and returns what it has then.
template <std::size_t N>
QString Normalized(const QString& text, qsizetype begin, qsizetype end, const Pass<N>& pass,
                   qsizetype maxLength) {
  const QStringView range = QStringView(text).sliced(begin, end - begin);
  QString result;
  bool copying = false;
  qsizetype i = 0;
  auto startCopy = [&] {
    if (!copying) {
      copying = true;
      result.reserve(std::min(range.size(), maxLength) + 64);
      result.append(range.first(i));
    }
  };
  while (i < range.size() && (copying ? result.size() : i) <= maxLength) {
    const QChar c = range[i];
    if (!pass.MayChangeAt(c)) {
      if (copying) {
        result.append(c);
      }
      ++i;
      continue;
    }
    if (c == u'\r') {
      startCopy();
      ++i;
      continue;
    }
    const QChar folded = Folded(c);
    if (const auto [replacement, length] = pass.MatchAt(range, i, folded); length > 0) {
      startCopy();
      result.append(*replacement);
      i += length;
      continue;
    }
    if (folded != c) {
      startCopy();
    }
    if (copying) {
      result.append(folded);
    }
    ++i;
  }
  if (copying) {
    return result;
  }
  return begin == 0 && i == text.size() ? text : range.first(i).toString();
}

constexpr Pass<5> kEvaluationPass({{
    {u"pi", kPiDigits},
    {u"PI", kPiDigits},
    {u"pe", kEDigits},
    {u"PE", kEDigits},
    {u"**", u"^"},
}});

constexpr Pass<3> kDisplayPass({{
    {kPiDigits, u"pi"},
    {kEDigits, u"pe"},
    {u"^", u"**"},
}});

constexpr qsizetype kWhole = std::numeric_limits<qsizetype>::max();

}  // namespace

QString EvaluationForm(const QString& text) {
  return Normalized(text, 0, text.size(), kEvaluationPass, kWhole);
}

QString DisplayForm(const QString& text) {
  return Normalized(text, 0, text.size(), kDisplayPass, kWhole);
}

QString TrimmedEvaluationForm(const QString& text, qsizetype maxLength) {
  // Carriage returns vanish and nothing folds into a space, a line feed or a carriage return or is
  // replaced by one, so trimming the spaces and line breaks of the form is trimming those around
  // the text.
  auto blank = [](QChar c) { return c == u' ' || c == u'\r' || c == u'\n'; };
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && blank(text[begin])) {
    ++begin;
  }
  while (end > begin && blank(text[end - 1])) {
    --end;
  }
  return Normalized(text, begin, end, kEvaluationPass, maxLength);
}

}  // namespace vesko
