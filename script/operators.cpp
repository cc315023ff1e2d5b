#include "script/operators.h"

#include "script/conversions.h"
#include "script/dates.h"
#include "script/errors.h"
#include "script/number_text.h"

#include <cmath>
#include <limits>
#include <string_view>

namespace vesko::script {

namespace {

// Order of the subtypes for "+" and "-": the result takes the higher one.
int AdditiveRank(Subtype t) {
  switch (t) {
    case Subtype::kByte:
      return 1;
    case Subtype::kInteger:
    case Subtype::kBoolean:
      return 2;
    case Subtype::kLong:
      return 3;
    case Subtype::kSingle:
      return 4;
    case Subtype::kDouble:
      return 5;
    case Subtype::kCurrency:
      return 6;
    case Subtype::kDate:
      return 7;
    default:
      return 0;  // Empty
  }
}

// Order of the subtypes for "*": Currency ranks below Single and Double here, and Empty below
// everything (Empty * CByte(0) is a Byte).
int MultiplicativeRank(Subtype t) {
  switch (t) {
    case Subtype::kEmpty:
      return 0;
    case Subtype::kByte:
      return 1;
    case Subtype::kLong:
      return 3;
    case Subtype::kCurrency:
      return 4;
    case Subtype::kSingle:
      return 5;
    case Subtype::kDouble:
    case Subtype::kDate:
      return 6;
    default:
      return 2;  // Integer, Boolean
  }
}

bool IsPair(Subtype a, Subtype b, Subtype x, Subtype y) {
  return (a == x && b == y) || (a == y && b == x);
}

// Holds a converted operand only when conversion was needed.
class Operand {
 public:
  explicit Operand(const Variant& value) : ptr_(&value) {
    if (value.IsString() || value.IsObject() || value.IsArray()) {
      converted_ = NumericOperand(value);
      ptr_ = &converted_;
    }
  }
  const Variant& operator*() const { return *ptr_; }
  const Variant* operator->() const { return ptr_; }

 private:
  const Variant* ptr_;
  Variant converted_;
};

std::int64_t CurrencyProduct(std::int64_t a, std::int64_t b, bool bothScaled) {
  __int128 product = static_cast<__int128>(a) * b;
  if (bothScaled) {
    __int128 quotient = product / kCurrencyScale;
    const __int128 rest = product % kCurrencyScale;
    const __int128 twice = rest * 2;
    if (twice > kCurrencyScale || (twice == kCurrencyScale && (quotient & 1) != 0)) {
      ++quotient;
    } else if (twice < -kCurrencyScale || (twice == -kCurrencyScale && (quotient & 1) != 0)) {
      --quotient;
    }
    product = quotient;
  }
  if (product < std::numeric_limits<std::int64_t>::min() ||
      product > std::numeric_limits<std::int64_t>::max()) {
    Fail(kOverflow);
  }
  return static_cast<std::int64_t>(product);
}

// The subtype of `a op b` for "+", "-" and "*" (before Date becomes a number).
Subtype ArithmeticType(BinaryOp op, Subtype a, Subtype b) {
  Subtype result;
  if (IsPair(a, b, Subtype::kSingle, Subtype::kLong)) {
    result = Subtype::kDouble;
  } else if (op == BinaryOp::kMultiply) {
    result = IsPair(a, b, Subtype::kSingle, Subtype::kCurrency) ? Subtype::kDouble
             : MultiplicativeRank(a) >= MultiplicativeRank(b)   ? a
                                                                : b;
  } else {
    result = AdditiveRank(a) >= AdditiveRank(b) ? a : b;
  }
  // A Date counts as a Double in "*", and Date - Date is a number of days.
  const bool dateDifference =
      a == Subtype::kDate && b == Subtype::kDate && op == BinaryOp::kSubtract;
  if (result == Subtype::kDate && (op == BinaryOp::kMultiply || dateDifference)) {
    result = Subtype::kDouble;
  }
  return result;
}

Variant FloatArithmetic(BinaryOp op, Subtype result, const Variant& a, const Variant& b) {
  const double x = ToDouble(a);
  const double y = ToDouble(b);
  if (result == Subtype::kDate) {
    return Variant::Date(CheckedDate(op == BinaryOp::kAdd ? x + y : x - y));
  }
  const double r = op == BinaryOp::kAdd ? x + y : op == BinaryOp::kSubtract ? x - y : x * y;
  return result == Subtype::kSingle ? SingleOrDouble(r) : Variant::Double(CheckedDouble(r));
}

Variant CurrencyArithmetic(BinaryOp op, const Variant& a, const Variant& b) {
  if (op == BinaryOp::kMultiply) {
    const bool bothScaled = a.Is(Subtype::kCurrency) && b.Is(Subtype::kCurrency);
    const std::int64_t x = a.Is(Subtype::kCurrency) ? a.integer : b.integer;
    const std::int64_t y = a.Is(Subtype::kCurrency) ? b.integer : a.integer;
    return Variant::Currency(CurrencyProduct(x, y, bothScaled));
  }
  std::int64_t r = 0;
  const bool overflow = op == BinaryOp::kAdd
                            ? __builtin_add_overflow(ToCurrency(a), ToCurrency(b), &r)
                            : __builtin_sub_overflow(ToCurrency(a), ToCurrency(b), &r);
  if (overflow) {
    Fail(kOverflow);
  }
  return Variant::Currency(r);
}

// Empty, Boolean, Byte, Integer, Long: exact in 64 bits, then the smallest subtype that holds the
// result, starting from the operands' subtype.
Variant IntegerArithmetic(BinaryOp op, Subtype result, const Variant& a, const Variant& b) {
  const std::int64_t x = a.integer;
  const std::int64_t y = b.integer;
  const std::int64_t r = op == BinaryOp::kAdd ? x + y : op == BinaryOp::kSubtract ? x - y : x * y;
  const Subtype least = result == Subtype::kByte   ? Subtype::kByte
                        : result == Subtype::kLong ? Subtype::kLong
                                                   : Subtype::kInteger;
  return FitInteger(r, least);
}

Variant Arithmetic(BinaryOp op, const Variant& left, const Variant& right) {
  const Operand a(left);
  const Operand b(right);
  const Subtype result = ArithmeticType(op, a->type, b->type);
  switch (result) {
    case Subtype::kDate:
    case Subtype::kSingle:
    case Subtype::kDouble:
      return FloatArithmetic(op, result, *a, *b);
    case Subtype::kCurrency:
      return CurrencyArithmetic(op, *a, *b);
    default:
      return IntegerArithmetic(op, result, *a, *b);
  }
}

// The operands that "/" keeps at Single precision beside a Single (Empty / CSng(2) is a Single).
bool IsSingleDivisionOperand(Subtype t) {
  return t == Subtype::kSingle || t == Subtype::kInteger || t == Subtype::kByte ||
         t == Subtype::kBoolean || t == Subtype::kEmpty;
}

Variant Divide(const Variant& left, const Variant& right) {
  const Operand a(left);
  const Operand b(right);
  const double x = ToDouble(*a);
  const double y = ToDouble(*b);
  if (y == 0.0) {
    Fail(x == 0.0 ? kOverflow : kDivisionByZero);
  }
  const double r = CheckedDouble(x / y);
  const bool single = IsSingleDivisionOperand(a->type) && IsSingleDivisionOperand(b->type) &&
                      (a->Is(Subtype::kSingle) || b->Is(Subtype::kSingle));
  return single ? SingleOrDouble(r) : Variant::Double(r);
}

bool IsSmallIntegral(Subtype t) {
  return t == Subtype::kByte || t == Subtype::kInteger || t == Subtype::kBoolean ||
         t == Subtype::kEmpty;
}

Variant IntegerDivide(BinaryOp op, const Variant& a, const Variant& b) {
  const std::int64_t x = ToRoundedLong(a);
  const std::int64_t y = ToRoundedLong(b);
  if (y == 0) {
    Fail(kDivisionByZero);
  }
  const std::int64_t r = op == BinaryOp::kIntDivide ? x / y : x % y;
  Subtype least = Subtype::kLong;
  if (a.Is(Subtype::kByte) && b.Is(Subtype::kByte)) {
    least = Subtype::kByte;
  } else if (IsSmallIntegral(a.type) && IsSmallIntegral(b.type)) {
    least = Subtype::kInteger;
  }
  return FitInteger(r, least);
}

Variant Power(const Variant& a, const Variant& b) {
  const double base = ToDouble(a);
  const double exponent = ToDouble(b);
  if (base < 0.0 && std::trunc(exponent) != exponent) {
    Fail(kInvalidProcedureCall);
  }
  if (base == 0.0 && exponent < 0.0) {
    Fail(kDivisionByZero);
  }
  return Variant::Double(CheckedDouble(std::pow(base, exponent)));
}

void Concatenate(Variant& left, Variant& right, EvaluationContext& context) {
  if (left.IsNull() && right.IsNull()) {
    return;  // Null & Null is Null
  }
  if (left.IsObject() || right.IsObject()) {
    Fail(kObjectVariableNotSet);
  }
  // A string made by an earlier step is extended in place, at its end or at its start, so that
  // long chains and deep nests of "&" copy each character about once.
  if (left.IsString() && left.text.isDetached()) {
    const QString tail = StringForm(right);
    context.ReserveText(left.text.size() + tail.size(), tail.size());
    left.text.append(tail);
    left.literal = false;
    return;
  }
  if (right.IsString() && right.text.isDetached()) {
    const QString head = StringForm(left);
    context.ReserveText(head.size() + right.text.size(), head.size());
    right.text.prepend(head);
    right.literal = false;
    left = std::move(right);
    return;
  }
  QString head = StringForm(left);
  const QString tail = StringForm(right);
  context.ReserveText(head.size() + tail.size());
  head.append(tail);
  left = Variant::String(std::move(head));
}

// --- comparison ---------------------------------------------------------------------------

int CompareText(const QString& a, const QString& b) {
  const std::u16string_view x(reinterpret_cast<const char16_t*>(a.utf16()),
                              static_cast<std::size_t>(a.size()));
  const std::u16string_view y(reinterpret_cast<const char16_t*>(b.utf16()),
                              static_cast<std::size_t>(b.size()));
  const int c = x.compare(y);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int CompareNumbers(const Variant& a, const Variant& b) {
  if (a.Is(Subtype::kSingle) || b.Is(Subtype::kSingle)) {
    // A Single against any other number compares at Single precision (OLE's VarCmp, which
    // VBScript's comparisons use, converts both sides to the Single when one is).
    const float x = static_cast<float>(ToDouble(a));
    const float y = static_cast<float>(ToDouble(b));
    return x < y ? -1 : x > y ? 1 : 0;
  }
  const bool aExact = a.IsIntegral() || a.Is(Subtype::kCurrency) || a.IsEmpty();
  const bool bExact = b.IsIntegral() || b.Is(Subtype::kCurrency) || b.IsEmpty();
  if (aExact && bExact) {
    // Integral values and Currency compare exactly as ten-thousandths.
    const std::int64_t x = a.Is(Subtype::kCurrency) ? a.integer : a.integer * kCurrencyScale;
    const std::int64_t y = b.Is(Subtype::kCurrency) ? b.integer : b.integer * kCurrencyScale;
    return x < y ? -1 : x > y ? 1 : 0;
  }
  const double x = ToDouble(a);
  const double y = ToDouble(b);
  return x < y ? -1 : x > y ? 1 : 0;
}

// A string compared with a number as numbers (with a date as a date). A string that is not a
// number fails with "Type mismatch" when both sides are literals ("abc" = 5); otherwise it
// sorts after every number, as between two computed values.
int CompareStringAsNumber(const Variant& text, const Variant& number, bool stringFirst) {
  double parsed = 0;
  const bool isNumber =
      (number.IsDate() && ParseDateText(text.text, DateOrder::kUserLocale, parsed)) ||
      ParseNumber(text.text, parsed) == ParseStatus::kNumber;
  if (!isNumber) {
    if (text.literal && number.literal) {
      Fail(kTypeMismatch);
    }
    return stringFirst ? 1 : -1;
  }
  const Variant converted = Variant::Double(parsed);
  return stringFirst ? CompareNumbers(converted, number) : CompareNumbers(number, converted);
}

// One number, one string (neither Empty): a literal side decides the kind of comparison; two
// computed values compare the number as less than any string.
int CompareMixed(const Variant& a, const Variant& b) {
  const bool stringFirst = a.IsString();
  const Variant& text = stringFirst ? a : b;
  const Variant& number = stringFirst ? b : a;
  // A string literal against a Boolean compares as text with "True"/"False".
  const bool asText = text.literal && (number.Is(Subtype::kBoolean) || !number.literal);
  if (number.literal && !asText) {
    return CompareStringAsNumber(text, number, stringFirst);
  }
  if (asText) {
    const int c = CompareText(StringForm(number), text.text);
    return stringFirst ? -c : c;
  }
  return stringFirst ? 1 : -1;
}

// -1, 0 or 1 for two non-Null values.
int Compare(const Variant& a, const Variant& b) {
  if (a.IsObject() || b.IsObject()) {
    Fail(kObjectVariableNotSet);
  }
  if (a.IsArray() || b.IsArray()) {
    Fail(kTypeMismatch);
  }
  if (a.IsString() && b.IsString()) {
    return CompareText(a.text, b.text);
  }
  if (a.IsEmpty() && b.IsString()) {
    return b.text.isEmpty() ? 0 : -1;
  }
  if (a.IsString() && b.IsEmpty()) {
    return a.text.isEmpty() ? 0 : 1;
  }
  if (a.IsString() || b.IsString()) {
    return CompareMixed(a, b);
  }
  return CompareNumbers(a, b);
}

Variant Comparison(BinaryOp op, const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) {
    return Variant::Null();
  }
  const int c = Compare(a, b);
  switch (op) {
    case BinaryOp::kEqual:
      return Variant::Boolean(c == 0);
    case BinaryOp::kNotEqual:
      return Variant::Boolean(c != 0);
    case BinaryOp::kLess:
      return Variant::Boolean(c < 0);
    case BinaryOp::kGreater:
      return Variant::Boolean(c > 0);
    case BinaryOp::kLessEqual:
      return Variant::Boolean(c <= 0);
    default:
      return Variant::Boolean(c >= 0);
  }
}

// --- logical / bitwise ---------------------------------------------------------------------

struct LogicOperand {
  bool null = false;
  Subtype type = Subtype::kInteger;  // Boolean, Byte, Integer or Long
  std::int64_t bits = 0;
};

LogicOperand ToLogic(const Variant& v) {
  LogicOperand out;
  switch (v.type) {
    case Subtype::kNull:
      out.null = true;
      return out;
    case Subtype::kEmpty:
      out.type = Subtype::kLong;  // Empty is taken as a Long 0
      return out;
    case Subtype::kBoolean:
    case Subtype::kByte:
    case Subtype::kInteger:
    case Subtype::kLong:
      out.type = v.type;
      out.bits = v.integer;
      return out;
    case Subtype::kString: {
      bool word = false;
      if (ParseBooleanWord(v.text, word)) {
        out.type = Subtype::kBoolean;
        out.bits = word ? -1 : 0;
        return out;
      }
      break;
    }
    case Subtype::kObject:
      Fail(kObjectVariableNotSet);
    default:
      break;
  }
  out.type = Subtype::kLong;
  out.bits = ToRoundedLong(v);
  return out;
}

Variant LogicResult(std::int64_t bits, Subtype type) {
  switch (type) {
    case Subtype::kBoolean:
      return Variant::Boolean(bits != 0);
    case Subtype::kByte:
      return Variant::Byte(static_cast<std::uint8_t>(bits & 0xFF));
    case Subtype::kInteger:
      return Variant::Integer(static_cast<std::int16_t>(bits));
    default:
      return Variant::Long(static_cast<std::int32_t>(bits));
  }
}

Subtype LogicResultType(Subtype a, Subtype b) {
  if (a == b) {
    return a;
  }
  if (a == Subtype::kLong || b == Subtype::kLong) {
    return Subtype::kLong;
  }
  return Subtype::kInteger;
}

// Whether the operand is True or -1 (a Byte never is: CByte(255) Imp Null is 0).
bool AllBitsSet(const LogicOperand& x) {
  return x.type != Subtype::kByte && x.bits == -1;
}

// A logical operator with Null on one side or both: Null, unless the known side decides the
// result alone (False And Null is False, True Or Null is True, Null Imp True is True).
Variant NullLogic(BinaryOp op, const LogicOperand& a, const LogicOperand& b) {
  if (a.null && b.null) {
    return Variant::Null();
  }
  const LogicOperand& known = a.null ? b : a;
  const Variant knownValue = LogicResult(known.bits, known.type);
  switch (op) {
    case BinaryOp::kAnd:
      return known.bits == 0 ? knownValue : Variant::Null();
    case BinaryOp::kOr:
      return known.bits != 0 ? knownValue : Variant::Null();
    case BinaryOp::kImp:
      if (a.null) {
        return known.bits != 0 ? knownValue : Variant::Null();
      }
      return AllBitsSet(known) ? Variant::Null() : LogicResult(~known.bits, known.type);
    default:
      return Variant::Null();  // Xor, Eqv
  }
}

std::int64_t LogicBits(BinaryOp op, std::int64_t a, std::int64_t b) {
  switch (op) {
    case BinaryOp::kAnd:
      return a & b;
    case BinaryOp::kOr:
      return a | b;
    case BinaryOp::kXor:
      return a ^ b;
    case BinaryOp::kEqv:
      return ~(a ^ b);
    default:
      return ~a | b;  // Imp
  }
}

Variant Logic(BinaryOp op, const Variant& left, const Variant& right) {
  const LogicOperand a = ToLogic(left);
  const LogicOperand b = ToLogic(right);
  if (a.null || b.null) {
    return NullLogic(op, a, b);
  }
  return LogicResult(LogicBits(op, a.bits, b.bits), LogicResultType(a.type, b.type));
}

}  // namespace

void ApplyBinary(BinaryOp op, Variant& left, Variant& right, EvaluationContext& context) {
  switch (op) {
    case BinaryOp::kConcat:
      Concatenate(left, right, context);
      return;
    case BinaryOp::kIs:
      if (!left.IsObject() || !right.IsObject()) {
        Fail(kObjectRequired);
      }
      left = Variant::Boolean(true);  // the only object is Nothing
      return;
    case BinaryOp::kEqual:
    case BinaryOp::kNotEqual:
    case BinaryOp::kLess:
    case BinaryOp::kGreater:
    case BinaryOp::kLessEqual:
    case BinaryOp::kGreaterEqual:
      left = Comparison(op, left, right);
      return;
    case BinaryOp::kAnd:
    case BinaryOp::kOr:
    case BinaryOp::kXor:
    case BinaryOp::kEqv:
    case BinaryOp::kImp:
      left = Logic(op, left, right);
      return;
    default:
      break;
  }
  // Arithmetic: Null in, Null out.
  if (left.IsNull() || right.IsNull()) {
    left = Variant::Null();
    return;
  }
  switch (op) {
    case BinaryOp::kAdd:
      if (left.IsString() && (right.IsString() || right.IsEmpty())) {
        Concatenate(left, right, context);
        return;
      }
      if (left.IsEmpty() && right.IsString()) {
        left = Variant::String(right.text);
        return;
      }
      left = Arithmetic(op, left, right);
      return;
    case BinaryOp::kSubtract:
    case BinaryOp::kMultiply:
      left = Arithmetic(op, left, right);
      return;
    case BinaryOp::kDivide:
      left = Divide(left, right);
      return;
    case BinaryOp::kIntDivide:
    case BinaryOp::kMod:
      left = IntegerDivide(op, left, right);
      return;
    case BinaryOp::kPower:
      left = Power(left, right);
      return;
    default:
      return;
  }
}

void ApplyUnary(UnaryOp op, Variant& operand) {
  if (op == UnaryOp::kPlus) {
    operand.literal = false;
    return;
  }
  if (operand.IsNull()) {
    return;
  }
  if (operand.IsObject()) {
    Fail(kObjectVariableNotSet);
  }
  if (op == UnaryOp::kNot) {
    const LogicOperand x = ToLogic(operand);
    operand = LogicResult(~x.bits, x.type);
    return;
  }
  switch (operand.type) {
    case Subtype::kEmpty:
    case Subtype::kBoolean:
    case Subtype::kByte:
    case Subtype::kInteger:
      operand = FitInteger(-operand.integer, Subtype::kInteger);
      return;
    case Subtype::kLong:
      operand = FitInteger(-operand.integer, Subtype::kLong);
      return;
    case Subtype::kSingle:
      operand = Variant::Single(static_cast<float>(-operand.real));
      return;
    case Subtype::kDouble:
      operand = Variant::Double(-operand.real);
      return;
    case Subtype::kDate:
      operand = Variant::Date(CheckedDate(-operand.real));
      return;
    case Subtype::kCurrency:
      if (operand.integer == std::numeric_limits<std::int64_t>::min()) {
        Fail(kOverflow);
      }
      operand = Variant::Currency(-operand.integer);
      return;
    default:
      operand = Variant::Double(-ToDouble(operand));
      return;
  }
}

}  // namespace vesko::script
