// Arrays inside an expression (reference section 8b): Array, Split, Join, Filter, UBound,
// LBound, IsArray. Arrays are one-dimensional and counted from 0; indexing a call's result is
// done by the evaluator (script_evaluator.cpp).
#include "script/conversions.h"
#include "script/errors.h"
#include "script/library.h"
#include "script/text_search.h"

namespace vesko::script {

namespace {

const ArrayItems& ItemsOf(const Variant& x) {
  if (!x.IsArray()) {
    Fail(kTypeMismatch);
  }
  return *x.items;
}

// Folds case for a text comparison when the folding keeps every position; otherwise the text
// as it is.
QString Folded(const QString& text, bool fold) {
  if (!fold) {
    return text;
  }
  QString folded = text.toCaseFolded();
  return folded.size() == text.size() ? folded : text;
}

Variant Bound(Arguments args, bool upper) {
  const ArrayItems& items = ItemsOf(args[0]);
  if (Given(args, 1) && ToRoundedLong(args[1]) != 1) {
    Fail(kSubscriptOutOfRange);
  }
  return Variant::Long(upper ? static_cast<std::int32_t>(items.size()) - 1 : 0);
}

}  // namespace

namespace builtin {

Variant Array(Arguments args, EvaluationContext& context) {
  context.ReserveItems(static_cast<std::int64_t>(args.size()));
  ArrayItems items(args.begin(), args.end());
  for (Variant& item : items) {
    item.literal = false;
  }
  return Variant::Array(std::move(items));
}

Variant Split(Arguments args, EvaluationContext& context) {
  const QString delimiter = Given(args, 1) ? NonNullText(args[1]) : QStringLiteral(" ");
  const std::int64_t limit = Given(args, 2) ? ToRoundedLong(args[2]) : -1;
  if (limit < -1) {
    Fail(kInvalidProcedureCall);
  }
  const bool text = TextCompareArgument(args, 3);
  if (args[0].IsNull()) {
    return Variant::Null();
  }
  const QString source = TextOfArgument(args[0]);
  ArrayItems items;
  if (source.isEmpty() || limit == 0) {
    return Variant::Array(std::move(items));
  }
  if (delimiter.isEmpty() || limit == 1) {
    context.ReserveItems(1);
    items.push_back(Variant::String(source));
    return Variant::Array(std::move(items));
  }
  const QString haystack = Folded(source, text);
  const QString needle = Folded(delimiter, text);
  const TextSearcher searcher(needle);
  qsizetype from = 0;
  for (;;) {
    const bool last = limit > 0 && static_cast<std::int64_t>(items.size()) == limit - 1;
    const qsizetype at = last ? -1 : searcher.FindIn(haystack, from);
    context.ReserveItems(1);
    if (at < 0) {
      items.push_back(Variant::String(source.mid(from)));
      break;
    }
    items.push_back(Variant::String(source.mid(from, at - from)));
    from = at + needle.size();
  }
  context.ReserveText(0, source.size());
  return Variant::Array(std::move(items));
}

Variant Join(Arguments args, EvaluationContext& context) {
  const ArrayItems& items = ItemsOf(args[0]);
  const QString delimiter = Given(args, 1) ? NonNullText(args[1]) : QStringLiteral(" ");
  QString out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].IsArray()) {
      Fail(kTypeMismatch);
    }
    if (i > 0) {
      out.append(delimiter);
    }
    out.append(TextOfArgument(items[i]));
    if (out.size() > kMaxStringLength) {
      Fail(kOutOfStringSpace);
    }
  }
  context.ReserveText(out.size());
  return Variant::String(std::move(out));
}

Variant Filter(Arguments args, EvaluationContext& context) {
  const ArrayItems& items = ItemsOf(args[0]);
  const QString match = NonNullText(args[1]);
  const bool include = !Given(args, 2) || ConvertToBoolean(args[2]).integer != 0;
  const bool text = TextCompareArgument(args, 3);
  const QString needle = Folded(match, text);
  const TextSearcher searcher(needle);
  ArrayItems kept;
  for (const Variant& item : items) {
    if (item.IsNull() || item.IsArray()) {
      Fail(kTypeMismatch);
    }
    const QString itemText = TextOfArgument(item);
    const bool found = needle.isEmpty() || searcher.FindIn(Folded(itemText, text), 0) >= 0;
    if (found == include) {
      context.ReserveItems(1);
      kept.push_back(Variant::String(itemText));
    }
  }
  return Variant::Array(std::move(kept));
}

Variant UBound(Arguments args, EvaluationContext&) {
  return Bound(args, true);
}

Variant LBound(Arguments args, EvaluationContext&) {
  return Bound(args, false);
}

Variant IsArray(Arguments args, EvaluationContext&) {
  return Variant::Boolean(args[0].IsArray());
}

}  // namespace builtin

}  // namespace vesko::script
