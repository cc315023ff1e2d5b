#include "script/script_evaluator.h"

#include "script/context.h"
#include "script/conversions.h"
#include "script/errors.h"
#include "script/evaluation_failure.h"
#include "script/functions.h"
#include "script/library.h"
#include "script/number_text.h"
#include "script/operators.h"
#include "script/parser.h"
#include "script/program.h"
#include "script/value.h"
#include "script/value_literal.h"

#include <new>
#include <span>
#include <utility>
#include <vector>

namespace vesko {

namespace {

using script::Variant;

// Each Eval level costs this much of the nesting limit besides the brackets of its text, so that
// Eval inside Eval stays far within the machine stack.
constexpr int kEvalNestingCost = 64;

// Compiles and runs programs; one for the evaluator's own text, one more for each Eval level.
class Machine {
 public:
  // Room for this many instructions is kept from one evaluation to the next.
  static constexpr std::size_t kKeptInstructions = 65536;

  // Compiles `text`, which may nest `nestingLimit` deep.
  void Compile(QStringView text, int nestingLimit) {
    parser_.Compile(text, program_, nestingLimit);
  }
  // How deep the compiled text nests.
  int deepest() const { return parser_.deepest(); }
  // Lets go of an evaluation's values, and of the room a huge program took.
  void Clear() {
    stack_.clear();
    gathering_.clear();
    if (program_.code.capacity() > kKeptInstructions) {
      program_ = script::Program();
      stack_ = std::vector<Variant>();
    }
  }

  // Runs the compiled `text` with `context`.
  Variant Run(QStringView text, script::EvaluationContext& context) {
    using script::OpCode;
    stack_.clear();
    gathering_.clear();
    for (const script::Instruction& step : program_.code) {
      switch (step.code) {
        case OpCode::kPush:
          stack_.push_back(program_.constants[static_cast<std::size_t>(step.argument)]);
          break;
        case OpCode::kPushInteger:
          stack_.push_back(script::FitInteger(step.argument, script::Subtype::kInteger));
          stack_.back().literal = true;
          break;
        case OpCode::kUnary:
          script::ApplyUnary(static_cast<script::UnaryOp>(step.op), stack_.back());
          break;
        case OpCode::kBinary:
          script::ApplyBinary(static_cast<script::BinaryOp>(step.op), stack_[stack_.size() - 2],
                              stack_.back(), context);
          stack_.pop_back();
          break;
        case OpCode::kCall:
          Call(step, context);
          break;
        case OpCode::kIndex:
          Index(static_cast<std::size_t>(step.argument));
          break;
        case OpCode::kUnknownFunction:
          script::FailNamed(script::kTypeMismatch,
                            text.mid(step.nameStart, step.nameLength).toString());
        case OpCode::kUndefined:
          script::FailNamed(script::kVariableUndefined,
                            text.mid(step.nameStart, step.nameLength).toString());
        case OpCode::kDiscard:
          stack_.pop_back();
          break;
        case OpCode::kNewArray:
          context.ReserveItems(step.argument);
          gathering_.emplace_back().reserve(static_cast<std::size_t>(step.argument));
          break;
        case OpCode::kAppendItem:
          stack_.back().literal = false;
          gathering_.back().push_back(std::move(stack_.back()));
          stack_.pop_back();
          break;
        case OpCode::kMakeArray:
          stack_.push_back(Variant::Array(std::move(gathering_.back())));
          gathering_.pop_back();
          break;
      }
    }
    if (stack_.empty()) {
      return Variant::Empty();  // blank text
    }
    Variant result = std::move(stack_.back());
    stack_.clear();
    result.literal = false;
    return result;
  }

 private:
  // The parser has checked the number of arguments and which of them may be left empty.
  void Call(const script::Instruction& step, script::EvaluationContext& context) {
    const script::FunctionInfo& info = script::FunctionAt(step.op);
    const auto count = static_cast<std::size_t>(step.argument);
    const std::size_t first = stack_.size() - count;
    const std::span<const Variant> args(stack_.data() + first, count);
    Variant result = info.call(args, context);
    result.literal = false;  // a function's result is never a literal, even when it is an argument
    stack_.resize(first);
    stack_.push_back(std::move(result));
  }

  // Only the first of `count` indexes is on the stack; the parser discarded the others.
  void Index(std::size_t count) {
    const std::size_t first = stack_.size() - 1;
    const Variant& array = stack_[first - 1];
    if (!array.IsArray()) {
      script::Fail(script::kTypeMismatch);
    }
    if (count != 1) {
      script::Fail(script::kSubscriptOutOfRange);
    }
    const Variant& index = stack_[first];
    if (index.IsNull()) {
      script::Fail(script::kInvalidUseOfNull);
    }
    const std::int64_t i = script::ToRoundedLong(index);
    if (i < 0 || i >= static_cast<std::int64_t>(array.items->size())) {
      script::Fail(script::kSubscriptOutOfRange);
    }
    Variant item = (*array.items)[static_cast<std::size_t>(i)];
    stack_.resize(first);
    stack_.back() = std::move(item);
  }

  script::Parser parser_;
  script::Program program_;
  std::vector<Variant> stack_;
  // The items of the Array calls being evaluated, innermost last.
  std::vector<script::ArrayItems> gathering_;
};

class Interpreter final : public ScriptEvaluator, private script::NestedEvaluator {
 public:
  Evaluation Evaluate(const QString& expression) override {
    return EvaluateWithErrorNumber(expression).evaluation;
  }

  Outcome EvaluateWithErrorNumber(const QString& expression) override {
    if (expression.size() > kMaxExpressionLength) {
      return {{script::DescriptionOf(script::kOutOfMemory), true, {}}, script::kOutOfMemory};
    }
    try {
      script::EvaluationContext context(random_, *this);
      context_ = &context;
      machine_.Compile(expression, script::Parser::kMaxNesting);
      context.nesting() = machine_.deepest();
      const Variant result = machine_.Run(expression, context);
      context_ = nullptr;
      if (result.IsArray()) {
        // An array cannot be shown, as converting it to text would fail.
        script::Fail(script::kTypeMismatch);
      }
      QString text = script::DisplayText(result);
      QString literal = script::LiteralOf(result, text);
      Outcome outcome{{std::move(text), false, std::move(literal)}, 0};
      Reset();  // do not keep an evaluation's strings alive
      return outcome;
    } catch (const EvaluationFailure& failure) {
      Reset();  // do not keep a failed evaluation's strings alive
      return {{failure.description(), true, {}}, failure.number()};
    } catch (const std::bad_alloc&) {
      Reset();
      return {{script::DescriptionOf(script::kOutOfMemory), true, {}}, script::kOutOfMemory};
    } catch (const std::exception&) {
      Reset();
      return {{script::DescriptionOf(script::kInternalError), true, {}}, script::kInternalError};
    }
  }

 private:
  void Reset() {
    machine_.Clear();
    context_ = nullptr;
  }

  Variant EvaluateNested(QStringView text) override {
    script::EvaluationContext& context = *context_;
    // Eval's text counts toward the evaluation's text budget, and its nesting toward the limit.
    context.ReserveText(0, text.size());
    int& nesting = context.nesting();
    const int outer = nesting;
    nesting += kEvalNestingCost;
    if (nesting >= script::Parser::kMaxNesting) {
      script::Fail(script::kOutOfStackSpace);
    }
    Machine inner;
    inner.Compile(text, script::Parser::kMaxNesting - nesting);
    nesting += inner.deepest();
    Variant result = inner.Run(text, context);
    nesting = outer;
    return result;
  }

  Machine machine_;
  script::RandomState random_;
  script::EvaluationContext* context_ = nullptr;
};

}  // namespace

namespace script::builtin {

Variant Eval(Arguments args, EvaluationContext& context) {
  const Variant& x = args[0];
  if (x.IsNull()) {
    Fail(kInvalidUseOfNull);
  }
  if (!x.IsString()) {
    // A number or other value evaluates to itself ("Eval(42)" is 42).
    if (x.IsArray() || x.IsObject()) {
      Fail(kTypeMismatch);
    }
    return x;
  }
  return context.nested().EvaluateNested(x.text);
}

}  // namespace script::builtin

std::unique_ptr<ScriptEvaluator> CreateScriptEvaluator() {
  return std::make_unique<Interpreter>();
}

}  // namespace vesko
