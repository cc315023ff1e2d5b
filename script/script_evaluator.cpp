#include "script/script_evaluator.h"

#include "script/context.h"
#include "script/errors.h"
#include "script/evaluation_failure.h"
#include "script/functions.h"
#include "script/names.h"
#include "script/number_text.h"
#include "script/operators.h"
#include "script/parser.h"
#include "script/program.h"
#include "script/value.h"

#include <new>
#include <span>
#include <vector>

namespace vesko {

namespace {

using script::Variant;

class Interpreter final : public ScriptEvaluator {
 public:
  Evaluation Evaluate(const QString& expression) override {
    return EvaluateWithErrorNumber(expression).evaluation;
  }

  Outcome EvaluateWithErrorNumber(const QString& expression) override {
    if (expression.size() > kMaxExpressionLength) {
      return {{QStringLiteral("Out of memory"), true}, 7};
    }
    Outcome outcome = Evaluated(expression);
    stack_.clear();  // do not keep an evaluation's strings alive
    // Nor the room a huge expression took.
    if (program_.code.capacity() > kKeptInstructions) {
      program_ = script::Program();
      stack_ = std::vector<Variant>();
    }
    return outcome;
  }

 private:
  static constexpr std::size_t kKeptInstructions = 65536;

  Outcome Evaluated(const QString& expression) {
    try {
      parser_.Compile(expression, program_);
      return {{script::DisplayText(Run(expression)), false}, 0};
    } catch (const EvaluationFailure& failure) {
      return {{failure.description(), true}, failure.number()};
    } catch (const std::bad_alloc&) {
      return {{QStringLiteral("Out of memory"), true}, 7};
    } catch (const std::exception&) {
      return {{QStringLiteral("Internal error"), true}, 51};
    }
  }

  Variant Run(QStringView text) {
    using script::OpCode;
    stack_.clear();
    script::EvaluationContext context(random_);
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
          Call(step, text, context);
          break;
        case OpCode::kUnknownFunction:
          script::FailNamed(script::kTypeMismatch,
                            text.mid(step.nameStart, step.nameLength).toString());
        case OpCode::kUndefined:
          script::FailNamed(script::kVariableUndefined,
                            text.mid(step.nameStart, step.nameLength).toString());
      }
    }
    if (stack_.empty()) {
      return Variant::Empty();  // blank text
    }
    Variant result = std::move(stack_.back());
    stack_.clear();
    return result;
  }

  void Call(const script::Instruction& step, QStringView text, script::EvaluationContext& context) {
    const auto id = static_cast<script::FunctionId>(step.op);
    if (id == script::FunctionId::kDateFunction) {
      script::FailWith(script::kInvalidProcedureCall,
                       QStringLiteral("Dates are not supported: '%1'")
                           .arg(text.mid(step.nameStart, step.nameLength)));
    }
    const script::FunctionInfo& info = script::FunctionInfoOf(id);
    const auto count = static_cast<std::size_t>(step.argument);
    if (count < info.minArguments || count > info.maxArguments) {
      script::Fail(script::kWrongArgumentCount);
    }
    const std::size_t first = stack_.size() - count;
    Variant result =
        script::CallFunction(id, std::span<const Variant>(stack_.data() + first, count), context);
    stack_.resize(first);
    stack_.push_back(std::move(result));
  }

  script::Parser parser_;
  script::Program program_;
  std::vector<Variant> stack_;
  script::RandomState random_;
};

}  // namespace

std::unique_ptr<ScriptEvaluator> CreateScriptEvaluator() {
  return std::make_unique<Interpreter>();
}

}  // namespace vesko
