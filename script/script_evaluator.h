#pragma once

#include "engine/evaluator.h"

#include <memory>

namespace vesko {

// The calculator's expression language (VBScript expressions), behind ExpressionEvaluator.
std::unique_ptr<ExpressionEvaluator> CreateScriptEvaluator();

}  // namespace vesko
